#include "cli/text_command.h"

#include "cli/command_output.h"
#include "cli/input_reading.h"
#include "cli/reporter.h"
#include "cli/text_options.h"
#include "cli/text_render.h"
#include "imaging/saving/temporary_files.h"
#include "markup/label/label_rendering.h"
#include "toolkit/file_names.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// One rule for a text from an argument, a file or standard input: valid
// UTF-8 to its last byte (a sequence cut at the end is invalid too). A null
// string when it is not.
QString StrictUtf8(const QByteArray& Bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder(Bytes);
    if (decoder.hasError())
        return {};
    return text.isNull() ? QStringLiteral("") : text;
}

bool ReadMarkup(const QString& Name, QString& Markup, QString& Reason)
{
    QFile file;
    if (Name == StandardStream) {
        if (!file.open(stdin, QIODevice::ReadOnly, QFileDevice::DontCloseHandle)) {
            Reason = QStringLiteral("could not read standard input: %1").arg(file.errorString());
            return false;
        }
    } else {
        // Opened without blocking and checked before reading, as image inputs
        // are: a FIFO without a writer would wait for ever.
        const int descriptor =
            ::open(FileNameBytes(Name).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (descriptor < 0) {
            Reason = QStringLiteral("could not open: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
        struct stat status {
        };
        if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
            Reason = S_ISDIR(status.st_mode)
                         ? QStringLiteral("is a folder, not a text")
                         : QStringLiteral("is %1; only regular files and - (standard input) are read")
                               .arg(FileKindName(status.st_mode));
            ::close(descriptor);
            return false;
        }
        if (!file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
            ::close(descriptor);
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
    Markup = StrictUtf8(bytes);
    if (Markup.isNull()) {
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
    // An argument's bytes that are not UTF-8 came through as lone surrogates
    // (file_names.h): refused as a file's would be.
    if (Options.File.isEmpty() && !markup.isValidUtf16()) {
        reporter.Failure(QStringLiteral("text"), QStringLiteral("is not UTF-8 text"));
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
    const bool written = WriteCommandOutput(PictureForFormat(image, format, ColorToRGB(Options.Background)),
                                            format, Options.Quality, Options.Output, reason);
    if (const int stopSignal = TerminationSignal()) {
        reporter.Line(QStringLiteral("lumivex-cli: text: stopped by signal %1 (%2), %3")
                          .arg(stopSignal)
                          .arg(QString::fromLocal8Bit(::strsignal(stopSignal)),
                               written ? QStringLiteral("the picture was written")
                                       : QStringLiteral("nothing written")));
        return 128 + stopSignal;
    }
    if (!written) {
        reporter.Failure(
            Options.Output == StandardStream ? QStringLiteral("standard output") : Options.Output, reason);
        return 1;
    }
    return 0;
}
