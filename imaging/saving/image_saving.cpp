#include "imaging/saving/image_saving.h"

#include "imaging/codecs/gif_writer.h"
#include "imaging/codecs/image_encoders.h"
#include "imaging/gp_raw_format.h"
#include "imaging/png/png_output.h"
#include "imaging/saving/output_target.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QUuid>

namespace
{

TGpStatus Fail(QString* Reason, TGpStatus Status, const QString& Text)
{
    if (Reason)
        *Reason = Text;
    return Status;
}

bool WriteWithQt(const QImage& Image, QIODevice* Device, const char* Format, int Quality, int Compression,
                 QString* Reason)
{
    QImageWriter writer(Device, Format);
    if (Quality >= 0)
        writer.setQuality(Quality);
    if (Compression >= 0)
        writer.setCompression(Compression);
    if (writer.write(Image))
        return true;
    if (Reason)
        *Reason = writer.errorString();
    return false;
}

// The JPEG format's own bound on a side (libjpeg's JPEG_MAX_DIMENSION).
constexpr int MaxJpegSide = 65500;

// Qt's TIFF writer takes this as "LZW".
constexpr int TiffCompressionLzw = 1;

} // namespace

QImage FlattenOverWhite(const QImage& Image)
{
    QImage flat(Image.size(), QImage::Format_RGB32);
    if (flat.isNull())
        return flat;
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawImage(QPoint(0, 0), Image);
    painter.end();
    return flat;
}

TGpStatus EncodeImage(const QImage& Image, const QUuid& Encoder, const TEncoderParameters* Parameters,
                      QIODevice* Device, QString* Reason)
{
    const TImageEncoderInfo* encoder = FindEncoderInfo(Encoder);
    if (!encoder)
        return Fail(Reason, TGpStatus::InvalidParameter, QStringLiteral("no encoder for this format"));
    if (Image.isNull())
        return Fail(Reason, TGpStatus::InvalidParameter, QStringLiteral("no image to save"));
    if (!Device || !Device->isWritable())
        return Fail(Reason, TGpStatus::InvalidParameter, QStringLiteral("the target is not writable"));

    const QImage argb =
        Image.format() == QImage::Format_ARGB32 ? Image : Image.convertToFormat(QImage::Format_ARGB32);
    if (argb.isNull())
        return Fail(Reason, TGpStatus::OutOfMemory, QStringLiteral("out of memory converting the image"));

    QString reason;
    bool written = false;
    switch (RawFormatKindOf(encoder->FormatId)) {
    case ImageRawFormat::RawPng:
        written = WritePngImage(argb, Device);
        break;
    case ImageRawFormat::RawTiff:
        written = WriteWithQt(argb, Device, "tiff", -1, TiffCompressionLzw, &reason);
        break;
    case ImageRawFormat::RawJpeg: {
        if (argb.width() > MaxJpegSide || argb.height() > MaxJpegSide)
            return Fail(Reason, TGpStatus::ValueOverflow,
                        QStringLiteral("JPEG is limited to %1 pixels a side; this image is %2 × %3")
                            .arg(MaxJpegSide)
                            .arg(argb.width())
                            .arg(argb.height()));
        const std::optional<std::uint32_t> quality = Parameters ? Parameters->Quality() : std::nullopt;
        const QImage flat = FlattenOverWhite(argb);
        written =
            !flat.isNull() && WriteWithQt(flat, Device, "jpeg", quality ? int(*quality) : -1, -1, &reason);
        break;
    }
    case ImageRawFormat::RawBmp: {
        const QImage flat = FlattenOverWhite(argb);
        written = !flat.isNull() && WriteWithQt(flat, Device, "bmp", -1, -1, &reason);
        break;
    }
    case ImageRawFormat::RawGif:
        written = WriteGifImage(argb, Device, &reason);
        break;
    default:
        return Fail(Reason, TGpStatus::NotImplemented,
                    QStringLiteral("the %1 encoder cannot write files").arg(encoder->FormatDescription));
    }
    if (!written)
        return Fail(Reason, TGpStatus::GenericError,
                    QStringLiteral("could not write the %1 image%2")
                        .arg(encoder->FormatDescription,
                             reason.isEmpty() ? QString() : QStringLiteral(": ") + reason));
    return TGpStatus::Ok;
}

TGpStatus SaveImageFile(const QImage& Image, const QString& FileName, const QUuid& Encoder,
                        const TEncoderParameters* Parameters, QString* Reason)
{
    if (!FindEncoderInfo(Encoder))
        return Fail(Reason, TGpStatus::InvalidParameter, QStringLiteral("no encoder for this format"));
    if (FileName.isEmpty())
        return Fail(Reason, TGpStatus::InvalidParameter, QStringLiteral("no file name"));

    // Encoded in memory first: a failed encoder then leaves the target as it
    // was, and a write error is the system's own reason, not the encoder's.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const TGpStatus status = EncodeImage(Image, Encoder, Parameters, &buffer, Reason);
    if (status != TGpStatus::Ok)
        return status;
    if (!WriteOutputFile(FileName, bytes, Reason))
        return TGpStatus::Win32Error;
    return TGpStatus::Ok;
}
