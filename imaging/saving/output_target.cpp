#include "imaging/saving/output_target.h"

#include "toolkit/file_names.h"

#include <QRandomGenerator>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// Enough for any sane chain of links, and a guard against a loop of them.
constexpr int MaxLinkHops = 40;

bool Fail(QString* Reason, const QString& Text)
{
    if (Reason)
        *Reason = Text;
    return false;
}

QString SystemError(int Error)
{
    return QString::fromLocal8Bit(std::strerror(Error));
}

// Reasons never repeat the file's name: every caller puts it before them
// ("Could not save "NAME": REASON", "lumivex-cli: NAME: REASON").

// Where a write to Path really lands: links followed to their last target,
// which need not exist yet. Names stay bytes throughout (see file_names.h).
QByteArray FinalTarget(const QByteArray& Path, QString* Reason)
{
    QByteArray path = Path;
    for (int hop = 0; hop < MaxLinkHops; ++hop) {
        QByteArray target(4096, '\0');
        const ssize_t length = ::readlink(path.constData(), target.data(), std::size_t(target.size()));
        if (length < 0)
            return path; // not a link, or nothing there yet
        target.truncate(length);
        if (!target.startsWith('/')) {
            const qsizetype slash = path.lastIndexOf('/');
            target.prepend(slash < 0 ? QByteArray() : path.left(slash + 1));
        }
        path = target;
    }
    Fail(Reason, QStringLiteral("too many levels of symbolic links"));
    return {};
}

// Writes all of Bytes to an already open descriptor; a FIFO may take them in
// several pieces.
bool WriteAll(int Descriptor, const QByteArray& Bytes, int* Error)
{
    const char* data = Bytes.constData();
    qsizetype left = Bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(Descriptor, data, std::size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            *Error = errno;
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

bool WriteInPlace(const QByteArray& Path, const QByteArray& Bytes, QString* Reason)
{
    // Opening a FIFO for writing waits for its reader, as a shell's
    // redirection does; a device opens at once.
    const int descriptor = ::open(Path.constData(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (descriptor < 0)
        return Fail(Reason, QStringLiteral("could not open it: %1").arg(SystemError(errno)));
    int error = 0;
    const bool written = WriteAll(descriptor, Bytes, &error);
    if (::close(descriptor) != 0 && written && errno != EINTR)
        error = errno;
    if (!written || error != 0)
        return Fail(Reason, QStringLiteral("could not write it: %1").arg(SystemError(error)));
    return true;
}

// A new file beside Path, created with the permissions a new file gets (or,
// with Existing, those of the file it replaces); -1 with errno on failure.
int CreateTemporaryBeside(const QByteArray& Path, const struct stat* Existing, QByteArray& Temporary)
{
    const qsizetype slash = Path.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray() : Path.left(slash + 1);
    const QByteArray name = Path.mid(slash + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        Temporary = folder + '.' + name + '.' +
                    QByteArray::number(QRandomGenerator::global()->generate(), 16) + ".tmp";
        const int descriptor = ::open(Temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor >= 0) {
            if (Existing)
                ::fchmod(descriptor, Existing->st_mode & 07777);
            return descriptor;
        }
        if (errno != EEXIST)
            return -1;
    }
    return -1;
}

bool ReplaceAtomically(const QByteArray& Path, const struct stat* Existing, const QByteArray& Bytes,
                       QString* Reason)
{
    QByteArray temporary;
    const int descriptor = CreateTemporaryBeside(Path, Existing, temporary);
    if (descriptor < 0)
        return Fail(Reason,
                    QStringLiteral("could not create a file in its folder: %1").arg(SystemError(errno)));
    int error = 0;
    bool written = WriteAll(descriptor, Bytes, &error);
    if (::close(descriptor) != 0 && written) {
        error = errno;
        written = false;
    }
    if (written && ::rename(temporary.constData(), Path.constData()) != 0) {
        error = errno;
        written = false;
    }
    if (!written) {
        ::unlink(temporary.constData());
        return Fail(Reason, QStringLiteral("could not write it: %1").arg(SystemError(error)));
    }
    return true;
}
} // namespace

bool WriteOutputFile(const QString& FileName, const QByteArray& Bytes, QString* Reason)
{
    if (FileName.isEmpty())
        return Fail(Reason, QStringLiteral("no file name"));
    const QByteArray path = FinalTarget(FileNameBytes(FileName), Reason);
    if (path.isEmpty())
        return false;

    struct stat status {
    };
    if (::stat(path.constData(), &status) != 0) {
        if (errno == ENOENT)
            return ReplaceAtomically(path, nullptr, Bytes, Reason);
        return Fail(Reason, QStringLiteral("could not write it: %1").arg(SystemError(errno)));
    }
    if (S_ISREG(status.st_mode))
        return ReplaceAtomically(path, &status, Bytes, Reason);
    if (S_ISFIFO(status.st_mode) || S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode))
        return WriteInPlace(path, Bytes, Reason);
    if (S_ISDIR(status.st_mode))
        return Fail(Reason, QStringLiteral("it is a folder"));
    return Fail(Reason, QStringLiteral("it is neither a file nor a device that can be written"));
}
