#pragma once

#include "markup/markup_state.h"
#include "toolkit/graphics/color.h"

#include <QPoint>
#include <QRect>
#include <QString>

class THTMLPicture;
class TImageList;

// Everything the markup engine draws goes through a painter. A pass chooses
// its painter: the pass that shows a line draws on the canvas, the measure
// and test passes lay out the same way and draw nothing. Every pass measures
// through the canvas painter (markup_canvas_painter.h), and text is drawn in
// the font it selected for measuring.
class TMarkupPainter
{
  public:
    virtual ~TMarkupPainter() = default;

    // A run of text placed in Rect by the text drawing Flags, on Brush (a
    // solid brush gives it an opaque background).
    virtual void TextRun(const QString& Text, const QRect& Rect, unsigned Flags,
                         const TMarkupBrush& Brush) = 0;
    // The same, in Color instead of the font's colour: the shadow under a run.
    virtual void Shadow(const QString& Text, const QRect& Rect, unsigned Flags, const TMarkupBrush& Brush,
                        TColor Color) = 0;
    // Rect filled with Brush (nothing when it is clear) and outlined in Outline.
    virtual void Rectangle(const QRect& Rect, TColor Outline, const TMarkupBrush& Brush) = 0;
    // Rect in Bands bands from From to To, left to right when Horizontal.
    virtual void Gradient(const QRect& Rect, TColor From, TColor To, bool Horizontal, int Bands) = 0;
    // A line without its end point. Width 0 keeps the pen's width; another
    // width stays the pen's width afterwards.
    virtual void Line(QPoint From, QPoint To, TColor Color, int Width) = 0;
    // A dotted outline drawn by inversion: drawing it twice removes it.
    virtual void FocusRect(const QRect& Rect) = 0;

    // Pictures: an image-list entry at Target's corner, or stretched into it;
    // the shell icon Index at At, scaled by Factor when Scaled; a picture at its own
    // size at Target's corner or stretched into Target; a picture at At
    // clipped to Clip; a picture repeated over Area from its top-left corner.
    virtual void ImageListPicture(const TImageList& Images, int Index, const QRect& Target,
                                  bool Stretched) = 0;
    virtual void ShellIcon(int Index, bool Large, QPoint At, bool Scaled, double Factor) = 0;
    virtual void Picture(THTMLPicture& Picture, const QRect& Target, bool Stretched) = 0;
    virtual void ClippedPicture(THTMLPicture& Picture, QPoint At, const QRect& Clip) = 0;
    virtual void TiledPicture(THTMLPicture& Picture, const QRect& Area) = 0;
};

// The painter of the passes that only measure and hit-test.
class TNullPainter final : public TMarkupPainter
{
  public:
    void TextRun(const QString&, const QRect&, unsigned, const TMarkupBrush&) override {}
    void Shadow(const QString&, const QRect&, unsigned, const TMarkupBrush&, TColor) override {}
    void Rectangle(const QRect&, TColor, const TMarkupBrush&) override {}
    void Gradient(const QRect&, TColor, TColor, bool, int) override {}
    void Line(QPoint, QPoint, TColor, int) override {}
    void FocusRect(const QRect&) override {}
    void ImageListPicture(const TImageList&, int, const QRect&, bool) override {}
    void ShellIcon(int, bool, QPoint, bool, double) override {}
    void Picture(THTMLPicture&, const QRect&, bool) override {}
    void ClippedPicture(THTMLPicture&, QPoint, const QRect&) override {}
    void TiledPicture(THTMLPicture&, const QRect&) override {}
};
