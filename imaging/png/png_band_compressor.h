#pragma once

#include "imaging/png/png_encoder.h"
#include "imaging/png/png_filter.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

struct libdeflate_compressor;

// The shape of the samples the encoder writes.
struct TPngSource {
    int Width = 0;
    int Bpp = 4; // 4: RGBA, 3: RGB (every pixel opaque)
    std::size_t RowBytes = 0;

    // One row of 0xAARRGGBB words as PNG samples: RGBA, or RGB when Bpp is 3.
    void ConvertRow(const std::uint32_t* Pixels, std::uint8_t* __restrict Out) const;
};

// A band's pixels as 0xAARRGGBB words: row -1 (the last row of the band
// above, which the filters look at; unused for the first band) to RowCount - 1.
struct TPngBandPixels {
    const std::uint32_t* Rows = nullptr; // row 0
    std::size_t Stride = 0;              // in words
    const std::uint32_t* Row(int Index) const
    {
        return Rows + std::ptrdiff_t(Index) * std::ptrdiff_t(Stride);
    }
};

// A band of rows compressed on its own; the bands' deflate streams join into
// the image's one zlib stream.
struct TPngBand {
    int FirstRow = 0;
    int RowCount = 0;
    std::vector<std::uint8_t> Deflate;
    std::uint32_t Adler = 1;
    std::uint64_t FilteredSize = 0;
};

// Filters and deflates bands, keeping its buffers from one band to the next;
// one per thread.
class TPngBandCompressor
{
  public:
    // Throws std::bad_alloc when libdeflate has no memory for its state.
    TPngBandCompressor(const TPngSource& Source, int Level, TPngCoding Coding, int MaxBandRows);
    ~TPngBandCompressor();

    // Last: the band ends the stream; every other band leaves it open.
    void Compress(TPngBand& Band, const TPngBandPixels& Pixels, bool Last);

  private:
    bool MatchesMayPay(std::size_t Size);
    void CompressWithMatches(TPngBand& Band, std::size_t Size, bool Last);

    struct TCompressorDeleter {
        void operator()(libdeflate_compressor* Compressor) const;
    };

    const TPngSource& FSource;
    const TPngCoding FCoding;
    std::unique_ptr<libdeflate_compressor, TCompressorDeleter> FCompressor;
    std::vector<std::uint8_t> FFiltered, FOutput, FPrev, FCur, FLiteral, FSample, FSampleOut;
    TPngFilterScratch FScratch;
};
