#pragma once

#include "markup/draw_markup.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <memory>

class TCanvas;

// The request these tests start from: a 300 x 200 area, the point outside
// it, a red shadow two pixels away, blinking text in its visible phase.
TMarkupRequest TestRequest();

// A white ARGB image with a canvas in Tahoma at -11 pixels, black text.
struct TMarkupSurface {
    TMarkupSurface(int Width, int Height);
    ~TMarkupSurface();
    // Height of "gh" in the canvas font.
    int LineHeight() const;
    int Width(const QString& Text) const;

    QImage Image;
    std::unique_ptr<TCanvas> Canvas;
};
