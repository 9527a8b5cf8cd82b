#pragma once

#include <QRect>

// Rectangles are exchanged as QRect holding the window system's rectangle:
// left = x(), top = y(), and the right and bottom edges just outside the area,
// right = x() + width(), bottom = y() + height(). QRect::right() and
// QRect::bottom() are the last pixels inside and are not used for that.
inline QRect RectLTRB(int Left, int Top, int Right, int Bottom)
{
    return QRect(Left, Top, Right - Left, Bottom - Top);
}
inline int RectRight(const QRect& Rect)
{
    return Rect.x() + Rect.width();
}
inline int RectBottom(const QRect& Rect)
{
    return Rect.y() + Rect.height();
}

// Number * Numerator / Denominator computed in 64 bits and rounded to the
// nearest integer, halves away from zero; -1 when Denominator is 0 or the
// result does not fit in 32 bits, as the window system's own helper does.
int MulDiv(int Number, int Numerator, int Denominator);
