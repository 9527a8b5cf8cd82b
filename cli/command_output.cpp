#include "cli/command_output.h"

#include "imaging/saving/reflection_output.h"
#include "imaging/saving/save_format_from_name.h"

#include <QFile>
#include <QImage>
#include <cstdio>
#include <unistd.h>

namespace
{
bool WriteStandardOutput(const QImage& Composed, ImageSaveFormat Format, QString& Reason)
{
    if (isatty(fileno(stdout))) {
        Reason = QStringLiteral("standard output is a terminal; redirect it to a file or a pipe");
        return false;
    }
    QFile out;
    if (!out.open(stdout, QIODevice::WriteOnly, QFileDevice::DontCloseHandle)) {
        Reason = QStringLiteral("could not write standard output: %1").arg(out.errorString());
        return false;
    }
    if (EncodeReflection(Composed, Format, &out, &Reason) != TGpStatus::Ok)
        return false;
    if (!out.flush() || out.error() != QFileDevice::NoError) {
        Reason = QStringLiteral("could not write standard output: %1").arg(out.errorString());
        return false;
    }
    return true;
}
} // namespace

ImageSaveFormat OutputFormat(std::optional<ImageSaveFormat> Chosen, const QString& Output)
{
    if (Chosen)
        return *Chosen;
    if (Output == StandardStream)
        return ImageSaveFormat::Png;
    return SaveFormatOfName(Output).value_or(ImageSaveFormat::Png);
}

bool WriteCommandOutput(const QImage& Composed, ImageSaveFormat Format, const QString& Output,
                        QString& Reason)
{
    if (Output == StandardStream)
        return WriteStandardOutput(Composed, Format, Reason);
    return SaveReflectionFile(Composed, Format, Output, &Reason) == TGpStatus::Ok;
}
