#include "app/cli_image_job.h"

#include "app/cli_job_plan.h"
#include "imaging/codecs/image_decoding.h"
#include "imaging/reflection/reflection_composer.h"
#include "imaging/saving/reflection_output.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <cstdio>
#include <unistd.h>

namespace
{
const QString StandardStream = QStringLiteral("-");

TImageJobResult Failed(QString Reason)
{
    return TImageJobResult{false, std::move(Reason)};
}

// Reads everything a device gives, refusing more than MaxEncodedBytes so that a
// huge non-image never takes the machine's memory.
bool ReadLimited(QFile& Device, QByteArray& Data, QString& Reason)
{
    if (!Device.isSequential())
        Data.reserve(Device.size());
    constexpr qint64 Chunk = 4 << 20;
    while (true) {
        const QByteArray part = Device.read(Chunk);
        if (part.isEmpty())
            break;
        if (Data.size() + part.size() > MaxEncodedBytes) {
            Reason = QStringLiteral("too large to be a picture (more than %1 bytes)").arg(MaxEncodedBytes);
            return false;
        }
        Data += part;
    }
    if (Device.error() != QFileDevice::NoError) {
        Reason = QStringLiteral("could not read: %1").arg(Device.errorString());
        return false;
    }
    return true;
}

bool ReadInput(const QString& Input, QByteArray& Data, QString& Reason)
{
    QFile file;
    if (Input == StandardStream) {
        if (!file.open(stdin, QIODevice::ReadOnly, QFileDevice::DontCloseHandle)) {
            Reason = QStringLiteral("could not read standard input: %1").arg(file.errorString());
            return false;
        }
    } else {
        const QFileInfo info(Input);
        if (info.isDir()) {
            Reason = QStringLiteral("is a folder, not a picture");
            return false;
        }
        file.setFileName(Input);
        if (!file.open(QIODevice::ReadOnly)) {
            Reason = QStringLiteral("could not open: %1").arg(file.errorString());
            return false;
        }
        if (file.size() > MaxEncodedBytes) {
            Reason = QStringLiteral("too large to be a picture (%1 bytes)").arg(file.size());
            return false;
        }
    }
    return ReadLimited(file, Data, Reason);
}

TImageJobResult WriteStandardOutput(const QImage& Composed, ImageSaveFormat Format)
{
    if (isatty(fileno(stdout)))
        return Failed(QStringLiteral("standard output is a terminal; redirect it to a file or a pipe"));
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly, QFileDevice::DontCloseHandle))
        return Failed(QStringLiteral("could not write standard output: %1").arg(out.errorString()));
    QString reason;
    if (EncodeReflection(Composed, Format, &out, &reason) != TGpStatus::Ok)
        return Failed(reason);
    if (!out.flush() || out.error() != QFileDevice::NoError)
        return Failed(QStringLiteral("could not write standard output: %1").arg(out.errorString()));
    return TImageJobResult{true, {}};
}
} // namespace

TImageJobResult RunImageJob(const TImageJob& Job)
{
    if (!Job.Refusal.isEmpty())
        return Failed(Job.Refusal);

    QByteArray data;
    QString reason;
    if (!ReadInput(Job.Input, data, reason))
        return Failed(reason);

    // The same decoder as the control's picture: orientation applied, the
    // same size limits, damaged files refused.
    TDecodedImage decoded = DecodeImage(data);
    data = QByteArray();
    if (decoded.Status != TGpStatus::Ok)
        return Failed(decoded.Reason);

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

    if (Job.Output == StandardStream)
        return WriteStandardOutput(composed, Job.Format);
    if (SaveReflectionFile(composed, Job.Format, Job.Output, &reason) != TGpStatus::Ok)
        return Failed(reason);
    return TImageJobResult{true, {}};
}
