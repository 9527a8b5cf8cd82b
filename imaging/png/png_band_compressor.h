#pragma once

#include "imaging/png/png_encoder.h"
#include "imaging/png/png_filter.h"

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

struct libdeflate_compressor;

// The pixels as the encoder reads them: 32-bit 0xAARRGGBB words, plus a mask
// that forces alpha where the format promises opacity.
struct TPngSource {
    QImage Image;
    std::uint32_t AlphaMask = 0;
    int Bpp = 4;
    std::size_t RowBytes = 0;

    // One row as PNG samples: RGBA, or RGB when Bpp is 3.
    void ConvertRow(int Y, std::uint8_t* __restrict Out) const;
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
    void Compress(TPngBand& Band, bool Last);

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
