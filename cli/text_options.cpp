#include "cli/text_options.h"

#include "cli/shared_options.h"
#include "markup/markup_colors.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <optional>
#include <vector>

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

QString TextUsageText()
{
    return QStringLiteral("Usage: lumivex-cli text [options] MARKUP\n"
                          "\n"
                          "Draws a line of markup text with its reflection, as the window's \"Text\" page\n"
                          "shows it, and saves it.\n"
                          "\n"
                          "Options:\n"
                          "      --file FILE        read the markup from FILE (- for standard input);\n"
                          "                         a MARKUP of - reads standard input too\n"
                          "  -o, --output FILE      output file; - writes standard output\n") +
           FormatUsageLines() +
           QStringLiteral(
               "      --font FONT        \"Family,points[,bold][,italic]\" (default \"Tahoma,20\")\n"
               "      --color COLOR      text colour: a colour name of the markup (clNavy, navy,\n"
               "                         orange, rebeccapurple, any case) or #rrggbb\n"
               "                         (default the window text colour)\n"
               "      --background COLOR background colour, as --color (default white)\n"
               "      --transparent      no background: PNG and TIFF keep the text and its fade\n"
               "                         as alpha; JPEG, GIF and BMP get the background colour\n"
               "      --width N          width in pixels (default: the laid-out text's)\n"
               "      --height N         height in pixels (default: the text and its reflection)\n"
               "      --trim             only the laid-out text and its reflection, as the\n"
               "                         window's \"Trim to the text\" (what is written anyway\n"
               "                         without --width and --height)\n") +
           ReflectionUsageLines(QStringLiteral("text"), LabelReflectionDefaults) +
           QStringLiteral(
               "      --allow-files DIR  let pictures of the markup (<img src=\"file://...\">) be read\n"
               "                         from DIR and its subfolders; repeatable. Without it no\n"
               "                         local file or program resource is read\n") +
           MaxPixelsUsageLines(
               QStringLiteral("the largest output, and picture shown, in pixels\n                        "),
               DefaultTextMaxPixels) +
           HelpUsageLine() +
           QStringLiteral(
               "\n"
               "Exit status: 0 when the file was written, 1 when it failed, 2 for a usage error.\n");
}

TTextParseResult ParseTextArguments(const QStringList& Arguments)
{
    TTextParseResult result;
    TTextCommandOptions& options = result.Options;

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption file(QStringLiteral("file"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption output(QStringList{QStringLiteral("o"), QStringLiteral("output")}, QString(),
                                    QStringLiteral("FILE"));
    const QCommandLineOption format(QStringList{QStringLiteral("f"), QStringLiteral("format")}, QString(),
                                    QStringLiteral("FORMAT"));
    const QCommandLineOption quality(QStringLiteral("quality"), QString(), QStringLiteral("Q"));
    const QCommandLineOption font(QStringLiteral("font"), QString(), QStringLiteral("FONT"));
    const QCommandLineOption color(QStringLiteral("color"), QString(), QStringLiteral("COLOR"));
    const QCommandLineOption background(QStringLiteral("background"), QString(), QStringLiteral("COLOR"));
    const QCommandLineOption width(QStringLiteral("width"), QString(), QStringLiteral("N"));
    const QCommandLineOption height(QStringLiteral("height"), QString(), QStringLiteral("N"));
    const QCommandLineOption trim(QStringLiteral("trim"));
    const QCommandLineOption transparent(QStringLiteral("transparent"));
    std::vector<QCommandLineOption> reflection;
    for (const TReflectionValueInfo& info : ReflectionValues)
        reflection.emplace_back(QString::fromLatin1(info.OptionName), QString(),
                                QString::fromLatin1(info.ValueName));
    const QCommandLineOption direction(QString::fromLatin1(ReflectionDirectionValue.OptionName), QString(),
                                       QString::fromLatin1(ReflectionDirectionValue.ValueName));
    const QCommandLineOption allowFiles(QStringLiteral("allow-files"), QString(), QStringLiteral("DIR"));
    const QCommandLineOption maxPixels(QStringLiteral("max-pixels"), QString(), QStringLiteral("N"));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    parser.addOptions({file, output, format, quality, font, color, background, transparent, width, height,
                       trim, allowFiles, maxPixels, direction});
    parser.addOptions(QList<QCommandLineOption>(reflection.begin(), reflection.end()));
    parser.addOption(help);

    if (!parser.parse(QStringList{QStringLiteral("lumivex-cli text")} + Arguments)) {
        result.Error = parser.errorText();
        return result;
    }
    if (parser.isSet(help)) {
        result.Help = true;
        return result;
    }

    auto fail = [&result](const QString& Message) {
        result.Error = Message;
        return result;
    };
    auto side = [&](const QCommandLineOption& Option, int& Target) {
        return !parser.isSet(Option) || ReadNumberOption(Option.names().constLast(), parser.value(Option), 1,
                                                         MaxSide, Target, result.Error);
    };
    if (!side(width, options.Width) || !side(height, options.Height))
        return result;
    options.Trim = parser.isSet(trim);
    options.Transparent = parser.isSet(transparent);
    for (std::size_t i = 0; i < reflection.size(); ++i)
        if (parser.isSet(reflection[i]) &&
            !ReadReflectionOption(ReflectionValues[i], parser.value(reflection[i]), options.Reflection,
                                  result.Error))
            return result;
    if (parser.isSet(direction) &&
        !ReadDirectionOption(parser.value(direction), options.Reflection, result.Error))
        return result;
    if (parser.isSet(maxPixels) &&
        !ReadMaxPixelsOption(parser.value(maxPixels), options.MaxPixels, result.Error))
        return result;
    for (const QString& folder : parser.values(allowFiles)) {
        if (!QFileInfo(folder).isDir())
            return fail(QStringLiteral("--allow-files: \"%1\" is not a folder").arg(folder));
        options.AllowedFolders << folder;
    }

    if (parser.isSet(font)) {
        QString reason;
        if (!ParseFontOption(parser.value(font), options, reason))
            return fail(reason);
    }
    if (parser.isSet(color) && !ParseColorOption(parser.value(color), options.TextColor))
        return fail(
            QStringLiteral("unknown colour \"%1\": expected a colour name such as navy or clNavy, or #rrggbb")
                .arg(parser.value(color)));
    if (parser.isSet(background) && !ParseColorOption(parser.value(background), options.Background))
        return fail(QStringLiteral(
                        "unknown colour \"%1\": expected a colour name such as white or clWhite, or #rrggbb")
                        .arg(parser.value(background)));
    if (parser.isSet(format) && !ReadFormatOption(parser.value(format), options.Format, result.Error))
        return result;
    if (parser.isSet(quality) && !ReadQualityOption(parser.value(quality), options.Quality, result.Error))
        return result;

    options.Output = parser.value(output);
    if (options.Output.isEmpty())
        return fail(QStringLiteral("no output: give -o FILE, or -o - for standard output"));

    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1)
        return fail(QStringLiteral("one MARKUP argument only; quote a text with blanks"));
    if (parser.isSet(file) && !positional.isEmpty())
        return fail(QStringLiteral("give the markup either as an argument or with --file, not both"));
    if (parser.isSet(file)) {
        options.File = parser.value(file);
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
