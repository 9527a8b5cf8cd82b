#include "pictures/local_file_probe.h"

#include "pictures/picture_location.h"
#include "pictures/picture_policy.h"
#include "toolkit/file_names.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace
{

using TKind = TLocalFileProbe::TKind;

// File systems whose "regular files" are the kernel's: reading one may block
// (/proc/kmsg), never end or change the system.
bool IsKernelFileSystem(const char* Path)
{
    struct statfs fileSystem {
    };
    if (::statfs(Path, &fileSystem) != 0)
        return true;
    switch (fileSystem.f_type) {
    case PROC_SUPER_MAGIC:
    case SYSFS_MAGIC:
    case DEBUGFS_MAGIC:
    case TRACEFS_MAGIC:
    case SECURITYFS_MAGIC:
    case CGROUP_SUPER_MAGIC:
    case CGROUP2_SUPER_MAGIC:
    case DEVPTS_SUPER_MAGIC:
    case BPF_FS_MAGIC:
        return true;
    default:
        return false;
    }
}

bool HasParentStep(const QString& Path)
{
    const QStringList parts = Path.split(u'/');
    return parts.contains(QStringLiteral(".."));
}

void Tell(const TPicturePolicy& Policy, const QString& Path)
{
    if (Policy.OnLocalPath)
        Policy.OnLocalPath(Path);
}

// The path to examine, or empty when the policy keeps it unlooked-at.
QString ExaminablePath(const TPicturePolicy& Policy, const QString& Path)
{
    if (Policy.ReadAnyLocalFile)
        return Path;
    if (Policy.AllowedFolders.isEmpty() || HasParentStep(Path))
        return {};
    // Judged as written first, so that nothing outside is touched to resolve
    // it; then as the system resolves it, so that no link leads out.
    const QString written = QDir::cleanPath(QFileInfo(Path).absoluteFilePath());
    if (!IsInsideAllowedFolder(Policy, written))
        return {};
    Tell(Policy, written);
    const QString resolved = ResolveLocalPath(written);
    if (!IsInsideAllowedFolder(Policy, resolved))
        return {};
    return resolved;
}

TLocalFileProbe ReadHead(int Descriptor, const struct stat& Before, qsizetype HeadBytes)
{
    TLocalFileProbe probe;
    struct stat opened {
    };
    // The file examined must be the file opened.
    if (::fstat(Descriptor, &opened) != 0 || !S_ISREG(opened.st_mode) || opened.st_dev != Before.st_dev ||
        opened.st_ino != Before.st_ino) {
        probe.Kind = TKind::Special;
        return probe;
    }
    probe.Kind = TKind::RegularFile;
    const qsizetype want = qsizetype(qMin<qint64>(HeadBytes, opened.st_size));
    probe.Head.resize(want);
    qsizetype got = 0;
    while (got < want) {
        const ssize_t n = ::pread(Descriptor, probe.Head.data() + got, std::size_t(want - got), off_t(got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += n;
    }
    probe.Head.resize(got);
    return probe;
}

} // namespace

TLocalFileProbe ProbeLocalFile(const TPicturePolicy& Policy, const QString& Path, qsizetype HeadBytes)
{
    TLocalFileProbe probe;
    if (Path.isEmpty())
        return probe;
    const QString path = ExaminablePath(Policy, Path);
    if (path.isEmpty())
        return probe;
    Tell(Policy, path);
    const QByteArray bytes = FileNameBytes(path);
    struct stat status {
    };
    if (::stat(bytes.constData(), &status) != 0) {
        probe.Kind = TKind::Missing;
        return probe;
    }
    if (S_ISDIR(status.st_mode)) {
        probe.Kind = TKind::Folder;
        return probe;
    }
    if (!S_ISREG(status.st_mode) || IsKernelFileSystem(bytes.constData())) {
        probe.Kind = TKind::Special;
        return probe;
    }
    // Without blocking: the name may have become a FIFO since it was looked at.
    const int descriptor = ::open(bytes.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (descriptor < 0) {
        probe.Kind = TKind::Missing;
        return probe;
    }
    probe = ReadHead(descriptor, status, HeadBytes);
    ::close(descriptor);
    return probe;
}
