#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>
#include <cstdint>
#include <functional>

struct TInputLimits;

// One input's bytes in memory. While it holds them they count against the
// memory that all workers of a run may hold at once, and so does the memory
// its picture will take once decoded (from the size its header declares).
// Release gives back the bytes; the picture's share goes when the object is
// destroyed, after the picture has been used.
class TInputBytes
{
  public:
    TInputBytes() = default;
    ~TInputBytes();
    TInputBytes(const TInputBytes&) = delete;
    TInputBytes& operator=(const TInputBytes&) = delete;

    const QByteArray& Data() const { return FData; }
    void Release();

  private:
    friend bool ReadImageInput(const QString& Input, const TInputLimits& Limits, TInputBytes& Bytes,
                               QString& Reason);
    void ReleaseAll();
    QByteArray FData;
    std::int64_t FLease = 0;
    std::int64_t FPictureLease = 0;
};

// What an input may declare and what its picture costs in memory.
struct TInputLimits {
    // A picture whose header declares more pixels is refused unread; 0 leaves
    // only the decoder's own limit.
    std::int64_t MaxPixels = 0;
    // Bytes the decoded picture of a declared size takes until its job ends
    // (the picture and what is made of it).
    std::function<std::int64_t(const QSize&)> PictureBytes;
};

// "a FIFO", "a character device", "a block device", "a socket" or "not a
// regular file", for a file mode that is not a regular file's.
QString FileKindName(unsigned Mode);

// Reads an input of the command line: "-" is standard input, anything else
// must be a regular file (a FIFO, device or socket is refused at once rather
// than waited on). The format and the declared size are checked from the
// first bytes before the rest is read, so a large non-picture or a picture
// over Limits.MaxPixels costs no memory; the file's size and its decoded
// picture's are then reserved from the run's memory budget, waiting while
// other workers hold too much. False with Reason when there is nothing to
// decode.
bool ReadImageInput(const QString& Input, const TInputLimits& Limits, TInputBytes& Bytes, QString& Reason);

// The run's budget of memory held at once by all workers for their inputs
// and decoded pictures. One input larger than the budget may still be read
// when it is the only one held.
inline constexpr std::int64_t InputBytesBudget = std::int64_t(1) << 30;
