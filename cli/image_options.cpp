#include "cli/image_options.h"

#include "cli/shared_options.h"
#include "toolkit/product_version.h"

#include <QCommandLineParser>
#include <QHash>
#include <algorithm>
#include <vector>

namespace
{
constexpr int MaxJobs = 256;

enum class TOptionId {
    Output,
    OutputDir,
    Format,
    Quality,
    Reflection,
    Direction,
    Jobs,
    MaxPixels,
    Lenient,
    Strip,
    Verbose,
    Help,
    Version
};

// The options of "image". Only the names matter to the parser: the usage
// text is written below.
struct TImageOption {
    TOptionId Id;
    QCommandLineOption Option;
    const TReflectionValueInfo* Reflection; // the value a Reflection option sets, else nullptr
};

std::vector<TImageOption> ImageOptions()
{
    auto valued = [](TOptionId Id, QStringList Names) {
        return TImageOption{Id, QCommandLineOption(Names, QString(), QStringLiteral("value")), nullptr};
    };
    auto flag = [](TOptionId Id, QStringList Names) {
        return TImageOption{Id, QCommandLineOption(Names), nullptr};
    };
    std::vector<TImageOption> options{
        valued(TOptionId::Output, {QStringLiteral("o"), QStringLiteral("output")}),
        valued(TOptionId::OutputDir, {QStringLiteral("d"), QStringLiteral("output-dir")}),
        valued(TOptionId::Format, {QStringLiteral("f"), QStringLiteral("format")}),
        valued(TOptionId::Quality, {QStringLiteral("quality")}),
    };
    for (const TReflectionValueInfo& info : ReflectionValues) {
        options.push_back(valued(TOptionId::Reflection, {QString::fromLatin1(info.OptionName)}));
        options.back().Reflection = &info;
    }
    options.push_back(
        valued(TOptionId::Direction, {QString::fromLatin1(ReflectionDirectionValue.OptionName)}));
    options.push_back(valued(TOptionId::Jobs, {QStringLiteral("j"), QStringLiteral("jobs")}));
    options.push_back(valued(TOptionId::MaxPixels, {QStringLiteral("max-pixels")}));
    options.push_back(flag(TOptionId::Lenient, {QStringLiteral("lenient")}));
    options.push_back(flag(TOptionId::Strip, {QStringLiteral("strip")}));
    options.push_back(flag(TOptionId::Verbose, {QStringLiteral("verbose")}));
    options.push_back(flag(TOptionId::Help, {QStringLiteral("h"), QStringLiteral("help")}));
    options.push_back(flag(TOptionId::Version, {QStringLiteral("version")}));
    return options;
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
    explicit TImageArguments(const QStringList& Arguments) : FArguments(Arguments), FOptions(ImageOptions())
    {
        for (const TImageOption& option : FOptions)
            FParser.addOption(option.Option);
        // The parser skips its first argument, the program's name.
        QStringList masked{QStringLiteral("lumivex-cli")};
        masked.reserve(Arguments.size() + 1);
        for (qsizetype i = 0; i < Arguments.size(); ++i)
            masked << (IsMasked(Arguments.at(i)) ? MaskPrefix + QString::number(i) : Arguments.at(i));
        FParsed = FParser.parse(masked);
    }

    bool Parsed() const { return FParsed; }
    QStringList OptionNames() const { return FParser.optionNames(); }

    const TImageOption& OptionNamed(const QString& Name) const
    {
        return *std::find_if(FOptions.begin(), FOptions.end(), [&](const TImageOption& Option) {
            return Option.Option.names().contains(Name);
        });
    }

    QStringList Values(const TImageOption& Option) const { return Unmasked(FParser.values(Option.Option)); }
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
    std::vector<TImageOption> FOptions;
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
bool HasRefusedArgument(const QStringList& Arguments, qsizetype Count)
{
    const QStringList prefix = Arguments.first(Count);
    return !TImageArguments(prefix).Parsed() &&
           !TImageArguments(prefix + QStringList{QStringLiteral("0")}).Parsed();
}

// The index of the first refused argument (an unknown option, or a switch
// given a value), or -1 when there is none. A binary search over prefixes,
// so a long command line costs a few parses, not one per argument.
qsizetype FirstRefusedArgument(const QStringList& Arguments)
{
    qsizetype low = 1, high = Arguments.size();
    if (!HasRefusedArgument(Arguments, high))
        return -1;
    while (low < high) {
        const qsizetype middle = low + (high - low) / 2;
        if (HasRefusedArgument(Arguments, middle))
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

// Takes the options in the order typed into Result; false once one settles
// the outcome: --help, --version, or a value the command refuses. A repeated
// option's last value counts.
bool ReadOptions(const TImageArguments& Arguments, TCliParseResult& Result)
{
    TImageCommandOptions& options = Result.Image;
    QHash<const TImageOption*, qsizetype> taken;
    for (const QString& name : Arguments.OptionNames()) {
        const TImageOption& option = Arguments.OptionNamed(name);
        if (option.Id == TOptionId::Help || option.Id == TOptionId::Version) {
            Result.Action = option.Id == TOptionId::Help ? TCliAction::Help : TCliAction::Version;
            return false;
        }
        if (option.Id == TOptionId::Lenient || option.Id == TOptionId::Strip ||
            option.Id == TOptionId::Verbose) {
            (option.Id == TOptionId::Lenient ? options.Lenient
             : option.Id == TOptionId::Strip ? options.Strip
                                             : options.Verbose) = true;
            continue;
        }
        // The n-th time an option is named, in either spelling, takes its
        // n-th value.
        const QString value = Arguments.Values(option).value(taken[&option]++);

        bool read = true;
        if (option.Id == TOptionId::Reflection)
            read = ReadReflectionOption(*option.Reflection, value, options.Reflection, Result.Error);
        else if (option.Id == TOptionId::Direction)
            read = ReadDirectionOption(value, options.Reflection, Result.Error);
        else if (option.Id == TOptionId::Jobs)
            read = ReadNumberOption(name, value, 1, MaxJobs, options.Jobs, Result.Error);
        else if (option.Id == TOptionId::MaxPixels)
            read = ReadMaxPixelsOption(value, options.MaxPixels, Result.Error);
        else if (option.Id == TOptionId::Format)
            read = ReadFormatOption(value, options.Format, Result.Error);
        else if (option.Id == TOptionId::Quality)
            read = ReadQualityOption(value, options.Quality, Result.Error);
        else if (value.isEmpty())
            Result.Error = option.Id == TOptionId::Output ? QStringLiteral("the output name is empty")
                                                          : QStringLiteral("the output folder name is empty");
        else
            (option.Id == TOptionId::Output ? options.Output : options.OutputDir) = value;
        if (!read || !Result.Error.isEmpty())
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
    return QStringLiteral(
               "Usage: lumivex-cli image [options] FILE...\n"
               "\n"
               "Makes the reflection of each picture and saves it.\n"
               "\n"
               "Options:\n"
               "  -o, --output FILE      output file for a single input; - writes standard output\n"
               "  -d, --output-dir DIR   folder for the outputs of many inputs (NAME-reflection.EXT,\n"
               "                         EXT from -f, png by default); without -o and -d each\n"
               "                         output goes beside its input, and standard input's to\n"
               "                         standard output\n") +
           FormatUsageLines() + QualityUsageLine() +
           ReflectionUsageLines(QStringLiteral("picture"), WindowStartReflection) +
           QStringLiteral(
               "  -j, --jobs N           parallel workers for a batch (default: one per core)\n"
               "      --lenient          keep what decodes of a damaged picture (with a warning)\n"
               "                         instead of refusing it\n"
               "      --strip            write no colour profile and no metadata (EXIF, XMP,\n"
               "                         IPTC); a profiled picture is converted to sRGB first\n"
               "      --verbose          tell the road each file is saved by (\"streamed PNG,\n"
               "                         12 bands\", \"whole picture, JPEG\") on standard error\n") +
           MaxPixelsUsageLines(QStringLiteral("refuse a picture whose header declares more pixels\n"
                                              "                        "),
                               DefaultImageMaxPixels) +
           HelpUsageLine() +
           QStringLiteral("      --version          show the version\n"
                          "\n"
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
    const TImageArguments arguments(rest);
    if (!arguments.Parsed()) {
        // What comes before the culprit is read first, as it always was; a
        // failure without a refused argument is a last option with no value.
        const qsizetype refused = FirstRefusedArgument(rest);
        const qsizetype culprit = refused >= 0 ? refused : rest.size() - 1;
        if (!ReadOptions(TImageArguments(rest.first(culprit)), result))
            return result;
        return fail(refused >= 0 ? UnknownOptionText(rest.at(culprit))
                                 : QStringLiteral("option \"%1\" needs a value").arg(rest.at(culprit)));
    }
    if (!ReadOptions(arguments, result))
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
