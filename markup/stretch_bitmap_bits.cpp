#include "markup/stretch_bitmap_bits.h"

#include "toolkit/graphics/bitmap.h"
#include "toolkit/graphics/canvas.h"
#include "toolkit/graphics/canvas_geometry.h"

#include <algorithm>

void StretchBitmapBits(TCanvas& Canvas, const QRect& Rect, const TBitmap& Bitmap)
{
    const QImage& pixels = Bitmap.Image();
    if (Bitmap.IsEmpty() || pixels.isNull())
        return;
    const int left = Rect.x(), top = Rect.y(), right = RectRight(Rect), bottom = RectBottom(Rect);
    const bool mirrorX = right < left, mirrorY = bottom < top;
    const QRect target =
        RectLTRB(std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom));
    if (target.isEmpty())
        return;
    if (mirrorX || mirrorY)
        Canvas.DrawImageSmooth(target, pixels.mirrored(mirrorX, mirrorY));
    else
        Canvas.DrawImageSmooth(target, pixels);
}
