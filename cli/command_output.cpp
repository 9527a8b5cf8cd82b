#include "cli/command_output.h"

#include "imaging/saving/reflection_output.h"
#include "imaging/saving/save_format_from_name.h"

#include <QFile>
#include <QImage>
#include <cstdio>
#include <unistd.h>

namespace
{
// Standard output as a device for Write, refused when it is a terminal.
bool WithStandardOutput(QString& Reason, const std::function<bool(QIODevice* Device)>& Write)
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
    if (!Write(&out))
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

bool WriteCommandOutput(const QImage& Composed, ImageSaveFormat Format, int Quality, const QString& Output,
                        QString& Reason)
{
    if (Output == StandardStream)
        return WithStandardOutput(Reason, [&](QIODevice* Device) {
            return EncodeReflection(Composed, Format, Device, &Reason, Quality) == TGpStatus::Ok;
        });
    return SaveReflectionFile(Composed, Format, Output, &Reason, Quality) == TGpStatus::Ok;
}

bool WriteCommandOutput(const QString& Output, QString& Reason,
                        const std::function<bool(const QString& FileName, QIODevice* Device)>& Write)
{
    if (Output == StandardStream)
        return WithStandardOutput(Reason, [&](QIODevice* Device) { return Write(QString(), Device); });
    return Write(Output, nullptr);
}
