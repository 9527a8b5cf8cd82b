#include "imaging/saving/image_saving.h"

#include "imaging/codecs/flatten_over_white.h"
#include "imaging/saving/image_encoders.h"
#include "imaging/saving/output_file_device.h"
#include "imaging/saving/output_target.h"
#include "imaging/saving/save_formats.h"

#include <QBuffer>
#include <QImage>
#include <QUuid>

namespace
{

TGpStatus Fail(QString* Reason, TGpStatus Status, const QString& Text)
{
    if (Reason)
        *Reason = Text;
    return Status;
}

} // namespace

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

    const TSaveFormatInfo* format = FindSaveFormatByMimeType(encoder->MimeType);
    if (!format)
        return Fail(Reason, TGpStatus::NotImplemented,
                    QStringLiteral("the %1 encoder cannot write files").arg(encoder->FormatDescription));

    // An opaque picture goes as it is to the writers that flatten anyway and
    // to our PNG encoder, which writes it without alpha either way: a copy
    // of a large picture would only cost memory.
    const bool opaqueAsIs = Image.format() == QImage::Format_RGB32 &&
                            (!format->KeepsAlpha || format->Format == ImageSaveFormat::Png);
    const QImage argb = Image.format() == QImage::Format_ARGB32 || opaqueAsIs
                            ? Image
                            : Image.convertToFormat(QImage::Format_ARGB32);
    if (argb.isNull())
        return Fail(Reason, TGpStatus::OutOfMemory, QStringLiteral("out of memory converting the image"));

    if (format->MaxSide > 0 && (argb.width() > format->MaxSide || argb.height() > format->MaxSide))
        return Fail(Reason, TGpStatus::ValueOverflow,
                    QStringLiteral("%1 is limited to %2 pixels a side; this image is %3 × %4")
                        .arg(encoder->FormatDescription)
                        .arg(format->MaxSide)
                        .arg(argb.width())
                        .arg(argb.height()));
    const std::optional<std::uint32_t> quality = Parameters ? Parameters->Quality() : std::nullopt;
    const QImage pixels = format->KeepsAlpha ? argb : FlattenOverWhite(argb);
    QString reason;
    const bool written =
        !pixels.isNull() && format->Write(pixels, Device, quality ? int(*quality) : -1, &reason);
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

    // Written as encoded: the file's temporary stands in for the target until
    // the encoder succeeded, and a write error is the system's own reason,
    // not the encoder's.
    TOutputFile file;
    if (!file.Open(FileName, Reason))
        return TGpStatus::Win32Error;
    // TIFF's writer goes back to fill in offsets, which a file written as it
    // is produced cannot offer: it is encoded in memory first.
    const TImageEncoderInfo* encoder = FindEncoderInfo(Encoder);
    const bool seeks = encoder && encoder->MimeType == QLatin1String("image/tiff");
    QByteArray bytes;
    QBuffer buffer(&bytes);
    TOutputFileDevice device(file);
    if (seeks)
        buffer.open(QIODevice::WriteOnly);
    const TGpStatus status =
        EncodeImage(Image, Encoder, Parameters, seeks ? static_cast<QIODevice*>(&buffer) : &device, Reason);
    if (status == TGpStatus::Ok && seeks)
        file.Write(bytes.constData(), bytes.size());
    if (status != TGpStatus::Ok && !file.Failed())
        return status;
    if (!file.Commit(Reason))
        return TGpStatus::Win32Error;
    return status;
}
