#include "imaging/codecs/zlib_inflater.h"

#if defined(LUMIVEX_HAVE_ISAL)
#include <isa-l/igzip_lib.h>

struct TZlibInflater::TState {
    inflate_state Stream{};
};

TZlibInflater::TZlibInflater() : FState(std::make_unique<TState>())
{
    isal_inflate_init(&FState->Stream);
    FState->Stream.crc_flag = ISAL_ZLIB;
}

TZlibInflater::~TZlibInflater() = default;

bool TZlibInflater::Ready() const
{
    return true;
}

void TZlibInflater::Give(const std::uint8_t* Data, std::size_t Size)
{
    FState->Stream.next_in = const_cast<std::uint8_t*>(Data);
    FState->Stream.avail_in = std::uint32_t(Size);
}

std::size_t TZlibInflater::Unused() const
{
    // ISA-L reads ahead a word at a time: after the end, the whole bytes
    // still in its bit buffer were never part of the stream.
    const inflate_state& stream = FState->Stream;
    return stream.avail_in + (FEnded ? std::size_t(stream.read_in_length) / 8 : 0);
}

std::ptrdiff_t TZlibInflater::Inflate(std::uint8_t* Out, std::size_t Size)
{
    if (FEnded)
        return 0;
    inflate_state& stream = FState->Stream;
    stream.next_out = Out;
    stream.avail_out = std::uint32_t(Size);
    if (isal_inflate(&stream) != ISAL_DECOMP_OK)
        return -1;
    FEnded = stream.block_state == ISAL_BLOCK_FINISH;
    return std::ptrdiff_t(Size - stream.avail_out);
}

#else
#include <zlib.h>

struct TZlibInflater::TState {
    z_stream Stream{};
    bool Open = false;
    ~TState()
    {
        if (Open)
            inflateEnd(&Stream);
    }
};

TZlibInflater::TZlibInflater() : FState(std::make_unique<TState>())
{
    FState->Open = inflateInit(&FState->Stream) == Z_OK;
}

TZlibInflater::~TZlibInflater() = default;

bool TZlibInflater::Ready() const
{
    return FState->Open;
}

void TZlibInflater::Give(const std::uint8_t* Data, std::size_t Size)
{
    FState->Stream.next_in = const_cast<Bytef*>(Data);
    FState->Stream.avail_in = uInt(Size);
}

std::size_t TZlibInflater::Unused() const
{
    return FState->Stream.avail_in;
}

std::ptrdiff_t TZlibInflater::Inflate(std::uint8_t* Out, std::size_t Size)
{
    if (FEnded)
        return 0;
    z_stream& stream = FState->Stream;
    stream.next_out = Out;
    stream.avail_out = uInt(Size);
    const int status = inflate(&stream, Z_NO_FLUSH);
    if (status != Z_OK && status != Z_STREAM_END)
        return -1;
    FEnded = status == Z_STREAM_END;
    return std::ptrdiff_t(Size - stream.avail_out);
}
#endif
