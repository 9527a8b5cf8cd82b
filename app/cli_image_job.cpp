#include "app/cli_image_job.h"

#include "app/cli_input_reading.h"

#include "app/cli_job_plan.h"
#include "imaging/codecs/image_decoding.h"
#include "imaging/saving/file_reflection.h"

#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <unistd.h>

namespace
{
const QString StandardStream = QStringLiteral("-");

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
    const bool toStandardOutput = Job.Output == StandardStream;
    if (toStandardOutput && isatty(fileno(stdout)))
        return Failed(QStringLiteral("standard output is a terminal; redirect it to a file or a pipe"));
    QFile out;
    if (toStandardOutput && !out.open(stdout, QIODevice::WriteOnly, QFileDevice::DontCloseHandle))
        return Failed(QStringLiteral("could not write standard output: %1").arg(out.errorString()));
    const TFileReflection written =
        WriteFileReflection(input.Data(), options, Job.Reflection, Job.Format, Job.Output,
                            toStandardOutput ? &out : nullptr, [&input] { input.Release(); });
    if (written.Status != TGpStatus::Ok)
        return Failed(written.Reason);
    if (toStandardOutput && (!out.flush() || out.error() != QFileDevice::NoError))
        return Failed(QStringLiteral("could not write standard output: %1").arg(out.errorString()));
    return TImageJobResult{true,
                           {},
                           written.Damage.isEmpty()
                               ? QString()
                               : QStringLiteral("warning: %1; kept what decodes").arg(written.Damage)};
}
