#include "imaging/saving/save_formats.h"

#include "imaging/codecs/avif_writer.h"
#include "imaging/codecs/bmp_writer.h"
#include "imaging/codecs/gif_writer.h"
#include "imaging/codecs/jpeg_writer.h"
#include "imaging/codecs/tiff_writer.h"
#include "imaging/codecs/webp_writer.h"
#include "imaging/metadata/packet_embedding.h"
#include "imaging/png/png_encoder.h"

#include "imaging/codecs/flatten_over_white.h"
#include "imaging/saving/output_file_device.h"
#include "imaging/saving/output_target.h"

#include <QImage>
#include <QStringList>
#include <algorithm>
#include <array>

namespace
{

// Our own encoder: banded, on the cores the thread budget grants, exact for
// any alpha. Its reason stays out of the message, which has always named
// the format alone.
bool WritePngFile(const QImage& Image, QIODevice* Device, const TWriteSettings& Settings, QString*)
{
    TPngEncodeOptions options;
    if (Settings.Packets)
        options.ExtraChunks = PngPacketChunks(*Settings.Packets);
    return WritePng(Image, Device, options);
}

bool WriteJpeg(const QImage& Image, QIODevice* Device, const TWriteSettings& Settings, QString* Reason)
{
    return WriteJpegImage(Image, Device, Settings.Quality, Settings.Packets, Settings.Warnings, Reason);
}

bool WriteGif(const QImage& Image, QIODevice* Device, const TWriteSettings&, QString* Reason)
{
    return WriteGifImage(Image, Device, Reason);
}

bool WriteBmp(const QImage& Image, QIODevice* Device, const TWriteSettings&, QString* Reason)
{
    return WriteBmpImage(Image, Device, Reason);
}

bool WriteTiff(const QImage& Image, QIODevice* Device, const TWriteSettings& Settings, QString* Reason)
{
    return WriteTiffImage(Image, Device, Settings.Packets, Settings.Warnings, Reason);
}

bool WriteWebp(const QImage& Image, QIODevice* Device, const TWriteSettings& Settings, QString* Reason)
{
    return WriteWebpImage(Image, Device, Settings.Quality, Reason, Settings.Packets, Settings.Warnings);
}

bool WriteAvif(const QImage& Image, QIODevice* Device, const TWriteSettings& Settings, QString* Reason)
{
    return WriteAvifImage(Image, Device, Settings.Quality, Settings.Packets, Reason);
}

// The JPEG format's own bound on a side (libjpeg's JPEG_MAX_DIMENSION).
constexpr int MaxJpegSide = 65500;

// PNG, TIFF and WebP carry the fade's partial alpha; JPEG, GIF and BMP
// cannot, so they get what the screen showed: the picture over the window's white.
constexpr std::array<TSaveFormatInfo, 7> Formats{{
    {ImageSaveFormat::Png, "PNG", "png", nullptr, "png", "", "image/png", true, true, 0, WritePngFile},
    {ImageSaveFormat::Jpeg, "JPEG", "jpg", "jpeg", "jpg", "jpeg jpe", "image/jpeg", false, true, MaxJpegSide,
     WriteJpeg},
    {ImageSaveFormat::Gif, "GIF", "gif", nullptr, "gif", "", "image/gif", false, false, 0, WriteGif, true},
    {ImageSaveFormat::Bmp, "BMP", "bmp", nullptr, "bmp", "", "image/bmp", false, false, 0, WriteBmp},
    {ImageSaveFormat::Tiff, "TIFF", "tiff", "tif", "tif", "tiff", "image/tiff", true, true, 0, WriteTiff},
    {ImageSaveFormat::Webp, "WebP", "webp", nullptr, "webp", "", "image/webp", true, true, MaxWebpSide,
     WriteWebp, true},
    {ImageSaveFormat::Avif, "AVIF", "avif", nullptr, "avif", "", "image/avif", true, true, 0, WriteAvif,
     false, AvifWriterReady},
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

namespace
{
// Image is a copy of the caller's (its pixels shared) or the only one, which
// may then be changed where it lies.
TGpStatus EncodePixels(QImage Image, const TSaveFormatInfo& Format, int Quality, QIODevice* Device,
                       QString* Reason, const TImagePackets* Packets, QStringList* Warnings)
{
    const auto fail = [Reason](TGpStatus Status, const QString& Text) {
        if (Reason)
            *Reason = Text;
        return Status;
    };
    if (Image.isNull())
        return fail(TGpStatus::InvalidParameter, QStringLiteral("no image to save"));
    if (!Device || !Device->isWritable())
        return fail(TGpStatus::InvalidParameter, QStringLiteral("the target is not writable"));
    // A writer that is not there is told before any work on the pixels.
    QString missing;
    if (Format.Ready && !Format.Ready(&missing))
        return fail(TGpStatus::NotImplemented, QStringLiteral("could not write the %1 image: %2")
                                                   .arg(QLatin1String(Format.Description), missing));

    // An opaque picture goes as it is to the writers that flatten anyway and
    // to our PNG encoder, which writes it without alpha either way: a copy
    // of a large picture would only cost memory.
    const bool opaqueAsIs = Image.format() == QImage::Format_RGB32 &&
                            (!Format.KeepsAlpha || Format.Format == ImageSaveFormat::Png);
    if (Image.format() != QImage::Format_ARGB32 && !opaqueAsIs)
        Image = Image.convertToFormat(QImage::Format_ARGB32);
    if (Image.isNull())
        return fail(TGpStatus::OutOfMemory, QStringLiteral("out of memory converting the image"));

    if (Format.MaxSide > 0 && (Image.width() > Format.MaxSide || Image.height() > Format.MaxSide))
        return fail(TGpStatus::ValueOverflow,
                    QStringLiteral("%1 is limited to %2 pixels a side; this image is %3 × %4")
                        .arg(QLatin1String(Format.Description))
                        .arg(Format.MaxSide)
                        .arg(Image.width())
                        .arg(Image.height()));
    // Flattened where it lies when this is the only holder of the pixels:
    // the writer's working memory then comes on top of one picture, not two.
    if (!Format.KeepsAlpha) {
        if (Image.isDetached())
            FlattenOverWhiteInPlace(Image);
        else
            Image = FlattenOverWhite(Image);
    }
    QString reason;
    if (!Image.isNull() && Format.Write(Image, Device, TWriteSettings{Quality, Packets, Warnings}, &reason))
        return TGpStatus::Ok;
    return fail(TGpStatus::GenericError,
                QStringLiteral("could not write the %1 image%2")
                    .arg(QLatin1String(Format.Description),
                         reason.isEmpty() ? QString() : QStringLiteral(": ") + reason));
}

TGpStatus SavePixels(QImage Image, const TSaveFormatInfo& Format, int Quality, const QString& FileName,
                     QString* Reason, const TImagePackets* Packets, QStringList* Warnings)
{
    if (FileName.isEmpty()) {
        if (Reason)
            *Reason = QStringLiteral("no file name");
        return TGpStatus::InvalidParameter;
    }
    // Written as encoded: the file's temporary stands in for the target until
    // the encoder succeeded, and a write error is the system's own reason,
    // not the encoder's.
    TOutputFile file;
    if (!file.Open(FileName, Reason))
        return TGpStatus::Win32Error;
    TOutputFileDevice device(file);
    const TGpStatus status =
        EncodePixels(std::move(Image), Format, Quality, &device, Reason, Packets, Warnings);
    if (status != TGpStatus::Ok && !file.Failed())
        return status;
    if (!file.Commit(Reason))
        return TGpStatus::Win32Error;
    return status;
}
} // namespace

TGpStatus EncodeInFormat(const QImage& Image, const TSaveFormatInfo& Format, int Quality, QIODevice* Device,
                         QString* Reason, const TImagePackets* Packets, QStringList* Warnings)
{
    return EncodePixels(Image, Format, Quality, Device, Reason, Packets, Warnings);
}

TGpStatus EncodeInFormat(QImage&& Image, const TSaveFormatInfo& Format, int Quality, QIODevice* Device,
                         QString* Reason, const TImagePackets* Packets, QStringList* Warnings)
{
    return EncodePixels(std::move(Image), Format, Quality, Device, Reason, Packets, Warnings);
}

TGpStatus SaveInFormat(const QImage& Image, const TSaveFormatInfo& Format, int Quality,
                       const QString& FileName, QString* Reason, const TImagePackets* Packets,
                       QStringList* Warnings)
{
    return SavePixels(Image, Format, Quality, FileName, Reason, Packets, Warnings);
}

TGpStatus SaveInFormat(QImage&& Image, const TSaveFormatInfo& Format, int Quality, const QString& FileName,
                       QString* Reason, const TImagePackets* Packets, QStringList* Warnings)
{
    return SavePixels(std::move(Image), Format, Quality, FileName, Reason, Packets, Warnings);
}
