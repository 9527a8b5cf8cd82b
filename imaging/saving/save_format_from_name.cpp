#include "imaging/saving/save_format_from_name.h"

#include <QFileInfo>

namespace
{
struct TExtension {
    const char* Suffix; // lower case, without the dot
    ImageSaveFormat Format;
};

// The first entry of each format is the extension a bare name is given.
constexpr TExtension Extensions[] = {
    {"png", ImageSaveFormat::Png},  {"jpg", ImageSaveFormat::Jpeg},  {"jpeg", ImageSaveFormat::Jpeg},
    {"jpe", ImageSaveFormat::Jpeg}, {"gif", ImageSaveFormat::Gif},   {"bmp", ImageSaveFormat::Bmp},
    {"tif", ImageSaveFormat::Tiff}, {"tiff", ImageSaveFormat::Tiff},
};
} // namespace

std::optional<ImageSaveFormat> SaveFormatOfName(const QString& FileName)
{
    // QFileInfo's suffix is taken from the name alone, after its last dot, so
    // a dotted folder ("my.bmp.files/x") has no say.
    const QString suffix = QFileInfo(FileName).suffix().toLower();
    if (suffix.isEmpty())
        return std::nullopt;
    for (const TExtension& extension : Extensions)
        if (suffix == QLatin1String(extension.Suffix))
            return extension.Format;
    return std::nullopt;
}

QString ExtensionOfFormat(ImageSaveFormat Format)
{
    for (const TExtension& extension : Extensions)
        if (extension.Format == Format)
            return QString::fromLatin1(extension.Suffix);
    return QStringLiteral("png");
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
