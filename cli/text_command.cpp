#include "cli/text_command.h"

#include "cli/command_output.h"
#include "cli/reporter.h"
#include "cli/text_options.h"
#include "cli/text_render.h"
#include "markup/label_rendering.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <csignal>
#include <cstdio>

namespace
{
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

    // A transparent picture goes into formats without alpha over the
    // background colour, as the window's save puts it.
    const ImageSaveFormat format = OutputFormat(Options.Format, Options.Output);
    if (!WriteCommandOutput(PictureForFormat(image, format, ColorToRGB(Options.Background)), format,
                            Options.Quality, Options.Output, reason)) {
        reporter.Failure(
            Options.Output == StandardStream ? QStringLiteral("standard output") : Options.Output, reason);
        return 1;
    }
    return 0;
}
