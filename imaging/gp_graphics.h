#pragma once

#include "imaging/gp_base.h"
#include "imaging/gp_status.h"

#include <QString>
#include <memory>

class QPainter;
class TGPBitmap;
class TGPImage;

// A drawing surface: either someone else's painter (a canvas's device) or a
// painter of its own on a bitmap. Images are drawn alpha-blended (source over).
// LastStatus follows the same rule as TGPImage's.
class TGPGraphics : public TGdiplusBase
{
  public:
    // Draws through Painter, which stays owned by the caller and must outlive
    // this object. A null painter gives a surface without handle.
    explicit TGPGraphics(QPainter* Painter);
    // Draws into Bitmap's pixels; no bitmap (or one without image) gives a
    // surface without handle. The bitmap must outlive this object and keep its
    // size while the surface exists.
    explicit TGPGraphics(TGPBitmap* Bitmap);
    ~TGPGraphics() override;

    TGpStatus LastStatus() const { return FLastStatus; }
    QString LastErrorText() const { return FLastErrorText; }
    bool IsNull() const { return FPainter == nullptr; }

    // Image at its natural size with its top-left corner at (X, Y).
    TGpStatus DrawImageAt(TGPImage* Image, int X, int Y);
    // Image scaled into the rectangle (X, Y, Width, Height).
    TGpStatus DrawImageInRect(TGPImage* Image, int X, int Y, int Width, int Height);

  private:
    TGpStatus Keep(TGpStatus Status, const QString& Reason);
    TGpStatus CheckDrawable(const TGPImage* Image);

    std::unique_ptr<QPainter> FOwnPainter;
    QPainter* FPainter = nullptr;
    TGpStatus FLastStatus = TGpStatus::Ok;
    QString FLastErrorText;
};
