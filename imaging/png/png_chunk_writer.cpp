#include "imaging/png/png_chunk_writer.h"

#include <libdeflate.h>

#include <algorithm>
#include <cstring>

namespace
{
// Decoders read image data chunk by chunk; 1 MiB keeps the chunk overhead
// negligible while no reader has to hold a huge chunk at once.
constexpr std::size_t MaxIdatPayload = std::size_t(1) << 20;
} // namespace

void PutBigEndian32(std::uint8_t* Out, std::uint32_t Value)
{
    Out[0] = std::uint8_t(Value >> 24);
    Out[1] = std::uint8_t(Value >> 16);
    Out[2] = std::uint8_t(Value >> 8);
    Out[3] = std::uint8_t(Value);
}

TPngChunkWriter::TPngChunkWriter(const TPngSink& Sink) : FSink(Sink) {}

bool TPngChunkWriter::WriteChunk(const char* Type, const std::uint8_t* Data, std::size_t Size)
{
    std::vector<std::uint8_t> Chunk(8 + Size + 4);
    PutBigEndian32(Chunk.data(), std::uint32_t(Size));
    std::memcpy(Chunk.data() + 4, Type, 4);
    if (Size)
        std::memcpy(Chunk.data() + 8, Data, Size);
    PutBigEndian32(Chunk.data() + 8 + Size, libdeflate_crc32(0, Chunk.data() + 4, 4 + Size));
    return FSink(Chunk.data(), Chunk.size());
}

bool TPngChunkWriter::AppendImageData(const std::uint8_t* Data, std::size_t Size)
{
    while (Size) {
        const std::size_t Take = std::min(Size, MaxIdatPayload - FFill);
        // The buffer grows with the data, so a small picture never clears a
        // whole chunk's worth of memory.
        const std::size_t Needed = 8 + FFill + Take + 4;
        if (FIdat.size() < Needed)
            FIdat.resize(std::min(std::max(Needed, FIdat.size() * 2), 8 + MaxIdatPayload + 4));
        std::memcpy(FIdat.data() + 8 + FFill, Data, Take);
        FFill += Take;
        Data += Take;
        Size -= Take;
        if (FFill == MaxIdatPayload && !FlushImageData())
            return false;
    }
    return true;
}

bool TPngChunkWriter::FlushImageData()
{
    if (FFill == 0)
        return true;
    PutBigEndian32(FIdat.data(), std::uint32_t(FFill));
    std::memcpy(FIdat.data() + 4, "IDAT", 4);
    PutBigEndian32(FIdat.data() + 8 + FFill, libdeflate_crc32(0, FIdat.data() + 4, 4 + FFill));
    const std::size_t Total = 8 + FFill + 4;
    FFill = 0;
    return FSink(FIdat.data(), Total);
}
