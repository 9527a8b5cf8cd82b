#include "cli/input_reading.h"

#include "imaging/codecs/image_decoding.h"
#include "imaging/memory_budget.h"
#include "toolkit/file_names.h"

#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// Every readable format names itself within its first bytes (TGA, which
// has no signature, is taken by its name).
constexpr qsizetype HeadBytes = 64 * 1024;
constexpr qsizetype ChunkBytes = 4 << 20;

TMemoryBudget& Budget()
{
    static TMemoryBudget budget(InputBytesBudget);
    return budget;
}

QString SystemError(int Error)
{
    return QString::fromLocal8Bit(std::strerror(Error));
}

} // namespace

QString FileKindName(unsigned Mode)
{
    if (S_ISFIFO(Mode))
        return QStringLiteral("a FIFO");
    if (S_ISCHR(Mode))
        return QStringLiteral("a character device");
    if (S_ISBLK(Mode))
        return QStringLiteral("a block device");
    if (S_ISSOCK(Mode))
        return QStringLiteral("a socket");
    return QStringLiteral("not a regular file");
}

namespace
{

// Appends up to Limit bytes from Descriptor; false with Reason on a read error.
bool ReadUpTo(int Descriptor, QByteArray& Data, qsizetype Limit, QString& Reason)
{
    while (Data.size() < Limit) {
        const qsizetype want = std::min<qsizetype>(ChunkBytes, Limit - Data.size());
        const qsizetype old = Data.size();
        Data.resize(old + want);
        const ssize_t got = ::read(Descriptor, Data.data() + old, std::size_t(want));
        if (got < 0 && errno == EINTR) {
            Data.resize(old);
            continue;
        }
        if (got < 0) {
            Reason = QStringLiteral("could not read: %1").arg(SystemError(errno));
            Data.resize(old);
            return false;
        }
        Data.resize(old + got);
        if (got == 0)
            break;
    }
    return true;
}

// Whether a declared Size is over the pixel limit, with the reason.
bool OverPixelLimit(const QSize& Declared, const TInputLimits& Limits, QString& Reason)
{
    if (!Declared.isValid() || Limits.MaxPixels <= 0 ||
        std::int64_t(Declared.width()) * Declared.height() <= Limits.MaxPixels)
        return false;
    Reason = QStringLiteral("the picture declares %1 × %2 pixels, over the limit of %3 "
                            "(raise it with --max-pixels N)")
                 .arg(Declared.width())
                 .arg(Declared.height())
                 .arg(Limits.MaxPixels);
    return true;
}

class TDescriptor
{
  public:
    explicit TDescriptor(int Descriptor, bool Owned) : FDescriptor(Descriptor), FOwned(Owned) {}
    ~TDescriptor()
    {
        if (FOwned && FDescriptor >= 0)
            ::close(FDescriptor);
    }
    TDescriptor(const TDescriptor&) = delete;
    TDescriptor& operator=(const TDescriptor&) = delete;
    int Get() const { return FDescriptor; }

  private:
    int FDescriptor;
    bool FOwned;
};
} // namespace

TInputBytes::~TInputBytes()
{
    ReleaseAll();
}

void TInputBytes::ReleaseAll()
{
    Release();
    if (FPictureLease > 0)
        Budget().Release(FPictureLease);
    FPictureLease = 0;
}

void TInputBytes::Release()
{
    FData = QByteArray();
    if (FLease > 0)
        Budget().Release(FLease);
    FLease = 0;
}

bool ReadImageInput(const QString& Input, const TInputLimits& Limits, TInputBytes& Bytes, QString& Reason)
{
    Bytes.ReleaseAll();
    const bool standardInput = Input == QLatin1String("-");
    // Non-blocking, so that opening a FIFO without a writer returns at once
    // instead of waiting for ever; such an input is refused below anyway.
    const TDescriptor file(standardInput ? STDIN_FILENO
                                         : ::open(FileNameBytes(Input).constData(),
                                                  O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY),
                           !standardInput);
    if (file.Get() < 0) {
        Reason = QStringLiteral("could not open: %1").arg(SystemError(errno));
        return false;
    }
    std::int64_t expected = -1;
    if (!standardInput) {
        struct stat status {
        };
        if (::fstat(file.Get(), &status) != 0) {
            Reason = QStringLiteral("could not open: %1").arg(SystemError(errno));
            return false;
        }
        if (S_ISDIR(status.st_mode)) {
            Reason = QStringLiteral("is a folder, not a picture");
            return false;
        }
        if (!S_ISREG(status.st_mode)) {
            Reason = QStringLiteral("is %1; only regular files and - (standard input) are read")
                         .arg(FileKindName(status.st_mode));
            return false;
        }
        if (status.st_size > MaxEncodedBytes) {
            Reason = QStringLiteral("too large to be a picture (%1 bytes)").arg(status.st_size);
            return false;
        }
        expected = status.st_size;
    }

    QByteArray head;
    if (!ReadUpTo(file.Get(), head, HeadBytes, Reason))
        return false;
    const QByteArray suffix = standardInput ? QByteArray() : QFileInfo(Input).suffix().toLatin1();
    const QByteArray format = DetectImageFormat(head, suffix);
    if (format.isEmpty()) {
        Reason = head.isEmpty() ? QStringLiteral("no image data") : QStringLiteral("unknown image format");
        return false;
    }

    // The header's size decides before the rest is read: a few bytes may
    // declare gigabytes of pixels.
    QSize declared = DeclaredImageSize(head);
    if (OverPixelLimit(declared, Limits, Reason))
        return false;

    // A regular file reserves its size and its picture's before it is read;
    // standard input, read once per run, is bounded by the input limit alone.
    const std::int64_t lease = std::max<std::int64_t>(expected, head.size());
    const std::int64_t pictureLease =
        declared.isValid()
            ? (Limits.PictureBytes ? Limits.PictureBytes(declared) : DecodedPictureBytes(declared))
            : 0;
    Budget().Acquire(lease + pictureLease);
    Bytes.FLease = lease;
    Bytes.FPictureLease = pictureLease;
    const qsizetype headSize = head.size();
    Bytes.FData = std::move(head);
    if (Bytes.FData.size() == HeadBytes || standardInput) {
        if (expected >= 0)
            Bytes.FData.reserve(qsizetype(expected));
        if (!ReadUpTo(file.Get(), Bytes.FData, qsizetype(MaxEncodedBytes) + 1, Reason)) {
            Bytes.ReleaseAll();
            return false;
        }
    }
    if (Bytes.FData.size() > MaxEncodedBytes) {
        Reason = QStringLiteral("too large to be a picture (more than %1 bytes)").arg(MaxEncodedBytes);
        Bytes.ReleaseAll();
        return false;
    }
    // A header past the first bytes (a JPEG's frame after a long comment, a
    // TIFF directory at the end) is found in the whole file before anything
    // is decoded, so that its picture is reserved too. The file's share is
    // given back first: waiting while holding it could wait for ever on
    // workers that wait the same way.
    if (!declared.isValid() && Bytes.FData.size() > headSize) {
        declared = DeclaredImageSize(Bytes.FData);
        if (OverPixelLimit(declared, Limits, Reason)) {
            Bytes.ReleaseAll();
            return false;
        }
        if (declared.isValid()) {
            const std::int64_t picture =
                Limits.PictureBytes ? Limits.PictureBytes(declared) : DecodedPictureBytes(declared);
            Budget().Release(Bytes.FLease);
            Budget().Acquire(Bytes.FLease + picture);
            Bytes.FPictureLease = picture;
        }
    }
    return true;
}
