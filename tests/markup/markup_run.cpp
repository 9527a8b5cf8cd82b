#include "tests/markup/markup_run.h"

#include "markup/draw_markup.h"
#include "toolkit/graphics/canvas.h"
#include "toolkit/graphics/font.h"

void TMarkupRun::Draw(TCanvas& Canvas)
{
    Result =
        DrawMarkup(Canvas, Markup, Area, Images, Point.x(), Point.y(), FocusIndex, HotIndex, ShadowShift,
                   TestOnly, MeasureOnly, false, KeepColors, BlinkVisible, HotOnly, WrapWords, 1.0,
                   AnchorColor, clNone, clNone, ShadowColor, PointAnchor, PlainText, FocusTarget, ExtentWidth,
                   ExtentHeight, AnchorTotal, PointAnchorIndex, PointAnchorRect, Cache, Container, LineGap);
}

TMarkupSurface::TMarkupSurface(int Width, int Height) : Image(Width, Height, QImage::Format_ARGB32)
{
    RegisterTahomaFont();
    Image.fill(0xFFFFFFFFu);
    Canvas = std::make_unique<TCanvas>(&Image);
    Canvas->Font()->SetName(QStringLiteral("Tahoma"));
    Canvas->Font()->SetHeight(-11);
    Canvas->Font()->SetColor(clBlack);
}

TMarkupSurface::~TMarkupSurface() = default;

int TMarkupSurface::LineHeight() const
{
    return Canvas->TextHeight(QStringLiteral("gh"));
}

int TMarkupSurface::Width(const QString& Text) const
{
    return Canvas->TextWidth(Text);
}
