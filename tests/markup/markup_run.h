#pragma once

#include "toolkit/graphics/color.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <memory>

class TCanvas;
class TImageList;
class THTMLPictureCache;
class TPictureContainer;

// One DrawMarkup call with the label's usual settings, every parameter
// named, and what it wrote.
struct TMarkupRun {
    QString Markup;
    QRect Area{0, 0, 300, 200};
    QPoint Point{-100, -100};
    int FocusIndex = -1;
    int HotIndex = 0;
    int ShadowShift = 2;
    bool TestOnly = false;
    bool MeasureOnly = false;
    bool KeepColors = false;
    bool BlinkVisible = true;
    bool HotOnly = false;
    bool WrapWords = true;
    TColor AnchorColor = clBlue;
    TColor ShadowColor = clRed;
    TImageList* Images = nullptr;
    THTMLPictureCache* Cache = nullptr;
    TPictureContainer* Container = nullptr;
    int LineGap = 0;

    bool Result = false;
    QString PointAnchor;
    QString PlainText;
    QString FocusTarget;
    int ExtentWidth = -1;
    int ExtentHeight = -1;
    int AnchorTotal = -1;
    int PointAnchorIndex = -2;
    QRect PointAnchorRect{-7, -7, 1, 1};

    void Draw(TCanvas& Canvas);
};

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
