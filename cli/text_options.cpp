#include "cli/text_options.h"

#include "cli/shared_options.h"
#include "markup/markup_colors.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <optional>

namespace
{
// Bounds of the values the command accepts: a surface side beyond these is
// refused by the imaging limits anyway, and a font beyond the markup's own
// bound shows nothing more.
constexpr int MaxSide = 32767;
constexpr int MaxFontPoints = 500;

bool IsHexDigit(QChar C)
{
    return (C >= QLatin1Char('0') && C <= QLatin1Char('9')) ||
           (C >= QLatin1Char('a') && C <= QLatin1Char('f')) ||
           (C >= QLatin1Char('A') && C <= QLatin1Char('F'));
}
} // namespace

bool ParseColorOption(const QString& Text, TColor& Color)
{
    if (Text.startsWith(QLatin1Char('#'))) {
        if (Text.size() != 7)
            return false;
        for (int i = 1; i < 7; ++i)
            if (!IsHexDigit(Text.at(i)))
                return false;
        Color = MarkupColor(Text.toUpper());
        return true;
    }
    const QString name = Text.toLower();
    for (const QString& candidate : {name, QStringLiteral("cl") + name}) {
        // The table answers black for names it lacks, so black itself is
        // recognised by name.
        const TColor found = NamedMarkupColor(candidate);
        if (found != clBlack || candidate == QLatin1String("clblack")) {
            Color = found;
            return true;
        }
    }
    return false;
}

bool ParseFontOption(const QString& Text, TTextCommandOptions& Options, QString& Reason)
{
    const QStringList parts = Text.split(QLatin1Char(','));
    Reason = QStringLiteral("--font must be \"Family,points[,bold][,italic]\", not \"%1\"").arg(Text);
    if (parts.size() < 2 || parts.first().trimmed().isEmpty())
        return false;
    const std::optional<int> points = ParseWholeNumber(parts.at(1));
    if (!points || *points < 1 || *points > MaxFontPoints) {
        Reason = QStringLiteral("the font size must be a whole number of points from 1 to %1, not \"%2\"")
                     .arg(MaxFontPoints)
                     .arg(parts.at(1));
        return false;
    }
    TTextCommandOptions parsed = Options;
    parsed.FontName = parts.first().trimmed();
    parsed.FontPoints = *points;
    parsed.Bold = parsed.Italic = false;
    for (int i = 2; i < parts.size(); ++i) {
        const QString style = parts.at(i).trimmed().toLower();
        if (style == QLatin1String("bold"))
            parsed.Bold = true;
        else if (style == QLatin1String("italic"))
            parsed.Italic = true;
        else
            return false;
    }
    Options = parsed;
    Reason.clear();
    return true;
}

namespace
{
// The options of "text", in the order its usage text lists them, storing
// into Result.
TCliOptionTable TextOptionTable(TTextParseResult& Result)
{
    TTextCommandOptions& options = Result.Options;
    auto text = [](QString& Target) {
        return [&Target](const QString&, const QString& Value, QString&) {
            Target = Value;
            return true;
        };
    };
    auto colour = [](TColor& Target, const char* Example) {
        return [&Target, Example](const QString&, const QString& Value, QString& Error) {
            if (ParseColorOption(Value, Target))
                return true;
            Error = QStringLiteral("unknown colour \"%1\": expected a colour name such as %2, or #rrggbb")
                        .arg(Value, QLatin1String(Example));
            return false;
        };
    };
    auto onOff = [](bool& Target) {
        return [&Target](const QString&, const QString&, QString&) {
            Target = true;
            return true;
        };
    };

    TCliOptionTable table{
        {{QStringLiteral("file")},
         QStringLiteral("FILE"),
         QStringLiteral("read the markup from FILE (- for standard input);\n"
                        "a MARKUP of - reads standard input too"),
         text(options.File)},
        {{QStringLiteral("o"), QStringLiteral("output")},
         QStringLiteral("FILE"),
         QStringLiteral("output file; - writes standard output"),
         text(options.Output)},
        FormatOption(options.Format),
        QualityOption(options.Quality),
        {{QStringLiteral("font")},
         QStringLiteral("FONT"),
         QStringLiteral("\"Family,points[,bold][,italic]\" (default \"%1,%2\")")
             .arg(options.FontName)
             .arg(options.FontPoints),
         [&options](const QString&, const QString& Value, QString& Error) {
             return ParseFontOption(Value, options, Error);
         }},
        {{QStringLiteral("color")},
         QStringLiteral("COLOR"),
         QStringLiteral("text colour: a colour name of the markup (clNavy, navy,\n"
                        "orange, rebeccapurple, any case) or #rrggbb\n"
                        "(default the window text colour)"),
         colour(options.TextColor, "navy or clNavy")},
        {{QStringLiteral("background")},
         QStringLiteral("COLOR"),
         QStringLiteral("background colour, as --color (default white)"),
         colour(options.Background, "white or clWhite")},
        {{QStringLiteral("transparent")},
         QString(),
         QStringLiteral("no background: PNG and TIFF keep the text and its fade\n"
                        "as alpha; JPEG, GIF and BMP get the background colour"),
         onOff(options.Transparent)},
        NumberOption({QStringLiteral("width")}, QStringLiteral("N"),
                     QStringLiteral("width in pixels (default: the laid-out text's)"), 1, MaxSide,
                     options.Width),
        NumberOption({QStringLiteral("height")}, QStringLiteral("N"),
                     QStringLiteral("height in pixels (default: the text and its reflection)"), 1, MaxSide,
                     options.Height),
        {{QStringLiteral("trim")},
         QString(),
         QStringLiteral("only the laid-out text and its reflection, as the\n"
                        "window's \"Trim to the text\" (what is written anyway\n"
                        "without --width and --height)"),
         onOff(options.Trim)},
    };
    for (TCliOption& option : ReflectionOptions(QStringLiteral("text"), options.Reflection))
        table.push_back(std::move(option));
    table.push_back({{QStringLiteral("allow-files")},
                     QStringLiteral("DIR"),
                     QStringLiteral("let pictures of the markup (<img src=\"file://...\">) be read\n"
                                    "from DIR and its subfolders; repeatable. Without it no\n"
                                    "local file or program resource is read"),
                     [&options](const QString&, const QString& Value, QString& Error) {
                         if (!QFileInfo(Value).isDir()) {
                             Error = QStringLiteral("--allow-files: \"%1\" is not a folder").arg(Value);
                             return false;
                         }
                         options.AllowedFolders << Value;
                         return true;
                     },
                     /*EveryValue=*/true});
    TCliOption maxPixels = MaxPixelsOption(
        QStringLiteral("the largest output, and picture shown, in pixels; by default\n"
                       "less for lossless WebP and for AVIF, whose encoders need more memory"),
        options.MaxPixels);
    maxPixels.Store = [&options, store = std::move(maxPixels.Store)](const QString& Name,
                                                                     const QString& Value, QString& Error) {
        options.MaxPixelsGiven = true;
        return store(Name, Value, Error);
    };
    table.push_back(std::move(maxPixels));
    table.push_back(HelpOption([&Result] { Result.Help = true; }));
    return table;
}
} // namespace

QString TextUsageText()
{
    TTextParseResult defaults;
    return QStringLiteral("Usage: lumivex-cli text [options] MARKUP\n"
                          "\n"
                          "Draws a line of markup text with its reflection, as the window's \"Text\" page\n"
                          "shows it, and saves it.\n"
                          "\n"
                          "Options:\n") +
           OptionUsageLines(TextOptionTable(defaults)) +
           QStringLiteral(
               "\n"
               "Exit status: 0 when the file was written, 1 when it failed, 2 for a usage error.\n");
}

TTextParseResult ParseTextArguments(const QStringList& Arguments)
{
    TTextParseResult result;
    TTextCommandOptions& options = result.Options;
    const TCliOptionTable table = TextOptionTable(result);

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const TCliOption& option : table)
        parser.addOption(QCommandLineOption(option.Names, QString(), option.ValueName));
    if (!parser.parse(QStringList{QStringLiteral("lumivex-cli text")} + Arguments)) {
        result.Error = parser.errorText();
        return result;
    }

    // The switches first, so that --help wins over any value; then the
    // values in the table's order, the last one given of each option.
    for (const bool valued : {false, true}) {
        for (const TCliOption& option : table) {
            const QString& name = option.Names.constLast();
            if (option.TakesValue() != valued || !parser.isSet(name))
                continue;
            const QStringList values = valued ? parser.values(name) : QStringList{QString()};
            for (const QString& value : option.EveryValue ? values : values.last(1))
                if (!option.Store(name, value, result.Error))
                    return result;
        }
    }

    auto fail = [&result](const QString& Message) {
        result.Error = Message;
        return result;
    };
    if (options.Output.isEmpty())
        return fail(QStringLiteral("no output: give -o FILE, or -o - for standard output"));

    const QStringList positional = parser.positionalArguments();
    const bool fromFile = parser.isSet(QStringLiteral("file"));
    if (positional.size() > 1)
        return fail(QStringLiteral("one MARKUP argument only; quote a text with blanks"));
    if (fromFile && !positional.isEmpty())
        return fail(QStringLiteral("give the markup either as an argument or with --file, not both"));
    if (fromFile) {
        if (options.File.isEmpty())
            return fail(QStringLiteral("the --file name is empty"));
    } else if (positional.isEmpty()) {
        return fail(QStringLiteral("no text: give MARKUP, --file FILE or - for standard input"));
    } else if (positional.first() == QLatin1String("-")) {
        options.File = positional.first();
    } else {
        options.Markup = positional.first();
    }
    return result;
}
