#include "cli/image_job.h"

#include "cli/command_output.h"
#include "cli/input_reading.h"
#include "cli/job_plan.h"
#include "imaging/codecs/image_decoding.h"
#include "imaging/reflection/reflection_composer.h"
#include "imaging/saving/reflection_output.h"

#include <QFileInfo>
#include <QImage>

namespace
{
TImageJobResult Failed(QString Reason)
{
    return TImageJobResult{false, std::move(Reason), {}};
}
} // namespace

TImageJobResult RunImageJob(const TImageJob& Job)
{
    if (!Job.Refusal.isEmpty())
        return Failed(Job.Refusal);

    TInputBytes input;
    QString reason;
    if (!ReadImageInput(Job.Input, input, reason))
        return Failed(reason);

    // The same decoder as the control's picture: orientation applied, the
    // same size limits, damaged files refused unless --lenient keeps what
    // decodes of them.
    TDecodeOptions options;
    options.KeepDamaged = Job.Lenient;
    if (Job.Input != StandardStream)
        options.FormatHint = QFileInfo(Job.Input).suffix().toLower().toLatin1();
    TDecodedImage decoded = DecodeImage(input.Data(), options);
    input.Release();
    if (decoded.Status != TGpStatus::Ok)
        return Failed(decoded.Reason);
    const QString warning =
        decoded.Damaged ? QStringLiteral("warning: %1; kept what decodes").arg(decoded.Reason) : QString();

    const QImage& picture = decoded.Image;
    const int composedHeight = ComposedHeight(picture.height(), Job.Reflection);
    if (CheckImageSize(picture.width(), composedHeight, &reason) != TGpStatus::Ok)
        return Failed(QStringLiteral("the reflection would be too large: %1 × %2 pixels")
                          .arg(picture.width())
                          .arg(composedHeight));

    const QImage composed = RenderReflection(picture, Job.Reflection);
    decoded.Image = QImage();
    if (composed.isNull())
        return Failed(QStringLiteral("out of memory composing the reflection"));

    // The line names the input; a file's name is added here, as saving's
    // reasons never repeat the name they were given (standard output's do).
    if (!WriteCommandOutput(composed, Job.Format, Job.Output, reason))
        return Failed(Job.Output == QLatin1String("-")
                          ? reason
                          : QStringLiteral("writing %1: %2").arg(Job.Output, reason));
    return TImageJobResult{true, {}, warning};
}
