#include "imaging/saving/reflection_output.h"

#include "imaging/reflection/reflection_builder.h"
#include "imaging/reflection/reflection_composer.h"
#include "imaging/saving/image_encoders.h"
#include "imaging/saving/image_saving.h"

#include <QUuid>

namespace
{
// Both controls save at quality 100, whatever the format.
constexpr int SaveQuality = 100;

std::optional<QUuid> EncoderFor(ImageSaveFormat Format, QString* Reason)
{
    const std::optional<QUuid> encoder = FindImageEncoder(Format);
    if (!encoder && Reason)
        *Reason =
            QStringLiteral("no encoder for %1")
                .arg(MimeTypeOfSaveFormat(Format).isEmpty() ? QStringLiteral("format %1").arg(int(Format))
                                                            : MimeTypeOfSaveFormat(Format));
    return encoder;
}
} // namespace

QImage RenderReflection(const QImage& Picture, const TReflectionParameters& Parameters)
{
    return ComposeReflection(Picture, BuildReflectionImage(Picture, Parameters), Parameters);
}

TGpStatus EncodeReflection(const QImage& Composed, ImageSaveFormat Format, QIODevice* Device, QString* Reason)
{
    const TEncoderParameters parameters = BuildQualityParameters(SaveQuality);
    const std::optional<QUuid> encoder = EncoderFor(Format, Reason);
    if (!encoder)
        return TGpStatus::InvalidParameter;
    return EncodeImage(Composed, *encoder, &parameters, Device, Reason);
}

TGpStatus SaveReflectionFile(const QImage& Composed, ImageSaveFormat Format, const QString& FileName,
                             QString* Reason)
{
    const TEncoderParameters parameters = BuildQualityParameters(SaveQuality);
    const std::optional<QUuid> encoder = EncoderFor(Format, Reason);
    if (!encoder)
        return TGpStatus::InvalidParameter;
    return SaveImageFile(Composed, FileName, *encoder, &parameters, Reason);
}
