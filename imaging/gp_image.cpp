#include "imaging/gp_image.h"

#include "imaging/codecs/image_decoding.h"
#include "imaging/saving/image_saving.h"

#include <QIODevice>

TGPImage::TGPImage(QIODevice* Stream, bool UseEmbeddedColorManagement)
{
    Q_UNUSED(UseEmbeddedColorManagement);
    TDecodedImage decoded = DecodeImage(Stream);
    FImage = std::move(decoded.Image);
    FRawFormat = RawFormatFromReaderFormat(decoded.Format);
    Construct(decoded.Status, decoded.Reason);
}

TGPImage::TGPImage(const QByteArray& Data, bool UseEmbeddedColorManagement)
{
    Q_UNUSED(UseEmbeddedColorManagement);
    DecodeFrom(Data);
}

TGPImage::~TGPImage() = default;

void TGPImage::DecodeFrom(const QByteArray& Data)
{
    TDecodedImage decoded = DecodeImage(Data);
    FImage = std::move(decoded.Image);
    FRawFormat = RawFormatFromReaderFormat(decoded.Format);
    Construct(decoded.Status, decoded.Reason);
}

TGpStatus TGPImage::Keep(TGpStatus Status, const QString& Reason)
{
    if (Status != TGpStatus::Ok) {
        FLastStatus = Status;
        FLastErrorText = Reason;
    }
    return Status;
}

void TGPImage::Construct(TGpStatus Status, const QString& Reason)
{
    FLastStatus = Status;
    FLastErrorText = Status == TGpStatus::Ok ? QString() : Reason;
}

unsigned TGPImage::QueryWidth()
{
    if (FImage.isNull()) {
        Keep(TGpStatus::InvalidParameter, QStringLiteral("no image"));
        return 0;
    }
    return unsigned(FImage.width());
}

unsigned TGPImage::QueryHeight()
{
    if (FImage.isNull()) {
        Keep(TGpStatus::InvalidParameter, QStringLiteral("no image"));
        return 0;
    }
    return unsigned(FImage.height());
}

ImageRawFormat TGPImage::RawFormatKind()
{
    if (FImage.isNull()) {
        Keep(TGpStatus::InvalidParameter, QStringLiteral("no image"));
        return ImageRawFormat::RawUndefined;
    }
    return RawFormatKindOf(FRawFormat);
}

TGpStatus TGPImage::SaveFile(const QString& FileName, const QUuid& Encoder,
                             const TEncoderParameters* Parameters)
{
    if (FImage.isNull())
        return Keep(TGpStatus::InvalidParameter, QStringLiteral("no image"));
    QString reason;
    const TGpStatus status = SaveImageFile(FImage, FileName, Encoder, Parameters, &reason);
    return Keep(status, reason);
}
