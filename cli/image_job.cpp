#include "cli/image_job.h"

#include "cli/command_output.h"
#include "cli/input_reading.h"
#include "cli/job_plan.h"
#include "imaging/codecs/image_decoding.h"
#include "imaging/saving/encoder_memory.h"
#include "imaging/saving/file_reflection.h"

#include <QFileInfo>

namespace
{
TImageJobResult Failed(QString Reason)
{
    return TImageJobResult{false, std::move(Reason), {}, {}};
}
} // namespace

TImageJobResult RunImageJob(const TImageJob& Job)
{
    if (!Job.Refusal.isEmpty())
        return Failed(Job.Refusal);

    // The picture, its composition and the encoder's working memory, at
    // the save's peak, are reserved at once before the file is read: a
    // second reservation while holding the first could wait for ever.
    TInputLimits limits;
    limits.MaxPixels = Job.MaxPixels;
    limits.PictureBytes = [&Job](const QSize& Size) {
        return SaveReservationBytes(Size, Job.Reflection, Job.Format, Job.Quality);
    };
    TInputBytes input;
    QString reason;
    if (!ReadImageInput(Job.Input, limits, input, reason))
        return Failed(reason);

    // The same decoder as the control's picture: orientation applied, the
    // same size limits, damaged files refused unless --lenient keeps what
    // decodes of them.
    TDecodeOptions options;
    options.KeepDamaged = Job.Lenient;
    if (Job.MaxPixels > 0)
        options.MaxPixels = Job.MaxPixels;
    if (Job.Input != StandardStream)
        options.FormatHint = QFileInfo(Job.Input).suffix().toLower().toLatin1();
    // The road (streamed bands, whole picture, format) is the saving plan's.
    TFileReflection written;
    const bool done = WriteCommandOutput(Job.Output, reason, [&](const QString& FileName, QIODevice* Device) {
        TSaveRequest request;
        request.Input = &input.Data();
        request.Options = options;
        request.Reflection = Job.Reflection;
        request.Format = Job.Format;
        request.Quality = Job.Quality;
        request.Sink = TOutputSink{FileName, Device};
        request.DoneWithInput = [&input] { input.Release(); };
        request.Strip = Job.Strip;
        written = WriteFileReflection(request);
        reason = written.Failure.Kind == TFailureKind::OverLimit
                     ? written.Failure.Text + QStringLiteral(" (raise it with --max-pixels N)")
                     : written.Failure.Text;
        return written.Status == TGpStatus::Ok;
    });
    const QString road =
        Job.Verbose && written.Status == TGpStatus::Ok ? DescribeSavingPlan(written.Plan) : QString();
    if (!done)
        return Failed(reason);
    // One line each: what was kept of a damaged file, what the output lacks.
    QStringList warnings;
    if (!written.Damage.isEmpty())
        warnings << QStringLiteral("warning: %1; kept what decodes").arg(written.Damage);
    if (!written.FirstFrameOnly.isEmpty())
        warnings << QStringLiteral("warning: %1").arg(written.FirstFrameOnly);
    for (const QString& left : written.Warnings)
        warnings << QStringLiteral("warning: %1; written without it").arg(left);
    return TImageJobResult{true, {}, warnings.join(QLatin1Char('\n')), road};
}
