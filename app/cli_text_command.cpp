#include "app/cli_text_command.h"

#include "app/cli_reporter.h"
#include "app/cli_text_options.h"
#include "app/cli_text_render.h"
#include "imaging/saving/reflection_output.h"
#include "imaging/saving/save_format_from_name.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace
{
const QString StandardStream = QStringLiteral("-");

bool ReadMarkup(const QString& Name, QString& Markup, QString& Reason)
{
    QFile file;
    if (Name == StandardStream) {
        if (!file.open(stdin, QIODevice::ReadOnly, QFileDevice::DontCloseHandle)) {
            Reason = QStringLiteral("could not read standard input: %1").arg(file.errorString());
            return false;
        }
    } else {
        if (QFileInfo(Name).isDir()) {
            Reason = QStringLiteral("is a folder, not a text");
            return false;
        }
        file.setFileName(Name);
        if (!file.open(QIODevice::ReadOnly)) {
            Reason = QStringLiteral("could not open: %1").arg(file.errorString());
            return false;
        }
    }
    // A pipe gives its bytes in pieces; one byte more than allowed tells a
    // text at the limit from a longer one.
    QByteArray bytes;
    while (bytes.size() <= MaxMarkupBytes) {
        const QByteArray part = file.read(MaxMarkupBytes + 1 - bytes.size());
        if (part.isEmpty())
            break;
        bytes += part;
    }
    if (file.error() != QFileDevice::NoError) {
        Reason = QStringLiteral("could not read: %1").arg(file.errorString());
        return false;
    }
    if (bytes.size() > MaxMarkupBytes) {
        Reason = QStringLiteral("too long for a label (more than %1 bytes)").arg(MaxMarkupBytes);
        return false;
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    Markup = decoder(bytes);
    if (decoder.hasError()) {
        Reason = QStringLiteral("is not UTF-8 text");
        return false;
    }
    return true;
}

bool WriteStandardOutput(const QImage& Image, ImageSaveFormat Format, QString& Reason)
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
    if (EncodeReflection(Image, Format, &out, &Reason) != TGpStatus::Ok)
        return false;
    if (!out.flush() || out.error() != QFileDevice::NoError) {
        Reason = QStringLiteral("could not write standard output: %1").arg(out.errorString());
        return false;
    }
    return true;
}
} // namespace

int RunTextCommand(const TTextCommandOptions& Options)
{
    // A reader that closes the pipe early must give a reported write error,
    // not a silent death by signal.
    std::signal(SIGPIPE, SIG_IGN);
    TCliReporter reporter;

    QString markup = Options.Markup;
    QString reason;
    if (!Options.File.isEmpty() && !ReadMarkup(Options.File, markup, reason)) {
        reporter.Failure(Options.File == StandardStream ? QStringLiteral("standard input") : Options.File,
                         reason);
        return 1;
    }
    // The limit counts the UTF-8 bytes of an argument as of a file.
    if (markup.toUtf8().size() > MaxMarkupBytes) {
        reporter.Failure(QStringLiteral("text"),
                         QStringLiteral("too long for a label (more than %1 bytes)").arg(MaxMarkupBytes));
        return 1;
    }

    QStringList refused;
    const QImage image = RenderTextReflection(Options, markup, &reason, &refused);
    // Once per run, whatever the number of passes and tags that named them.
    for (const QString& line : refused)
        reporter.Failure(QStringLiteral("text"), line);
    if (image.isNull()) {
        reporter.Failure(QStringLiteral("text"), reason);
        return 1;
    }

    // Standard output has no name to choose from; PNG keeps everything.
    ImageSaveFormat format = ImageSaveFormat::Png;
    if (Options.Format)
        format = *Options.Format;
    else if (Options.Output != StandardStream)
        format = SaveFormatOfName(Options.Output).value_or(ImageSaveFormat::Png);
    const bool written = Options.Output == StandardStream
                             ? WriteStandardOutput(image, format, reason)
                             : SaveReflectionFile(image, format, Options.Output, &reason) == TGpStatus::Ok;
    if (!written) {
        reporter.Failure(
            Options.Output == StandardStream ? QStringLiteral("standard output") : Options.Output, reason);
        return 1;
    }
    return 0;
}
