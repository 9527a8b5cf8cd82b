#pragma once

#include "markup/markup_painter.h"
#include "markup/rotated_font.h"

#include <QSize>
#include <memory>

class TCanvas;
class TFont;

// The markup engine's only way to its canvas. As a painter it draws the pass
// that shows a line, setting the canvas pen and brush each operation needs.
// For every pass it also measures: it selects the layout's font on the
// canvas, measures text in it and rotates it, and a walk over the text puts
// the canvas back as it found it.
class TMarkupCanvasPainter final : public TMarkupPainter
{
  public:
    explicit TMarkupCanvasPainter(TCanvas& Canvas);
    ~TMarkupCanvasPainter() override;
    TMarkupCanvasPainter(const TMarkupCanvasPainter&) = delete;
    TMarkupCanvasPainter& operator=(const TMarkupCanvasPainter&) = delete;

    // What a walk starts from: the canvas font is the base font of the
    // formatting, the brush colour is what hidden blinking text takes.
    struct TWalkStart {
        TMarkupFont Font;
        TColor BrushColor = clNone;
    };
    // Records the canvas font, brush and rotation for EndWalk, and sets the
    // clear brush and transparent background text goes on.
    TWalkStart BeginWalk();
    // The canvas font, brush and (no font state may outlive a call) rotation
    // as BeginWalk found them.
    void EndWalk();

    // The canvas font as Font says; cheap when it already is. A font of
    // BaseSize keeps the base font's exact pixel height; other sizes, set by
    // tags, are points. NoPrefix: ampersands are drawn literally.
    void SelectFont(const TMarkupFont& Font, int BaseSize, bool NoPrefix);
    // The height of a line of text in the selected font.
    int CellHeight() const { return FCellHeight; }
    // The width the text drawing's DT_CALCRECT gives Text in Rect, in the
    // selected font.
    int RunWidth(const QString& Text, const QRect& Rect, unsigned Flags);

    // A second rotation replaces the first; EndRotation puts back the one
    // before the first.
    void Rotate(int Degrees);
    void EndRotation();

    // A size at 96 dots per inch in the canvas's pixels.
    QSize DeviceSize(int Width, int Height) const;

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

    // The canvas as the walk found it.
    std::unique_ptr<TFont> FEntryFont;
    TColor FEntryBrushColor = clNone;
    int FEntryBrushStyle = 0;
    int FEntryRotation = 0;
    int FBaseHeight = 0;

    TMarkupFont FSelectedFont;
    bool FFontSelected = false;
    int FCellHeight = 0;

    bool FRotated = false;
    TRotatedFontState FRotationSaved;
};
