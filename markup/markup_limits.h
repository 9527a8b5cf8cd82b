#pragma once

#include <QtGlobal>

// Bounds for the numbers the markup language reads without any: a SIZE, an
// offset or indentation x, a picture's WIDTH and HEIGHT. Beyond these a font
// or a position only costs time and memory (or overflows the arithmetic of
// the layout) without showing anything more.
constexpr int MaxMarkupFontSize = 500;     // points, either sign
constexpr int MaxMarkupPosition = 100000;  // pixels, either sign
constexpr int MaxMarkupPictureSide = 8192; // pixels

inline int ClampMarkupFontSize(int Size)
{
    return qBound(-MaxMarkupFontSize, Size, MaxMarkupFontSize);
}

inline int ClampMarkupPosition(int Position)
{
    return qBound(-MaxMarkupPosition, Position, MaxMarkupPosition);
}

inline int ClampMarkupPictureSide(int Side)
{
    return qBound(-MaxMarkupPictureSide, Side, MaxMarkupPictureSide);
}
