#pragma once

#include "imaging/reflection/reflection_parameters.h"

#include <array>
#include <cstdint>

// The classic fade of one reflection row, which every reflection ends with:
// the rows (reflection_rows.h) and the styled reflection
// (reflection_style.h) alike.

// Opacity of reflection row Row for n = Size, S = OpacityStart and
// E = OpacityEnd: ((n - y) / n) * S + (y / n) * E in extended precision,
// evaluated in that order, rounded half to even and clamped to 0..255; 0 for
// every row from n on (and for all rows when n <= 0). Axis plays no part.
int ReflectionRowOpacity(int Row, const TReflectionParameters& Parameters);

// For one row opacity a: the scaled alpha round((a / 255) * alpha) for every
// source alpha, so a row costs one table lookup per pixel.
std::array<std::uint8_t, 256> ScaledAlphaTable(int RowOpacity);
