#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

// One input's bytes in memory. While it holds them they count against the
// bytes that all workers of a run may hold at once; they are given back when
// the object is emptied or destroyed.
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
    friend bool ReadImageInput(const QString& Input, TInputBytes& Bytes, QString& Reason);
    QByteArray FData;
    std::int64_t FLease = 0;
};

// Reads an input of the command line: "-" is standard input, anything else
// must be a regular file (a FIFO, device or socket is refused at once rather
// than waited on). The format is checked from the first bytes before the rest
// is read, so a large non-picture costs no memory; a file's whole size is
// then reserved from the run's budget of bytes in flight, waiting while other
// workers hold too much. False with Reason when there is nothing to decode.
bool ReadImageInput(const QString& Input, TInputBytes& Bytes, QString& Reason);

// The run's budget of input bytes held at once by all workers. One input
// larger than the budget may still be read when it is the only one held.
inline constexpr std::int64_t InputBytesBudget = std::int64_t(1) << 30;
