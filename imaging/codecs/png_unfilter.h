#pragma once

#include <cstddef>
#include <cstdint>

// Undoes one row's PNG filter in place. Row holds the filter type byte
// followed by RowBytes filtered bytes; Above is the row above, already
// unfiltered (all zeros for the first row), without its filter byte. Bpp is
// the bytes of a whole pixel, at least one. False for a filter type that
// does not exist.
bool UnfilterPngRow(std::uint8_t* Row, const std::uint8_t* Above, std::size_t RowBytes, int Bpp);
