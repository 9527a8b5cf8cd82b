#include "app/cli_options.h"

namespace
{
// Bounds of the values the command accepts. Opacities are bytes; the size and
// offset are bounded so that an output's height cannot overflow.
constexpr int MaxReflectionSize = 1000000;
constexpr int MaxAxis = 1000000;

std::optional<int> ParseInt(const QString& Text)
{
    bool ok = false;
    const int value = Text.trimmed().toInt(&ok, 10);
    return ok ? std::optional<int>(value) : std::nullopt;
}

bool IsKnownFormat(const QString& Format)
{
    static const QStringList formats{QStringLiteral("png"), QStringLiteral("jpg"), QStringLiteral("jpeg"),
                                     QStringLiteral("gif"), QStringLiteral("bmp"), QStringLiteral("tiff"),
                                     QStringLiteral("tif")};
    return formats.contains(Format);
}

QString CanonicalFormat(const QString& Format)
{
    if (Format == QLatin1String("jpeg"))
        return QStringLiteral("jpg");
    if (Format == QLatin1String("tif"))
        return QStringLiteral("tiff");
    return Format;
}
} // namespace

QString CliVersionText()
{
    return QStringLiteral("1.5.0.0");
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
        "  -f, --format FORMAT    png, jpg, gif, bmp or tiff; otherwise chosen from the output\n"
        "                         name as the window does (.JPG, .GIF, .BMP anywhere in it, else PNG)\n"
        "      --size N           reflection size in rows, 0 or more (default 50)\n"
        "      --start S          opacity where the reflection starts, 0..255 (default 120)\n"
        "      --end E            opacity where the reflection ends, 0..255 (default 1)\n"
        "      --axis A           rows between the picture and its reflection (default 1)\n"
        "  -j, --jobs N           parallel workers for a batch (default: one per core)\n"
        "      --lenient          keep what decodes of a damaged picture (with a warning)\n"
        "                         instead of refusing it\n"
        "  -h, --help             show this help\n"
        "      --version          show the version\n"
        "\n"
        "A FILE of - reads standard input. Exit status: 0 when every file was written,\n"
        "1 when any failed, 2 for a usage error.\n");
}

TCliParseResult ParseCliArguments(const QStringList& Arguments)
{
    TCliParseResult result;
    if (Arguments.isEmpty()) {
        result.Error = QStringLiteral("missing command: expected \"image\"");
        return result;
    }
    const QString& first = Arguments.first();
    if (first == QLatin1String("--help") || first == QLatin1String("-h") || first == QLatin1String("help")) {
        result.Action = TCliAction::Help;
        return result;
    }
    if (first == QLatin1String("--version")) {
        result.Action = TCliAction::Version;
        return result;
    }
    if (first != QLatin1String("image")) {
        result.Error = QStringLiteral("unknown command \"%1\": expected \"image\"").arg(first);
        return result;
    }
    result.Command = first;
    TImageCommandOptions& options = result.Image;

    auto fail = [&result](const QString& message) {
        result.Error = message;
        return result;
    };

    bool onlyFiles = false;
    for (int i = 1; i < Arguments.size(); ++i) {
        QString argument = Arguments.at(i);
        if (onlyFiles || argument == QLatin1String("-") || !argument.startsWith(QLatin1Char('-'))) {
            options.Inputs << argument;
            continue;
        }
        if (argument == QLatin1String("--")) {
            onlyFiles = true;
            continue;
        }
        if (argument == QLatin1String("-h") || argument == QLatin1String("--help")) {
            result.Action = TCliAction::Help;
            return result;
        }
        if (argument == QLatin1String("--version")) {
            result.Action = TCliAction::Version;
            return result;
        }
        if (argument == QLatin1String("--lenient")) {
            options.Lenient = true;
            continue;
        }
        // "--name=value" and "--name value" are both accepted.
        QString value;
        bool hasInlineValue = false;
        if (argument.startsWith(QLatin1String("--")) && argument.contains(QLatin1Char('='))) {
            const int equals = argument.indexOf(QLatin1Char('='));
            value = argument.mid(equals + 1);
            argument = argument.left(equals);
            hasInlineValue = true;
        }
        static const QStringList valued{
            QStringLiteral("-o"),           QStringLiteral("--output"), QStringLiteral("-d"),
            QStringLiteral("--output-dir"), QStringLiteral("-f"),       QStringLiteral("--format"),
            QStringLiteral("--size"),       QStringLiteral("--start"),  QStringLiteral("--end"),
            QStringLiteral("--axis"),       QStringLiteral("-j"),       QStringLiteral("--jobs")};
        if (!valued.contains(argument))
            return fail(QStringLiteral("unknown option \"%1\"").arg(argument));
        if (!hasInlineValue) {
            if (i + 1 >= Arguments.size())
                return fail(QStringLiteral("option \"%1\" needs a value").arg(argument));
            value = Arguments.at(++i);
        }

        auto number = [&](int low, int high, int& target) -> bool {
            const std::optional<int> parsed = ParseInt(value);
            if (!parsed || *parsed < low || *parsed > high) {
                result.Error = QStringLiteral("%1 must be a whole number from %2 to %3, not \"%4\"")
                                   .arg(argument)
                                   .arg(low)
                                   .arg(high)
                                   .arg(value);
                return false;
            }
            target = *parsed;
            return true;
        };

        if (argument == QLatin1String("-o") || argument == QLatin1String("--output")) {
            if (value.isEmpty())
                return fail(QStringLiteral("the output name is empty"));
            options.Output = value;
        } else if (argument == QLatin1String("-d") || argument == QLatin1String("--output-dir")) {
            if (value.isEmpty())
                return fail(QStringLiteral("the output folder name is empty"));
            options.OutputDir = value;
        } else if (argument == QLatin1String("-f") || argument == QLatin1String("--format")) {
            const QString format = value.toLower();
            if (!IsKnownFormat(format))
                return fail(
                    QStringLiteral("unknown format \"%1\": expected png, jpg, gif, bmp or tiff").arg(value));
            options.Format = CanonicalFormat(format);
        } else if (argument == QLatin1String("--size")) {
            if (!number(0, MaxReflectionSize, options.Size))
                return result;
        } else if (argument == QLatin1String("--start")) {
            if (!number(0, 255, options.Start))
                return result;
        } else if (argument == QLatin1String("--end")) {
            if (!number(0, 255, options.End))
                return result;
        } else if (argument == QLatin1String("--axis")) {
            if (!number(-MaxAxis, MaxAxis, options.Axis))
                return result;
        } else {
            if (!number(1, 256, options.Jobs))
                return result;
        }
    }

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
