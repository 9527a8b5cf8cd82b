#include "markup/gradient_fill.h"

#include "toolkit/graphics/brush.h"
#include "toolkit/graphics/canvas.h"
#include "toolkit/graphics/canvas_geometry.h"
#include "toolkit/graphics/pen.h"

#include <algorithm>
#include <cmath>

namespace
{

int Red(TColor Color)
{
    return Color & 0xFF;
}
int Green(TColor Color)
{
    return (Color >> 8) & 0xFF;
}
int Blue(TColor Color)
{
    return (Color >> 16) & 0xFF;
}

// Rounds to the nearest integer, halves to the even neighbour (the default
// rounding mode), so that 127.5 gives 128 and 0.5 gives 0.
long long RoundEven(double Value)
{
    return std::llrint(Value);
}

} // namespace

TColor GradientBandColor(TColor From, TColor To, int Bands, int Band)
{
    if (Bands == 0)
        Bands = 1;
    const TColor from = ColorToRGB(From), to = ColorToRGB(To);
    const double stepRed = double(Red(to) - Red(from)) / Bands;
    const double stepGreen = double(Green(to) - Green(from)) / Bands;
    const double stepBlue = double(Blue(to) - Blue(from)) / Bands;
    return RGBToColor(Red(from) + int(RoundEven(Band * stepRed)),
                      Green(from) + int(RoundEven(Band * stepGreen)),
                      Blue(from) + int(RoundEven(Band * stepBlue)));
}

void GradientFill(TCanvas& Canvas, TColor From, TColor To, bool Horizontal, const QRect& Rect, int Bands,
                  TColor Frame)
{
    if (Bands == 0)
        Bands = 1;
    const int left = Rect.x(), top = Rect.y(), right = RectRight(Rect), bottom = RectBottom(Rect);
    const double bandSize = double(Horizontal ? right - left : bottom - top) / Bands;
    const int bandWidth = int(bandSize); // truncated
    const auto offsetOf = [bandSize](int Band) { return int(quint16(RoundEven(Band * bandSize))); };

    for (int i = 0; i < Bands; ++i) {
        const int o = offsetOf(i);
        // A band that the next one paints over exactly (same place, same
        // size) is left out: with many more bands than pixels this keeps the
        // cost to one fill per distinct place.
        if (i + 1 < Bands && offsetOf(i + 1) == o)
            continue;
        const TColor color = GradientBandColor(From, To, Bands, i);
        Canvas.Pen()->SetColor(color);
        Canvas.Brush()->SetColor(color);
        if (Horizontal)
            Canvas.Rectangle(left + o, top, std::min(left + o + bandWidth + 1, right), bottom);
        else
            Canvas.Rectangle(left, top + o, right, std::min(top + o + bandWidth + 1, bottom));
    }
    if (Frame != clNone) {
        Canvas.Brush()->SetStyle(TBrush::bsClear);
        Canvas.Pen()->SetColor(Frame);
        Canvas.Rectangle(left, top, right, bottom);
    }
}
