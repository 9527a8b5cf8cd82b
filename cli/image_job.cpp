#include "cli/image_job.h"

#include "cli/command_output.h"
#include "cli/input_reading.h"
#include "cli/job_plan.h"
#include "imaging/codecs/image_decoding.h"
#include "imaging/saving/file_reflection.h"

#include <QFileInfo>

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
    // PNG files written as PNG go row band by row band; the rest as a whole picture.
    TFileReflection written;
    const bool done = WriteCommandOutput(Job.Output, reason, [&](const QString& FileName, QIODevice* Device) {
        written = WriteFileReflection(input.Data(), options, Job.Reflection, Job.Format, FileName, Device,
                                      [&input] { input.Release(); });
        reason = written.Reason;
        return written.Status == TGpStatus::Ok;
    });
    if (!done)
        return Failed(reason);
    return TImageJobResult{true,
                           {},
                           written.Damage.isEmpty()
                               ? QString()
                               : QStringLiteral("warning: %1; kept what decodes").arg(written.Damage)};
}
