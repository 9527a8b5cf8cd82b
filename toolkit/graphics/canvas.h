#pragma once

#include "toolkit/graphics/canvas_geometry.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <memory>

class QFont;
class QImage;
class QPaintDevice;
class QPainter;
class QPolygon;
class TBrush;
class TFont;
class TGraphic;
class TPen;

// Background modes of text drawing.
enum TBkMode : int { TRANSPARENT = 1, OPAQUE = 2 };

// A drawing surface with the window system's canvas state: current font, pen,
// brush, pen position, text background mode and clipping rectangle. It draws
// either on a paint device it does not own (usually a QImage), opening a
// painter for each operation, or through a painter that is already active
// (a widget's paint event), saving and restoring its state around each
// operation. Rectangles follow canvas_geometry.h: right and bottom lie just
// outside the area.
//
// The text background follows the brush: whenever the brush has changed since
// the last drawing operation, a solid brush makes text backgrounds opaque in
// the brush colour and a clear brush makes them transparent. SetBkMode
// overrides that until the brush changes again.
class TCanvas
{
  public:
    explicit TCanvas(QPaintDevice* Device);
    explicit TCanvas(QPainter* ActivePainter);
    ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    TFont* Font() const { return FFont.get(); }
    TPen* Pen() const { return FPen.get(); }
    TBrush* Brush() const { return FBrush.get(); }

    QPaintDevice* Device() const { return FDevice; }
    // The device as an image, or nullptr when it is something else.
    QImage* DeviceImage() const;

    // A painter on the device in the canvas's base state with the current
    // clipping applied, for drawing code of its own. On a device canvas it
    // stays active until ReleasePainter (or the canvas is destroyed); call
    // ReleasePainter before the device is resized or copied.
    QPainter* Painter();
    void ReleasePainter();

    // Device resolution; 96 is the unit. An image reports its own
    // dots-per-meter, other devices their logical resolution.
    int PixelsPerInchX() const;
    int PixelsPerInchY() const;

    int TextWidth(const QString& Text) const;
    // Ascent + descent of the current font, the height of a line of text.
    int TextHeight(const QString& Text) const;
    QSize TextExtent(const QString& Text) const;
    // Draws Text with its top-left corner at (X, Y) and moves the pen
    // position to the end of the text.
    void TextOut(int X, int Y, const QString& Text);

    int BkMode() const;
    void SetBkMode(int Mode);

    // Rotation of drawn text in tenths of a degree, counter-clockwise around
    // the text's reference point; the Font object itself is not changed.
    int TextRotation() const { return FTextRotation; }
    void SetTextRotation(int TenthsOfDegree) { FTextRotation = TenthsOfDegree; }

    // Fills with the brush and outlines with the pen; (0, 0, 10, 10) covers
    // pixels 0..9 in both directions.
    void Rectangle(int X1, int Y1, int X2, int Y2);
    void Rectangle(const QRect& Rect) { Rectangle(Rect.x(), Rect.y(), RectRight(Rect), RectBottom(Rect)); }
    // Fills with the brush only (nothing when the brush is clear).
    void FillRect(const QRect& Rect);
    // A line from the pen position to (X, Y), without the end point itself;
    // (X, Y) becomes the pen position.
    void MoveTo(int X, int Y) { FPenPos = QPoint(X, Y); }
    void LineTo(int X, int Y);
    QPoint PenPos() const { return FPenPos; }
    // A closed polygon filled with the brush and outlined with the pen.
    void Polygon(const QPolygon& Points);
    // A dotted outline drawn by inverting the colour bits of every other
    // pixel, so that drawing the same rectangle again restores the pixels.
    void DrawFocusRect(const QRect& Rect);

    // Drawing stays inside Rect (device coordinates) until ClearClipRect.
    void SetClipRect(const QRect& Rect);
    void ClearClipRect();
    bool HasClipRect() const { return FClipping; }
    QRect ClipRect() const { return FClipRect; }

    // Copies Source's pixels in SourceRect into Dest, alpha included, scaled
    // when the sizes differ. Sources on devices that cannot be read copy nothing.
    void CopyRect(const QRect& Dest, const TCanvas& Source, const QRect& SourceRect);
    // Draws an image into Dest as a plain copy of its pixels (alpha
    // included), or alpha-blended over the canvas when Blend is true.
    void DrawImage(const QRect& Dest, const QImage& Image, bool Blend = false);
    // As DrawImage, but a scaled image is interpolated bilinearly (a ramp of
    // colours between neighbouring pixels) rather than repeated in blocks.
    void DrawImageSmooth(const QRect& Dest, const QImage& Image, bool Blend = false);

    // Nothing for a missing or empty graphic; otherwise the graphic draws
    // itself at its own size with its top-left corner at (X, Y).
    void Draw(int X, int Y, TGraphic* Graphic);
    void StretchDraw(const QRect& Rect, TGraphic* Graphic);

  private:
    friend class TCanvasPaint;
    void SyncBrush();

    QPaintDevice* FDevice = nullptr;
    QPainter* FExternal = nullptr;
    std::unique_ptr<QPainter> FOwnPainter;
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TPen> FPen;
    std::unique_ptr<TBrush> FBrush;
    QPoint FPenPos;
    int FBkMode = OPAQUE;
    int FBrushStyleSeen = 0;
    int FBrushColorSeen = 0;
    int FTextRotation = 0;
    bool FClipping = false;
    QRect FClipRect;
};

// One drawing operation's painter: the canvas's active painter with its state
// saved, or a painter opened on the device for this operation alone. The
// canvas clipping, and an optional extra clip, are applied. IsActive is false
// when the device cannot be painted on (a null image); the operation then
// draws nothing.
class TCanvasPaint
{
  public:
    explicit TCanvasPaint(TCanvas& Canvas, const QRect* ExtraClip = nullptr);
    ~TCanvasPaint();
    TCanvasPaint(const TCanvasPaint&) = delete;
    TCanvasPaint& operator=(const TCanvasPaint&) = delete;

    bool IsActive() const { return FPainter != nullptr; }
    QPainter* operator->() const { return FPainter; }
    QPainter& operator*() const { return *FPainter; }

  private:
    QPainter* FPainter = nullptr;
    std::unique_ptr<QPainter> FTemporary;
    bool FSaved = false;
};
