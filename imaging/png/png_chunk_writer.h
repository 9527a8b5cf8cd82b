#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// Receives the file's bytes as they are produced; false stops the encoding.
using TPngSink = std::function<bool(const std::uint8_t* Data, std::size_t Size)>;

void PutBigEndian32(std::uint8_t* Out, std::uint32_t Value);

// Writes whole chunks (length, type, data, CRC) to the sink and splits the
// zlib stream of the image data over IDAT chunks.
class TPngChunkWriter
{
  public:
    explicit TPngChunkWriter(const TPngSink& Sink);

    bool WriteChunk(const char* Type, const std::uint8_t* Data, std::size_t Size);
    // Buffers image data and writes each full IDAT chunk.
    bool AppendImageData(const std::uint8_t* Data, std::size_t Size);
    // Writes the image data buffered so far as a last, shorter IDAT chunk.
    bool FlushImageData();

  private:
    const TPngSink& FSink;
    std::vector<std::uint8_t> FIdat;
    std::size_t FFill = 0;
};
