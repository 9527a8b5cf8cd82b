#include "app/cli_options.h"

#include "imaging/codecs/image_decoding.h"
#include "toolkit/product_version.h"

#include <QCommandLineParser>
#include <QHash>
#include <algorithm>
#include <vector>

namespace
{
// Bounds of the values the command accepts. Opacities are bytes; the size and
// offset are bounded so that an output's height cannot overflow.
constexpr int MaxOpacity = 255;
constexpr int MaxReflectionSize = 1000000;
constexpr int MaxAxis = 1000000;
constexpr int MaxJobs = 256;

enum class TOptionId {
    Output,
    OutputDir,
    Format,
    Size,
    Start,
    End,
    Axis,
    Jobs,
    MaxPixels,
    Lenient,
    Help,
    Version
};

// The options of "image". Only the names matter to the parser: the usage
// text is written out in full below.
struct TImageOption {
    TOptionId Id;
    QCommandLineOption Option;
};

std::vector<TImageOption> ImageOptions()
{
    auto valued = [](TOptionId Id, QStringList Names) {
        return TImageOption{Id, QCommandLineOption(Names, QString(), QStringLiteral("value"))};
    };
    auto flag = [](TOptionId Id, QStringList Names) { return TImageOption{Id, QCommandLineOption(Names)}; };
    return {
        valued(TOptionId::Output, {QStringLiteral("o"), QStringLiteral("output")}),
        valued(TOptionId::OutputDir, {QStringLiteral("d"), QStringLiteral("output-dir")}),
        valued(TOptionId::Format, {QStringLiteral("f"), QStringLiteral("format")}),
        valued(TOptionId::Size, {QStringLiteral("size")}),
        valued(TOptionId::Start, {QStringLiteral("start")}),
        valued(TOptionId::End, {QStringLiteral("end")}),
        valued(TOptionId::Axis, {QStringLiteral("axis")}),
        valued(TOptionId::Jobs, {QStringLiteral("j"), QStringLiteral("jobs")}),
        valued(TOptionId::MaxPixels, {QStringLiteral("max-pixels")}),
        flag(TOptionId::Lenient, {QStringLiteral("lenient")}),
        flag(TOptionId::Help, {QStringLiteral("h"), QStringLiteral("help")}),
        flag(TOptionId::Version, {QStringLiteral("version")}),
    };
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

// An option name as it is typed: one dash for a letter, two for a word.
QString Spelled(const QString& Name)
{
    return (Name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + Name;
}

std::optional<int> ParseInt(const QString& Text)
{
    bool ok = false;
    const int value = Text.trimmed().toInt(&ok, 10);
    return ok ? std::optional<int>(value) : std::nullopt;
}

// Where a whole-number option's value goes, and the values it accepts.
struct TNumberTarget {
    int* Value;
    int Low, High;
};

std::optional<TNumberTarget> NumberTarget(TOptionId Id, TImageCommandOptions& Options)
{
    switch (Id) {
    case TOptionId::Size:
        return TNumberTarget{&Options.Reflection.Size, 0, MaxReflectionSize};
    case TOptionId::Start:
        return TNumberTarget{&Options.Reflection.OpacityStart, 0, MaxOpacity};
    case TOptionId::End:
        return TNumberTarget{&Options.Reflection.OpacityEnd, 0, MaxOpacity};
    case TOptionId::Axis:
        return TNumberTarget{&Options.Reflection.Axis, -MaxAxis, MaxAxis};
    case TOptionId::Jobs:
        return TNumberTarget{&Options.Jobs, 1, MaxJobs};
    case TOptionId::MaxPixels:
        return TNumberTarget{&Options.MaxPixels, 1, int(MaxDecodedPixels)};
    default:
        return std::nullopt;
    }
}

// Takes the options in the order typed into Result; false once one settles
// the outcome: --help, --version, or a value the command refuses. A repeated
// option's last value counts.
bool ReadOptions(const TImageArguments& Arguments, TCliParseResult& Result)
{
    TImageCommandOptions& options = Result.Image;
    QHash<TOptionId, qsizetype> taken;
    auto refuse = [&Result](const QString& Message) {
        Result.Error = Message;
        return false;
    };
    for (const QString& name : Arguments.OptionNames()) {
        const TImageOption& option = Arguments.OptionNamed(name);
        if (option.Id == TOptionId::Help || option.Id == TOptionId::Version) {
            Result.Action = option.Id == TOptionId::Help ? TCliAction::Help : TCliAction::Version;
            return false;
        }
        if (option.Id == TOptionId::Lenient) {
            options.Lenient = true;
            continue;
        }
        const QString value = Arguments.Values(option).value(taken[option.Id]++);

        if (const std::optional<TNumberTarget> number = NumberTarget(option.Id, options)) {
            const std::optional<int> parsed = ParseInt(value);
            if (!parsed || *parsed < number->Low || *parsed > number->High)
                return refuse(QStringLiteral("%1 must be a whole number from %2 to %3, not \"%4\"")
                                  .arg(Spelled(name))
                                  .arg(number->Low)
                                  .arg(number->High)
                                  .arg(value));
            *number->Value = *parsed;
        } else if (option.Id == TOptionId::Format) {
            const TSaveFormatInfo* format = FindSaveFormatByOptionName(value.toLower());
            if (!format)
                return refuse(
                    QStringLiteral("unknown format \"%1\": expected %2").arg(value, SaveFormatOptionNames()));
            options.Format = format->Format;
        } else if (value.isEmpty()) {
            return refuse(option.Id == TOptionId::Output ? QStringLiteral("the output name is empty")
                                                         : QStringLiteral("the output folder name is empty"));
        } else {
            (option.Id == TOptionId::Output ? options.Output : options.OutputDir) = value;
        }
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
               "                         standard output\n"
               "  -f, --format FORMAT    %1; otherwise the output name's last\n"
               "                         extension decides, as in the window (.png, .jpg, .jpeg, .jpe,\n"
               "                         .gif, .bmp, .tif, .tiff in any case), else PNG\n"
               "      --size N           reflection size in rows, 0 or more (default %2)\n"
               "      --start S          opacity where the reflection starts, 0..%6 (default %3)\n"
               "      --end E            opacity where the reflection ends, 0..%6 (default %4)\n"
               "      --axis A           rows between the picture and its reflection (default %5)\n"
               "  -j, --jobs N           parallel workers for a batch (default: one per core)\n"
               "      --lenient          keep what decodes of a damaged picture (with a warning)\n"
               "                         instead of refusing it\n"
               "      --max-pixels N     refuse a picture whose header declares more pixels\n"
               "                         (default %7)\n"
               "  -h, --help             show this help\n"
               "      --version          show the version\n"
               "\n"
               "A FILE of - reads standard input. Exit status: 0 when every file was written,\n"
               "1 when any failed, 2 for a usage error.\n"
               "\n"
               "lumivex-cli text [options] MARKUP draws a line of markup text with its\n"
               "reflection; see \"lumivex-cli text --help\".\n")
        .arg(SaveFormatOptionNames(), QString::number(WindowStartReflection.Size),
             QString::number(WindowStartReflection.OpacityStart),
             QString::number(WindowStartReflection.OpacityEnd), QString::number(WindowStartReflection.Axis),
             QString::number(MaxOpacity), QString::number(DefaultImageMaxPixels));
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
