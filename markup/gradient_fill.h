#pragma once

#include "toolkit/graphics/color.h"

#include <QRect>

class TCanvas;

// Fills Rect with Bands bands of colour from From to To, left to right when
// Horizontal, else top to bottom; 0 bands count as 1. Each band is filled one
// pixel beyond its nominal size and the next band paints over it. The canvas
// pen and brush keep the last band's colour. When Frame is not clNone the
// rectangle is then outlined in Frame with a clear brush.
void GradientFill(TCanvas& Canvas, TColor From, TColor To, bool Horizontal, const QRect& Rect, int Bands,
                  TColor Frame);

// The colour of band Band (0-based) of such a gradient, resolved to RGB; the
// last band's is the colour the canvas pen and brush keep.
TColor GradientBandColor(TColor From, TColor To, int Bands, int Band);
