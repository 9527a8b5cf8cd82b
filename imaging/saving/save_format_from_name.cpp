#include "imaging/saving/save_format_from_name.h"

#include "imaging/saving/save_formats.h"

#include <QFileInfo>

std::optional<ImageSaveFormat> SaveFormatOfName(const QString& FileName)
{
    // QFileInfo's suffix is taken from the name alone, after its last dot, so
    // a dotted folder ("my.bmp.files/x") has no say.
    if (const TSaveFormatInfo* info = FindSaveFormatByExtension(QFileInfo(FileName).suffix()))
        return info->Format;
    return std::nullopt;
}

QString ExtensionOfFormat(ImageSaveFormat Format)
{
    const TSaveFormatInfo* info = FindSaveFormat(Format);
    return QString::fromLatin1(info ? info->Extension : "png");
}

TSaveTarget SaveTargetFromName(const QString& FileName, ImageSaveFormat Fallback)
{
    if (const std::optional<ImageSaveFormat> format = SaveFormatOfName(FileName))
        return {FileName, *format};
    // A name ending in a dot would otherwise get two of them.
    QString base = FileName;
    if (base.endsWith(QLatin1Char('.')))
        base.chop(1);
    return {base + QLatin1Char('.') + ExtensionOfFormat(Fallback), Fallback};
}
