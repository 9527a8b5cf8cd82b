#pragma once

#include "markup/markup_painter.h"

class TCanvas;

// The painter of the pass that shows a line: draws on a canvas, setting the
// canvas pen and brush each operation needs.
class TMarkupCanvasPainter final : public TMarkupPainter
{
  public:
    explicit TMarkupCanvasPainter(TCanvas& Canvas) : FCanvas(Canvas) {}

    void TextRun(const QString& Text, const QRect& Rect, unsigned Flags, const TMarkupBrush& Brush) override;
    void Shadow(const QString& Text, const QRect& Rect, unsigned Flags, const TMarkupBrush& Brush,
                TColor Color) override;
    void Rectangle(const QRect& Rect, TColor Outline, const TMarkupBrush& Brush) override;
    void Gradient(const QRect& Rect, TColor From, TColor To, bool Horizontal, int Bands) override;
    void Line(QPoint From, QPoint To, TColor Color, int Width) override;
    void FocusRect(const QRect& Rect) override;
    void ImageListPicture(const TImageList& Images, int Index, const QRect& Target, bool Stretched) override;
    void ShellIcon(int Index, bool Large, QPoint At, bool Scaled, double Factor) override;
    void Picture(THTMLPicture& Picture, const QRect& Target, bool Stretched) override;
    void ClippedPicture(THTMLPicture& Picture, QPoint At, const QRect& Clip) override;
    void TiledPicture(THTMLPicture& Picture, const QRect& Area) override;

  private:
    void SetBrush(const TMarkupBrush& Brush);

    TCanvas& FCanvas;
};
