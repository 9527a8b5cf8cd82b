#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

// The five PNG row filter types.
enum class TPngFilter : std::uint8_t { None = 0, Sub = 1, Up = 2, Average = 3, Paeth = 4 };

// Row scratch space for FilterScanLine, sized for one scan line.
class TPngFilterScratch
{
  public:
    explicit TPngFilterScratch(std::size_t RowBytes);
    std::uint8_t* Row(int Filter) { return FRows + Filter * FStride; }

  private:
    std::size_t FStride;
    std::uint8_t* FRows;
    std::unique_ptr<std::uint8_t[]> FStorage;
};

// Writes one filtered scan line to Out: the filter type byte, then RowBytes
// filtered bytes. The filter is the one whose output has the smallest sum of
// absolute values (bytes read as signed), which predicts well how small
// deflate can make the row. Prev is the unfiltered line above, all zeros for
// the first line; Bpp is the number of bytes per pixel (3 or 4).
TPngFilter FilterScanLine(const std::uint8_t* Prev, const std::uint8_t* Cur, std::size_t RowBytes, int Bpp,
                          std::uint8_t* Out, TPngFilterScratch& Scratch);

// Applies one given filter (no choice); the reference the tests hold the
// chooser to, and the way to write a line with a fixed filter.
void ApplyFilter(TPngFilter Filter, const std::uint8_t* Prev, const std::uint8_t* Cur, std::size_t RowBytes,
                 int Bpp, std::uint8_t* Out);
