#include "cli/shared_options.h"

#include "imaging/image_limits.h"

std::optional<int> ParseWholeNumber(const QString& Text)
{
    bool ok = false;
    const int value = Text.trimmed().toInt(&ok, 10);
    return ok ? std::optional<int>(value) : std::nullopt;
}

QString SpelledOption(const QString& Name)
{
    return (Name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + Name;
}

bool ReadNumberOption(const QString& Name, const QString& Typed, int Low, int High, int& Target,
                      QString& Error)
{
    const std::optional<int> parsed = ParseWholeNumber(Typed);
    if (!parsed || *parsed < Low || *parsed > High) {
        Error = QStringLiteral("%1 must be a whole number from %2 to %3, not \"%4\"")
                    .arg(SpelledOption(Name))
                    .arg(Low)
                    .arg(High)
                    .arg(Typed);
        return false;
    }
    Target = *parsed;
    return true;
}

TCliOption NumberOption(const QStringList& Names, const QString& ValueName, const QString& Help, int Low,
                        int High, int& Target)
{
    return {Names, ValueName, Help,
            [Low, High, &Target](const QString& Name, const QString& Value, QString& Error) {
                return ReadNumberOption(Name, Value, Low, High, Target, Error);
            }};
}

TCliOption FormatOption(std::optional<ImageSaveFormat>& Format)
{
    return {
        {QStringLiteral("f"), QStringLiteral("format")},
        QStringLiteral("FORMAT"),
        QStringLiteral("%1; otherwise the output name's last\n"
                       "extension decides, as in the window (.png, .jpg, .jpeg, .jpe,\n"
                       ".gif, .bmp, .tif, .tiff, .webp, .avif in any case), else PNG")
            .arg(SaveFormatOptionNames()),
        [&Format](const QString&, const QString& Value, QString& Error) {
            const TSaveFormatInfo* format = FindSaveFormatByOptionName(Value.toLower());
            if (!format) {
                Error =
                    QStringLiteral("unknown format \"%1\": expected %2").arg(Value, SaveFormatOptionNames());
                return false;
            }
            Format = format->Format;
            return true;
        }};
}

TCliOption QualityOption(int& Quality)
{
    return NumberOption({QStringLiteral("quality")}, QStringLiteral("Q"),
                        QStringLiteral("JPEG's quality, WebP's and AVIF's, 1..100 (default 100: WebP\n"
                                       "and AVIF are then lossless, and lossy below)"),
                        1, 100, Quality);
}

TCliOptionTable ReflectionOptions(const QString& Object, TReflectionParameters& Reflection)
{
    TCliOptionTable options;
    for (const TReflectionValueInfo& info : ReflectionValues) {
        const QString help = QString::fromLatin1(info.Help)
                                 .replace(QLatin1String("{low}"), QString::number(info.Low))
                                 .replace(QLatin1String("{high}"), QString::number(info.High))
                                 .replace(QLatin1String("{object}"), Object);
        options.push_back(
            NumberOption({QString::fromLatin1(info.OptionName)}, QString::fromLatin1(info.ValueName),
                         QStringLiteral("%1 (default %2)").arg(help).arg(Reflection.*info.Value), info.Low,
                         info.High, Reflection.*info.Value));
    }
    return options;
}

TCliOption MaxPixelsOption(const QString& Help, int& MaxPixels)
{
    return NumberOption({QStringLiteral("max-pixels")}, QStringLiteral("N"),
                        QStringLiteral("%1\n(default %2)").arg(Help).arg(MaxPixels), 1, int(MaxDecodedPixels),
                        MaxPixels);
}

TCliOption HelpOption(std::function<void()> Show)
{
    return {{QStringLiteral("h"), QStringLiteral("help")},
            QString(),
            QStringLiteral("show this help"),
            [Show = std::move(Show)](const QString&, const QString&, QString&) {
                Show();
                return false;
            }};
}
