#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

// A zlib stream inflated a piece at a time into the caller's buffers, its
// header and checksum checked. Built on ISA-L's inflater where the build
// found it (about 2.5 times as fast as zlib's on photographs, and reading
// the picture is most of the work of a streamed reflection), on zlib's
// otherwise; both refuse the same damage.
class TZlibInflater
{
  public:
    TZlibInflater();
    ~TZlibInflater();
    TZlibInflater(const TZlibInflater&) = delete;
    TZlibInflater& operator=(const TZlibInflater&) = delete;

    // False when the inflater's state could not be made.
    bool Ready() const;
    // More compressed bytes, once Unused() is 0; they must stay in place
    // until taken.
    void Give(const std::uint8_t* Data, std::size_t Size);
    // Compressed bytes given but not taken: after the end, what follows it.
    std::size_t Unused() const;
    // The stream's end and its right checksum have been read.
    bool Ended() const { return FEnded; }
    // Fills Out as far as the given bytes and the stream go; the number of
    // bytes written, or -1 when the stream is damaged.
    std::ptrdiff_t Inflate(std::uint8_t* Out, std::size_t Size);

  private:
    struct TState;
    std::unique_ptr<TState> FState;
    bool FEnded = false;
};
