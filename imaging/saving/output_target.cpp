#include "imaging/saving/output_target.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
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

// The path a write to FileName really lands on: links followed to their last
// target, which need not exist yet.
QString FinalTarget(const QString& FileName, QString* Reason)
{
    QString path = FileName;
    for (int hop = 0; hop < MaxLinkHops; ++hop) {
        const QFileInfo info(path);
        if (!info.isSymLink())
            return path;
        const QString target = info.symLinkTarget();
        if (target.isEmpty())
            return path;
        path = target;
    }
    Fail(Reason, QStringLiteral("%1: too many levels of symbolic links").arg(FileName));
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

bool WriteInPlace(const QString& Path, const QByteArray& Bytes, QString* Reason)
{
    // Opening a FIFO for writing waits for its reader, as a shell's
    // redirection does; a device opens at once.
    const int descriptor = ::open(QFile::encodeName(Path).constData(), O_WRONLY | O_CLOEXEC);
    if (descriptor < 0)
        return Fail(Reason, QStringLiteral("could not open %1: %2").arg(Path, SystemError(errno)));
    int error = 0;
    const bool written = WriteAll(descriptor, Bytes, &error);
    if (::close(descriptor) != 0 && written && errno != EINTR)
        error = errno;
    if (!written || error != 0)
        return Fail(Reason, QStringLiteral("could not write %1: %2").arg(Path, SystemError(error)));
    return true;
}

bool ReplaceAtomically(const QString& Path, const QByteArray& Bytes, QString* Reason)
{
    QSaveFile file(Path);
    if (!file.open(QIODevice::WriteOnly))
        return Fail(Reason, QStringLiteral("could not create %1: %2").arg(Path, file.errorString()));
    if (file.write(Bytes) != Bytes.size()) {
        const QString error = file.errorString();
        file.cancelWriting();
        return Fail(Reason, QStringLiteral("could not write %1: %2").arg(Path, error));
    }
    if (!file.commit())
        return Fail(Reason, QStringLiteral("could not write %1: %2").arg(Path, file.errorString()));
    return true;
}
} // namespace

bool WriteOutputFile(const QString& FileName, const QByteArray& Bytes, QString* Reason)
{
    if (FileName.isEmpty())
        return Fail(Reason, QStringLiteral("no file name"));
    const QString path = FinalTarget(FileName, Reason);
    if (path.isEmpty())
        return false;

    struct stat status {
    };
    if (::stat(QFile::encodeName(path).constData(), &status) != 0) {
        if (errno == ENOENT)
            return ReplaceAtomically(path, Bytes, Reason);
        return Fail(Reason, QStringLiteral("could not write %1: %2").arg(FileName, SystemError(errno)));
    }
    if (S_ISREG(status.st_mode))
        return ReplaceAtomically(path, Bytes, Reason);
    if (S_ISFIFO(status.st_mode) || S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode))
        return WriteInPlace(path, Bytes, Reason);
    if (S_ISDIR(status.st_mode))
        return Fail(Reason, QStringLiteral("%1 is a folder").arg(FileName));
    return Fail(Reason,
                QStringLiteral("%1 is neither a file nor a device that can be written").arg(FileName));
}
