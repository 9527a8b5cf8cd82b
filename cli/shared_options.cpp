#include "cli/shared_options.h"

#include "imaging/image_limits.h"
#include "imaging/reflection/reflection_direction.h"

#include <QStringList>

namespace
{
// The column where the usage text's descriptions start.
constexpr qsizetype UsageNameWidth = 18;

QString UsageLine(const QString& Names, const QString& Description)
{
    return QStringLiteral("      %1 %2\n").arg(Names.leftJustified(UsageNameWidth), Description);
}

// "below, above, left or right".
QString DirectionWords()
{
    QStringList words;
    for (const TReflectionDirectionInfo& info : ReflectionDirections)
        words << QString::fromLatin1(info.Name);
    const QString last = words.takeLast();
    return words.join(QLatin1String(", ")) + QLatin1String(" or ") + last;
}
} // namespace

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

bool ReadReflectionOption(const TReflectionValueInfo& Info, const QString& Typed,
                          TReflectionParameters& Reflection, QString& Error)
{
    return ReadNumberOption(QLatin1String(Info.OptionName), Typed, Info.Low, Info.High,
                            Reflection.*Info.Value, Error);
}

bool ReadDirectionOption(const QString& Typed, TReflectionParameters& Reflection, QString& Error)
{
    const std::optional<TReflectionDirection> direction = ReflectionDirectionNamed(Typed);
    if (!direction) {
        Error = QStringLiteral("--%1 must be %2, not \"%3\"")
                    .arg(QLatin1String(ReflectionDirectionValue.OptionName), DirectionWords(), Typed);
        return false;
    }
    Reflection.Direction = *direction;
    return true;
}

bool ReadFormatOption(const QString& Typed, std::optional<ImageSaveFormat>& Format, QString& Error)
{
    const TSaveFormatInfo* format = FindSaveFormatByOptionName(Typed.toLower());
    if (!format) {
        Error = QStringLiteral("unknown format \"%1\": expected %2").arg(Typed, SaveFormatOptionNames());
        return false;
    }
    Format = format->Format;
    return true;
}

bool ReadQualityOption(const QString& Typed, int& Quality, QString& Error)
{
    return ReadNumberOption(QStringLiteral("quality"), Typed, 1, 100, Quality, Error);
}

QString FormatUsageLines()
{
    return QStringLiteral(
               "  -f, --format FORMAT    %1; otherwise the output name's last\n"
               "                         extension decides, as in the window (.png, .jpg, .jpeg, .jpe,\n"
               "                         .gif, .bmp, .tif, .tiff, .webp, .avif in any case), else PNG\n")
        .arg(SaveFormatOptionNames());
}

QString QualityUsageLine()
{
    return UsageLine(QStringLiteral("--quality Q"),
                     QStringLiteral("JPEG's quality, WebP's and AVIF's, 1..100 (default 100: WebP\n"
                                    "                         and AVIF are then lossless, and lossy below)"));
}

QString ReflectionUsageLines(const QString& Object, const TReflectionParameters& Defaults)
{
    QString lines;
    for (const TReflectionValueInfo& info : ReflectionValues) {
        const QString help = QString::fromLatin1(info.Help)
                                 .replace(QLatin1String("{low}"), QString::number(info.Low))
                                 .replace(QLatin1String("{high}"), QString::number(info.High))
                                 .replace(QLatin1String("{object}"), Object);
        lines += UsageLine(
            QStringLiteral("--%1 %2").arg(QLatin1String(info.OptionName), QLatin1String(info.ValueName)),
            QStringLiteral("%1 (default %2)").arg(help).arg(Defaults.*info.Value));
    }
    const TReflectionDirectionValueInfo& direction = ReflectionDirectionValue;
    lines += UsageLine(QStringLiteral("--%1 %2").arg(QLatin1String(direction.OptionName),
                                                     QLatin1String(direction.ValueName)),
                       QStringLiteral("%1 (default %2)")
                           .arg(QString::fromLatin1(direction.Help)
                                    .replace(QLatin1String("{words}"), DirectionWords())
                                    .replace(QLatin1String("{object}"), Object),
                                QLatin1String(ReflectionDirectionInfo(Defaults.Direction).Name)));
    return lines;
}

QString HelpUsageLine()
{
    return QStringLiteral("  -h, --help             show this help\n");
}

bool ReadMaxPixelsOption(const QString& Typed, int& MaxPixels, QString& Error)
{
    return ReadNumberOption(QStringLiteral("max-pixels"), Typed, 1, int(MaxDecodedPixels), MaxPixels, Error);
}

QString MaxPixelsUsageLines(const QString& Object, int Default)
{
    return QStringLiteral("      --max-pixels N     %1 (default %2)\n").arg(Object).arg(Default);
}
