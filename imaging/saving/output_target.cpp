#include "imaging/saving/output_target.h"

#include "toolkit/file_names.h"

#include <QIODevice>
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
    Fail(Reason, QStringLiteral("%1: too many levels of symbolic links").arg(FileNameFromBytes(Path)));
    return {};
}

// Writes all of Bytes to an already open descriptor; a FIFO may take them in
// several pieces.
bool WriteAll(int Descriptor, const char* Data, qsizetype Size, int* Error)
{
    const char* data = Data;
    qsizetype left = Size;
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
        return Fail(Reason,
                    QStringLiteral("could not open %1: %2").arg(FileNameFromBytes(Path), SystemError(errno)));
    int error = 0;
    const bool written = WriteAll(descriptor, Bytes.constData(), Bytes.size(), &error);
    if (::close(descriptor) != 0 && written && errno != EINTR)
        error = errno;
    if (!written || error != 0)
        return Fail(
            Reason,
            QStringLiteral("could not write %1: %2").arg(FileNameFromBytes(Path), SystemError(error)));
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

} // namespace

bool WriteOutputFile(const QString& FileName, const QByteArray& Bytes, QString* Reason)
{
    TOutputFile file;
    return file.Open(FileName, Reason) && file.Write(Bytes.constData(), Bytes.size()) && file.Commit(Reason);
}

TOutputFile::~TOutputFile()
{
    Discard();
}

void TOutputFile::Discard()
{
    if (FDescriptor >= 0)
        ::close(FDescriptor);
    FDescriptor = -1;
    if (!FTemporary.isEmpty())
        ::unlink(FTemporary.constData());
    FTemporary.clear();
    FHeld.clear();
    FDevice = nullptr;
}

bool TOutputFile::Open(const QString& FileName, QString* Reason)
{
    Discard();
    FError = 0;
    FName = FileName;
    if (FileName.isEmpty())
        return Fail(Reason, QStringLiteral("no file name"));
    FPath = FinalTarget(FileNameBytes(FileName), Reason);
    if (FPath.isEmpty())
        return false;

    struct stat status {
    };
    const bool exists = ::stat(FPath.constData(), &status) == 0;
    if (!exists && errno != ENOENT)
        return Fail(Reason, QStringLiteral("could not write %1: %2").arg(FileName, SystemError(errno)));
    FInPlace = exists && (S_ISFIFO(status.st_mode) || S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode));
    if (FInPlace)
        return true;
    if (exists && S_ISDIR(status.st_mode))
        return Fail(Reason, QStringLiteral("%1 is a folder").arg(FileName));
    if (exists && !S_ISREG(status.st_mode))
        return Fail(Reason,
                    QStringLiteral("%1 is neither a file nor a device that can be written").arg(FileName));
    FDescriptor = CreateTemporaryBeside(FPath, exists ? &status : nullptr, FTemporary);
    if (FDescriptor < 0) {
        FTemporary.clear();
        return Fail(
            Reason,
            QStringLiteral("could not create %1: %2").arg(FileNameFromBytes(FPath), SystemError(errno)));
    }
    return true;
}

bool TOutputFile::Open(QIODevice* Device)
{
    Discard();
    FError = 0;
    FName.clear();
    FInPlace = false;
    FDevice = Device;
    return FDevice != nullptr;
}

bool TOutputFile::Write(const char* Data, qint64 Size)
{
    if (FError != 0)
        return false;
    if (FInPlace || FDevice) {
        FHeld.append(Data, qsizetype(Size));
        return true;
    }
    if (FDescriptor < 0) {
        FError = EBADF;
        return false;
    }
    return WriteAll(FDescriptor, Data, qsizetype(Size), &FError);
}

bool TOutputFile::Commit(QString* Reason)
{
    if (FDevice) {
        const bool written = FDevice->write(FHeld) == FHeld.size();
        FHeld.clear();
        return written || Fail(Reason, QStringLiteral("could not write: %1").arg(FDevice->errorString()));
    }
    if (FInPlace) {
        const bool written = WriteInPlace(FPath, FHeld, Reason);
        FHeld.clear();
        return written;
    }
    if (FDescriptor < 0 && FError == 0)
        return Fail(Reason, QStringLiteral("no file is open"));
    int error = FError;
    if (FDescriptor >= 0) {
        if (::close(FDescriptor) != 0 && error == 0)
            error = errno;
        FDescriptor = -1;
    }
    if (error == 0 && ::rename(FTemporary.constData(), FPath.constData()) != 0)
        error = errno;
    if (error != 0) {
        Discard();
        return Fail(
            Reason,
            QStringLiteral("could not write %1: %2").arg(FileNameFromBytes(FPath), SystemError(error)));
    }
    FTemporary.clear();
    return true;
}
