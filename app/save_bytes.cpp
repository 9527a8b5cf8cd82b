#include "app/save_bytes.h"

#include "imaging/codecs/animation_decoding.h"
#include "imaging/reflection/reflection_composer.h"
#include "imaging/saving/animation_saving.h"
#include "imaging/saving/reflection_output.h"
#include "imaging/saving/save_progress.h"
#include "imaging/saving/saving_plan.h"
#include "markup/label/label_rendering.h"
#include "toolkit/graphics/color.h"

#include <QBuffer>

namespace
{
bool Cancelled(QString* Reason)
{
    const TSaveProgress* progress = CurrentSaveProgress();
    if (!progress || !progress->Cancelled())
        return false;
    if (Reason)
        *Reason = QStringLiteral("cancelled");
    return true;
}

QByteArray EncodedBytes(const QImage& Picture, ImageSaveFormat Format, int Quality, QString* Reason,
                        const TImagePackets* Packets, QStringList* Warnings)
{
    if (Cancelled(Reason))
        return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (EncodeReflection(Picture, Format, &buffer, Reason, Quality, Packets, Warnings) != TGpStatus::Ok ||
        Cancelled(Reason))
        return {};
    return bytes;
}
} // namespace

QByteArray ReflectionFileBytes(const QImage& Picture, const TReflectionParameters& Parameters,
                               ImageSaveFormat Format, int Quality, const QColor& Background, QString* Reason,
                               const TImagePackets* Packets, QStringList* Warnings)
{
    if (Picture.isNull()) {
        if (Reason)
            *Reason = QStringLiteral("there is no picture to save");
        return {};
    }
    const TSaveFormatInfo* format = FindSaveFormat(Format);
    // The encoders flatten over white themselves: the command line's road,
    // PNG's composed band by band and reporting each band.
    if (Background == QColor(Qt::white) || (format && format->KeepsAlpha)) {
        TSaveRequest request;
        request.Reflection = Parameters;
        request.Format = Format;
        request.Quality = Quality;
        request.Packets = Packets;
        QByteArray bytes = EncodeReflectionFile(Picture, request, Reason, Warnings);
        if (Cancelled(Reason))
            return {};
        return bytes;
    }
    QImage composed = RenderReflection(Picture, Parameters);
    if (composed.isNull()) {
        if (Reason)
            *Reason = QStringLiteral("not enough memory for a %1 × %2 image")
                          .arg(ComposedSize(Picture.size(), Parameters).width())
                          .arg(ComposedSize(Picture.size(), Parameters).height());
        return {};
    }
    if (Cancelled(Reason))
        return {};
    // Another colour is laid under the picture first, which leaves the
    // encoders nothing to flatten. It is taken as a colour of the picture's
    // own, as white is.
    composed = PictureForFormat(composed, Format,
                                TColor(Background.red() | Background.green() << 8 | Background.blue() << 16));
    return EncodedBytes(composed, Format, Quality, Reason, Packets, Warnings);
}

QByteArray PictureFileBytes(const QImage& Picture, ImageSaveFormat Format, int Quality, QString* Reason)
{
    return EncodedBytes(Picture, Format, Quality, Reason, nullptr, nullptr);
}

int AnimationFrames(const QByteArray& Encoded)
{
    const int frames = ProbeAnimation(Encoded).Frames;
    return frames > 1 ? frames : 0;
}

QByteArray AnimationFileBytes(const QByteArray& Encoded, const TReflectionParameters& Parameters,
                              ImageSaveFormat Format, int Quality, const QColor& Background, QString* Reason)
{
    const TColor under(Background.red() | Background.green() << 8 | Background.blue() << 16);
    const auto prepare = [&](const QImage& Composed) { return PictureForFormat(Composed, Format, under); };
    return AnimationReflectionBytes(
        Encoded, Parameters, Format, Quality,
        Background != QColor(Qt::white) ? prepare : std::function<QImage(const QImage&)>(), nullptr, Reason);
}
