#pragma once

#include "imaging/reflection/reflection_parameters.h"

#include <QImage>
#include <array>
#include <cstdint>

// The fading mirror shared by both reflection controls and the command line.

// Opacity of reflection row Row for n = Size, S = OpacityStart and
// E = OpacityEnd: ((n - y) / n) * S + (y / n) * E in extended precision,
// evaluated in that order, rounded half to even and clamped to 0..255; 0 for
// every row from n on (and for all rows when n <= 0). Axis plays no part.
int ReflectionRowOpacity(int Row, const TReflectionParameters& Parameters);

// For one row opacity a: the scaled alpha round((a / 255) * alpha) for every
// source alpha, so a row costs one table lookup per pixel.
std::array<std::uint8_t, 256> ScaledAlphaTable(int RowOpacity);

// The reflection of Picture: same width and height, row y is the mirror of
// picture row H - 1 - y with its alpha scaled by the row opacity. Colour
// channels are kept; fully transparent source pixels stay 0. The result is
// Format_ARGB32 (not premultiplied); a null picture gives a null image. Axis
// plays no part: it only places the reflection. With a blur or a squash the
// reflection is the styled one (reflection_style.h), as high as the squashed
// mirror.
QImage BuildReflectionImage(const QImage& Picture, const TReflectionParameters& Parameters);
