#include "imaging/saving/save_formats.h"

#include "imaging/codecs/gif_writer.h"
#include "imaging/codecs/webp_writer.h"
#include "imaging/png/png_output.h"

#include <QImage>
#include <QImageWriter>
#include <QStringList>
#include <algorithm>
#include <array>

namespace
{

bool WriteWithQt(const QImage& Image, QIODevice* Device, const char* Format, int Quality, int Compression,
                 QString* Reason)
{
    QImageWriter writer(Device, Format);
    if (Quality >= 0)
        writer.setQuality(Quality);
    if (Compression >= 0)
        writer.setCompression(Compression);
    // Huffman tables fitted to the image: the same pixels in fewer bytes.
    writer.setOptimizedWrite(true);
    if (writer.write(Image))
        return true;
    if (Reason)
        *Reason = writer.errorString();
    return false;
}

// Qt's TIFF writer takes this as "LZW".
constexpr int TiffCompressionLzw = 1;

bool WritePng(const QImage& Image, QIODevice* Device, int, QString*)
{
    return WritePngImage(Image, Device);
}

bool WriteJpeg(const QImage& Image, QIODevice* Device, int Quality, QString* Reason)
{
    return WriteWithQt(Image, Device, "jpeg", Quality, -1, Reason);
}

bool WriteGif(const QImage& Image, QIODevice* Device, int, QString* Reason)
{
    return WriteGifImage(Image, Device, Reason);
}

bool WriteBmp(const QImage& Image, QIODevice* Device, int, QString* Reason)
{
    return WriteWithQt(Image, Device, "bmp", -1, -1, Reason);
}

bool WriteTiff(const QImage& Image, QIODevice* Device, int, QString* Reason)
{
    return WriteWithQt(Image, Device, "tiff", -1, TiffCompressionLzw, Reason);
}

bool WriteWebp(const QImage& Image, QIODevice* Device, int Quality, QString* Reason)
{
    return WriteWebpImage(Image, Device, Quality, Reason);
}

// The JPEG format's own bound on a side (libjpeg's JPEG_MAX_DIMENSION).
constexpr int MaxJpegSide = 65500;

// PNG, TIFF and WebP carry the fade's partial alpha; JPEG, GIF and BMP
// cannot, so they get what the screen showed: the picture over the window's white.
constexpr std::array<TSaveFormatInfo, 6> Formats{{
    {ImageSaveFormat::Png, "png", nullptr, "png", "", "image/png", true, 0, WritePng},
    {ImageSaveFormat::Jpeg, "jpg", "jpeg", "jpg", "jpeg jpe", "image/jpeg", false, MaxJpegSide, WriteJpeg},
    {ImageSaveFormat::Gif, "gif", nullptr, "gif", "", "image/gif", false, 0, WriteGif},
    {ImageSaveFormat::Bmp, "bmp", nullptr, "bmp", "", "image/bmp", false, 0, WriteBmp},
    {ImageSaveFormat::Tiff, "tiff", "tif", "tif", "tiff", "image/tiff", true, 0, WriteTiff},
    {ImageSaveFormat::Webp, "webp", nullptr, "webp", "", "image/webp", true, MaxWebpSide, WriteWebp},
}};

template <class Predicate> const TSaveFormatInfo* FindFormat(Predicate Matches)
{
    const auto found = std::find_if(Formats.begin(), Formats.end(), Matches);
    return found == Formats.end() ? nullptr : &*found;
}

} // namespace

std::span<const TSaveFormatInfo> SaveFormats()
{
    return Formats;
}

const TSaveFormatInfo* FindSaveFormat(ImageSaveFormat Format)
{
    return FindFormat([Format](const TSaveFormatInfo& Info) { return Info.Format == Format; });
}

const TSaveFormatInfo* FindSaveFormatByMimeType(const QString& MimeType)
{
    return FindFormat([&](const TSaveFormatInfo& Info) { return MimeType == QLatin1String(Info.MimeType); });
}

const TSaveFormatInfo* FindSaveFormatByOptionName(const QString& Name)
{
    return FindFormat([&](const TSaveFormatInfo& Info) {
        return Name == QLatin1String(Info.OptionName) ||
               (Info.OptionAlias && Name == QLatin1String(Info.OptionAlias));
    });
}

const TSaveFormatInfo* FindSaveFormatByExtension(const QString& Suffix)
{
    const QString suffix = Suffix.toLower();
    if (suffix.isEmpty())
        return nullptr;
    return FindFormat([&](const TSaveFormatInfo& Info) {
        return suffix == QLatin1String(Info.Extension) ||
               QString::fromLatin1(Info.OtherExtensions).split(QLatin1Char(' ')).contains(suffix);
    });
}

QString SaveFormatOptionNames()
{
    QStringList names;
    for (const TSaveFormatInfo& info : Formats)
        names << QString::fromLatin1(info.OptionName);
    const QString last = names.takeLast();
    return names.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
}
