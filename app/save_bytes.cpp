#include "app/save_bytes.h"

#include "imaging/codecs/animation_decoding.h"
#include "imaging/reflection/reflection_composer.h"
#include "imaging/saving/animation_saving.h"
#include "imaging/saving/reflection_output.h"
#include "imaging/saving/save_progress.h"
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
} // namespace

QByteArray ReflectionFileBytes(const QImage& Picture, const TReflectionParameters& Parameters,
                               ImageSaveFormat Format, int Quality, const QColor& Background, QString* Reason)
{
    if (Picture.isNull()) {
        if (Reason)
            *Reason = QStringLiteral("there is no picture to save");
        return {};
    }
    // PNG takes the composition band by band, reporting each band.
    if (Format == ImageSaveFormat::Png)
        return EncodeReflectionPng(Picture, Parameters, Reason);
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
    // The encoders flatten over white themselves; another colour is laid
    // under the picture first, which leaves them nothing to flatten.
    if (Background != QColor(Qt::white))
        composed = PictureForFormat(
            composed, Format, TColor(Background.red() | Background.green() << 8 | Background.blue() << 16));
    return PictureFileBytes(composed, Format, Quality, Reason);
}

QByteArray PictureFileBytes(const QImage& Picture, ImageSaveFormat Format, int Quality, QString* Reason)
{
    if (Cancelled(Reason))
        return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (EncodeReflection(Picture, Format, &buffer, Reason, Quality) != TGpStatus::Ok || Cancelled(Reason))
        return {};
    return bytes;
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
