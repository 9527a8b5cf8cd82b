#include "imaging/png/png_band_compressor.h"

#include "imaging/png/png_deflate_join.h"
#include "imaging/png/png_literal_deflate.h"
#include "imaging/rgba_rows.h"

#include <libdeflate.h>

#include <algorithm>
#include <new>

namespace
{

// Stored blocks cannot fail and join like any other; used when compression
// gives up or its output could not be walked.
void StoreBlocks(const std::uint8_t* Data, std::size_t Size, bool Final, std::vector<std::uint8_t>& Out)
{
    Out.clear();
    Out.reserve(Size + (Size / 65535 + 1) * 5);
    do {
        const std::size_t Take = std::min<std::size_t>(Size, 65535);
        Size -= Take;
        Out.push_back(Final && Size == 0 ? 1 : 0);
        Out.push_back(std::uint8_t(Take));
        Out.push_back(std::uint8_t(Take >> 8));
        Out.push_back(std::uint8_t(~Take));
        Out.push_back(std::uint8_t(~Take >> 8));
        Out.insert(Out.end(), Data, Data + Take);
        Data += Take;
    } while (Size);
}

} // namespace

void TPngSource::ConvertRow(const std::uint32_t* Pixels, std::uint8_t* __restrict Out) const
{
    if (Bpp == 4) {
        ArgbWordsToRgbaBytes(Pixels, Out, Width);
    } else {
        for (int X = 0; X < Width; ++X) {
            const std::uint32_t P = Pixels[X];
            Out[3 * X] = std::uint8_t(P >> 16);
            Out[3 * X + 1] = std::uint8_t(P >> 8);
            Out[3 * X + 2] = std::uint8_t(P);
        }
    }
}

void TPngBandCompressor::TCompressorDeleter::operator()(libdeflate_compressor* Compressor) const
{
    libdeflate_free_compressor(Compressor);
}

TPngBandCompressor::TPngBandCompressor(const TPngSource& Source, int Level, TPngCoding Coding,
                                       int MaxBandRows)
    : FSource(Source), FCoding(Level == 0 ? TPngCoding::Matches : Coding),
      FCompressor(libdeflate_alloc_compressor(Level)),
      FFiltered(std::size_t(MaxBandRows) * (Source.RowBytes + 1)), FPrev(Source.RowBytes),
      FCur(Source.RowBytes), FScratch(Source.RowBytes)
{
    if (!FCompressor)
        throw std::bad_alloc();
    FOutput.resize(libdeflate_deflate_compress_bound(FCompressor.get(), FFiltered.size()));
}

TPngBandCompressor::~TPngBandCompressor() = default;

void TPngBandCompressor::Compress(TPngBand& Band, const TPngBandPixels& Pixels, bool Last)
{
    const std::size_t Stride = FSource.RowBytes + 1;
    const std::size_t Size = std::size_t(Band.RowCount) * Stride;
    if (Band.FirstRow > 0)
        FSource.ConvertRow(Pixels.Row(-1), FPrev.data());
    else
        std::fill(FPrev.begin(), FPrev.end(), 0);
    for (int Row = 0; Row < Band.RowCount; ++Row) {
        FSource.ConvertRow(Pixels.Row(Row), FCur.data());
        FilterScanLine(FPrev.data(), FCur.data(), FSource.RowBytes, FSource.Bpp,
                       FFiltered.data() + Row * Stride, FScratch);
        FPrev.swap(FCur);
    }
    Band.FilteredSize = Size;
    Band.Adler = libdeflate_adler32(1, FFiltered.data(), Size);

    if (FCoding != TPngCoding::Matches) {
        Band.Deflate.clear();
        DeflateLiteralsAndRuns(FFiltered.data(), Size, Last, Band.Deflate);
        if (FCoding == TPngCoding::LiteralsAndRuns || !MatchesMayPay(Size))
            return;
        FLiteral.swap(Band.Deflate);
        CompressWithMatches(Band, Size, Last);
        if (FLiteral.size() <= Band.Deflate.size())
            FLiteral.swap(Band.Deflate);
        return;
    }
    CompressWithMatches(Band, Size, Last);
}

// Codes slices spread over the band both ways; matches are tried on the whole
// band only when they clearly win on the slices.
bool TPngBandCompressor::MatchesMayPay(std::size_t Size)
{
    constexpr std::size_t Slices = 4, SliceBytes = 32 * 1024;
    FSample.clear();
    if (Size <= Slices * SliceBytes) {
        FSample.assign(FFiltered.begin(), FFiltered.begin() + Size);
    } else {
        for (std::size_t I = 0; I < Slices; ++I) {
            const auto From = FFiltered.begin() + (Size - SliceBytes) * I / (Slices - 1);
            FSample.insert(FSample.end(), From, From + SliceBytes);
        }
    }
    FSampleOut.clear();
    DeflateLiteralsAndRuns(FSample.data(), FSample.size(), true, FSampleOut);
    const std::size_t WithMatches = libdeflate_deflate_compress(
        FCompressor.get(), FSample.data(), FSample.size(), FOutput.data(), FOutput.size());
    // A few per cent either way is noise of the sample; beyond, matches found real repetition.
    return WithMatches != 0 && WithMatches * 100 < FSampleOut.size() * 97;
}

void TPngBandCompressor::CompressWithMatches(TPngBand& Band, std::size_t Size, bool Last)
{
    const std::size_t Packed = libdeflate_deflate_compress(FCompressor.get(), FFiltered.data(), Size,
                                                           FOutput.data(), FOutput.size());
    if (Packed == 0) {
        StoreBlocks(FFiltered.data(), Size, Last, Band.Deflate);
        return;
    }
    Band.Deflate.assign(FOutput.begin(), FOutput.begin() + Packed);
    // Every band but the last must leave the stream open for the next one.
    if (!Last && !MakeDeflateJoinable(Band.Deflate))
        StoreBlocks(FFiltered.data(), Size, false, Band.Deflate);
}
