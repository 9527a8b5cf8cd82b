#pragma once

#include <QImage>
#include <array>
#include <cstdint>

// The fading mirror shared by both reflection controls and the command line.
struct TReflectionParameters {
    int Size = 100;         // rows over which the opacity fades; rows from Size on are transparent
    int OpacityStart = 255; // opacity of reflection row 0 (the mirrored bottom row)
    int OpacityEnd = 0;     // opacity the fade approaches at row Size
    int Axis = 1;           // offset from the object's bottom edge to the reflection's top edge
};

// Opacity of reflection row Row: ((n - y) / n) * S + (y / n) * E in extended
// precision, evaluated in that order, rounded half to even and clamped to
// 0..255; 0 for every row from n on (and for all rows when n <= 0).
int ReflectionRowOpacity(int Row, int Size, int OpacityStart, int OpacityEnd);

// For one row opacity a: the scaled alpha round((a / 255) * alpha) for every
// source alpha, so a row costs one table lookup per pixel.
std::array<std::uint8_t, 256> ScaledAlphaTable(int RowOpacity);

// The reflection of Picture: same width and height, row y is the mirror of
// picture row H - 1 - y with its alpha scaled by the row opacity. Colour
// channels are kept; fully transparent source pixels stay 0. The result is
// Format_ARGB32 (not premultiplied); a null picture gives a null image.
QImage BuildReflectionImage(const QImage& Picture, int Size, int OpacityStart, int OpacityEnd);
