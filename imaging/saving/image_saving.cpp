#include "imaging/saving/image_saving.h"

#include "imaging/saving/image_encoders.h"
#include "imaging/saving/save_formats.h"

#include <QIODevice>
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

// The quality a parameter block asks for; -1 leaves it to the writer.
int QualityOf(const TEncoderParameters* Parameters)
{
    const std::optional<std::uint32_t> quality = Parameters ? Parameters->Quality() : std::nullopt;
    return quality ? int(*quality) : -1;
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
    return EncodeInFormat(Image, *format, QualityOf(Parameters), Device, Reason);
}

TGpStatus SaveImageFile(const QImage& Image, const QString& FileName, const QUuid& Encoder,
                        const TEncoderParameters* Parameters, QString* Reason)
{
    const TImageEncoderInfo* encoder = FindEncoderInfo(Encoder);
    if (!encoder)
        return Fail(Reason, TGpStatus::InvalidParameter, QStringLiteral("no encoder for this format"));
    if (FileName.isEmpty())
        return Fail(Reason, TGpStatus::InvalidParameter, QStringLiteral("no file name"));
    const TSaveFormatInfo* format = FindSaveFormatByMimeType(encoder->MimeType);
    if (!format)
        return Fail(Reason, TGpStatus::NotImplemented,
                    QStringLiteral("the %1 encoder cannot write files").arg(encoder->FormatDescription));
    return SaveInFormat(Image, *format, QualityOf(Parameters), FileName, Reason);
}
