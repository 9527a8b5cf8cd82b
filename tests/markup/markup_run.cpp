#include "tests/markup/markup_run.h"

#include "markup/draw_markup.h"
#include "toolkit/graphics/canvas.h"
#include "toolkit/graphics/font.h"

TMarkupRequest TestRequest()
{
    TMarkupRequest request;
    request.Area = QRect(0, 0, 300, 200);
    request.Point = QPoint(-100, -100);
    request.ShadowShift = 2;
    request.BlinkVisible = true;
    request.ShadowColor = clRed;
    return request;
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
