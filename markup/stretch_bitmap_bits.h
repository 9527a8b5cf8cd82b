#pragma once

#include <QRect>

class TBitmap;
class TCanvas;

// Copies the whole bitmap into Rect as a plain copy of its pixels, smoothly
// stretched; a rectangle given right-to-left or bottom-to-top mirrors it.
void StretchBitmapBits(TCanvas& Canvas, const QRect& Rect, const TBitmap& Bitmap);
