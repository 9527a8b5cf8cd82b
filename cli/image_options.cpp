#include "cli/image_options.h"

#include "cli/shared_options.h"
#include "toolkit/product_version.h"

#include <QCommandLineParser>
#include <QHash>

namespace
{
constexpr int MaxJobs = 256;

// The options of "image", in the order its usage text lists them, storing
// into Result.
TCliOptionTable ImageOptionTable(TCliParseResult& Result)
{
    TImageCommandOptions& options = Result.Image;
    auto name = [](QString& Target, const char* EmptyError) {
        return [&Target, EmptyError](const QString&, const QString& Value, QString& Error) {
            if (Value.isEmpty()) {
                Error = QString::fromLatin1(EmptyError);
                return false;
            }
            Target = Value;
            return true;
        };
    };
    auto onOff = [](bool& Target) {
        return [&Target](const QString&, const QString&, QString&) {
            Target = true;
            return true;
        };
    };
    auto action = [&Result](TCliAction Action) {
        return [&Result, Action](const QString&, const QString&, QString&) {
            Result.Action = Action;
            return false;
        };
    };

    TCliOptionTable table{
        {{QStringLiteral("o"), QStringLiteral("output")},
         QStringLiteral("FILE"),
         QStringLiteral("output file for a single input; - writes standard output"),
         name(options.Output, "the output name is empty")},
        {{QStringLiteral("d"), QStringLiteral("output-dir")},
         QStringLiteral("DIR"),
         QStringLiteral("folder for the outputs of many inputs (NAME-reflection.EXT,\n"
                        "EXT from -f, png by default); without -o and -d each\n"
                        "output goes beside its input, and standard input's to\n"
                        "standard output"),
         name(options.OutputDir, "the output folder name is empty")},
        FormatOption(options.Format),
        QualityOption(options.Quality),
    };
    for (TCliOption& option : ReflectionOptions(QStringLiteral("picture"), options.Reflection))
        table.push_back(std::move(option));
    table.push_back(NumberOption({QStringLiteral("j"), QStringLiteral("jobs")}, QStringLiteral("N"),
                                 QStringLiteral("parallel workers for a batch (default: one per core)"), 1,
                                 MaxJobs, options.Jobs));
    table.push_back({{QStringLiteral("lenient")},
                     QString(),
                     QStringLiteral("keep what decodes of a damaged picture (with a warning)\n"
                                    "instead of refusing it"),
                     onOff(options.Lenient)});
    table.push_back({{QStringLiteral("strip")},
                     QString(),
                     QStringLiteral("write no colour profile and no metadata (EXIF, XMP,\n"
                                    "IPTC); a profiled picture is converted to sRGB first"),
                     onOff(options.Strip)});
    table.push_back({{QStringLiteral("verbose")},
                     QString(),
                     QStringLiteral("tell the road each file is saved by (\"streamed PNG,\n"
                                    "12 bands\", \"whole picture, JPEG\") on standard error"),
                     onOff(options.Verbose)});
    table.push_back(MaxPixelsOption(QStringLiteral("refuse a picture whose header declares more pixels"),
                                    options.MaxPixels));
    table.push_back(HelpOption([&Result] { Result.Action = TCliAction::Help; }));
    table.push_back({{QStringLiteral("version")},
                     QString(),
                     QStringLiteral("show the version"),
                     action(TCliAction::Version)});
    return table;
}

// What masks an argument from Qt's parser; the index of the argument follows.
const QString MaskPrefix = QStringLiteral("--\u0001");

// Spellings Qt's parser reads as options but the command never accepted: a
// letter after two dashes ("--o") and a single dash before more than one
// character ("-ofile", "-o=file", "-size"). Such an argument is masked as an
// unknown option; where it turns out to be a value or a file name, its own
// text is put back.
bool IsMasked(const QString& Argument)
{
    if (Argument.startsWith(QLatin1String("--")))
        return Argument.mid(2).section(QLatin1Char('='), 0, 0).size() == 1 || Argument.startsWith(MaskPrefix);
    return Argument.startsWith(QLatin1Char('-')) && Argument.size() > 2;
}

// Qt's parser over the arguments of "image" (without the program's name).
class TImageArguments
{
  public:
    TImageArguments(const QStringList& Arguments, const TCliOptionTable& Options)
        : FArguments(Arguments), FOptions(Options)
    {
        for (const TCliOption& option : FOptions)
            FParser.addOption(QCommandLineOption(option.Names, QString(), option.ValueName));
        // The parser skips its first argument, the program's name.
        QStringList masked{QStringLiteral("lumivex-cli")};
        masked.reserve(Arguments.size() + 1);
        for (qsizetype i = 0; i < Arguments.size(); ++i)
            masked << (IsMasked(Arguments.at(i)) ? MaskPrefix + QString::number(i) : Arguments.at(i));
        FParsed = FParser.parse(masked);
    }

    bool Parsed() const { return FParsed; }
    QStringList OptionNames() const { return FParser.optionNames(); }

    const TCliOption& OptionNamed(const QString& Name) const { return *FindCliOption(FOptions, Name); }

    QStringList Values(const TCliOption& Option) const
    {
        return Unmasked(FParser.values(Option.Names.constLast()));
    }
    QStringList Files() const { return Unmasked(FParser.positionalArguments()); }

  private:
    QStringList Unmasked(QStringList Parsed) const
    {
        for (QString& argument : Parsed)
            if (argument.startsWith(MaskPrefix))
                argument = FArguments.at(argument.mid(MaskPrefix.size()).toLongLong());
        return Parsed;
    }

    QStringList FArguments;
    const TCliOptionTable& FOptions;
    QCommandLineParser FParser;
    bool FParsed = false;
};

// Qt's parser reads all arguments at once, but the command reads them in the
// order typed and stops at the first problem: --help before a bad argument
// still shows the help, and of two bad values the first is reported. An
// argument means the same in every prefix of the command line that holds it
// (only the ones before it count), so the shortest failing prefix ends with
// the first refused argument. A last option still waiting for its value is
// not refused: completing it with a value makes the prefix parse.
bool HasRefusedArgument(const QStringList& Arguments, qsizetype Count, const TCliOptionTable& Options)
{
    const QStringList prefix = Arguments.first(Count);
    return !TImageArguments(prefix, Options).Parsed() &&
           !TImageArguments(prefix + QStringList{QStringLiteral("0")}, Options).Parsed();
}

// The index of the first refused argument (an unknown option, or a switch
// given a value), or -1 when there is none. A binary search over prefixes,
// so a long command line costs a few parses, not one per argument.
qsizetype FirstRefusedArgument(const QStringList& Arguments, const TCliOptionTable& Options)
{
    qsizetype low = 1, high = Arguments.size();
    if (!HasRefusedArgument(Arguments, high, Options))
        return -1;
    while (low < high) {
        const qsizetype middle = low + (high - low) / 2;
        if (HasRefusedArgument(Arguments, middle, Options))
            high = middle;
        else
            low = middle + 1;
    }
    return low - 1;
}

// An unknown option quoted as typed, up to an "=" for a word option.
QString UnknownOptionText(const QString& Argument)
{
    const QString typed =
        Argument.startsWith(QLatin1String("--")) ? Argument.section(QLatin1Char('='), 0, 0) : Argument;
    return QStringLiteral("unknown option \"%1\"").arg(typed);
}

// Stores the options in the order typed; false once one settles the
// outcome: --help, --version, or a value the command refuses (then in
// Error). A repeated option's last value counts.
bool ReadOptions(const TImageArguments& Arguments, QString& Error)
{
    QHash<const TCliOption*, qsizetype> taken;
    for (const QString& name : Arguments.OptionNames()) {
        const TCliOption& option = Arguments.OptionNamed(name);
        // The n-th time an option is named, in either spelling, takes its
        // n-th value.
        const QString value =
            option.TakesValue() ? Arguments.Values(option).value(taken[&option]++) : QString();
        if (!option.Store(name, value, Error))
            return false;
    }
    return true;
}
} // namespace

QString CliVersionText()
{
    return PackedVersionText(ProductVersionNumber());
}

QString CliUsageText()
{
    TCliParseResult defaults;
    return QStringLiteral("Usage: lumivex-cli image [options] FILE...\n"
                          "\n"
                          "Makes the reflection of each picture and saves it.\n"
                          "\n"
                          "Options:\n") +
           OptionUsageLines(ImageOptionTable(defaults)) +
           QStringLiteral("\n"
                          "A FILE of - reads standard input. Exit status: 0 when every file was written,\n"
                          "1 when any failed, 2 for a usage error.\n"
                          "\n"
                          "lumivex-cli text [options] MARKUP draws a line of markup text with its\n"
                          "reflection; see \"lumivex-cli text --help\".\n");
}

TCliParseResult ParseCliArguments(const QStringList& Arguments)
{
    TCliParseResult result;
    auto fail = [&result](const QString& message) {
        result.Error = message;
        return result;
    };
    if (Arguments.isEmpty())
        return fail(QStringLiteral("missing command: expected \"image\""));
    const QString& first = Arguments.first();
    if (first == QLatin1String("--help") || first == QLatin1String("-h") || first == QLatin1String("help")) {
        result.Action = TCliAction::Help;
        return result;
    }
    if (first == QLatin1String("--version")) {
        result.Action = TCliAction::Version;
        return result;
    }
    if (first != QLatin1String("image"))
        return fail(QStringLiteral("unknown command \"%1\": expected \"image\"").arg(first));
    result.Command = first;

    // "-" stays a file name; "--" makes the rest file names.
    const QStringList rest = Arguments.mid(1);
    const TCliOptionTable table = ImageOptionTable(result);
    const TImageArguments arguments(rest, table);
    if (!arguments.Parsed()) {
        // What comes before the culprit is read first, as it always was; a
        // failure without a refused argument is a last option with no value.
        const qsizetype refused = FirstRefusedArgument(rest, table);
        const qsizetype culprit = refused >= 0 ? refused : rest.size() - 1;
        if (!ReadOptions(TImageArguments(rest.first(culprit), table), result.Error))
            return result;
        return fail(refused >= 0 ? UnknownOptionText(rest.at(culprit))
                                 : QStringLiteral("option \"%1\" needs a value").arg(rest.at(culprit)));
    }
    if (!ReadOptions(arguments, result.Error))
        return result;

    TImageCommandOptions& options = result.Image;
    options.Inputs = arguments.Files();
    if (options.Inputs.isEmpty())
        return fail(QStringLiteral("no input files"));
    if (!options.Output.isEmpty() && !options.OutputDir.isEmpty())
        return fail(QStringLiteral("--output and --output-dir cannot be used together"));
    if (!options.Output.isEmpty() && options.Inputs.size() > 1)
        return fail(QStringLiteral("--output takes a single input; use --output-dir for %1 inputs")
                        .arg(options.Inputs.size()));
    if (options.Inputs.count(QStringLiteral("-")) > 1)
        return fail(QStringLiteral("standard input can be read only once"));
    return result;
}
