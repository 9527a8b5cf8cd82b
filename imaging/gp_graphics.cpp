#include "imaging/gp_graphics.h"

#include "imaging/gp_bitmap.h"

#include <QPainter>
#include <QRectF>

TGPGraphics::TGPGraphics(QPainter* Painter)
{
    if (!Painter || !Painter->isActive()) {
        FLastStatus = TGpStatus::InvalidParameter;
        FLastErrorText = QStringLiteral("no active painter");
        return;
    }
    FPainter = Painter;
}

TGPGraphics::TGPGraphics(TGPBitmap* Bitmap)
{
    if (!Bitmap || Bitmap->Image().isNull()) {
        FLastStatus = TGpStatus::InvalidParameter;
        FLastErrorText = QStringLiteral("no bitmap");
        return;
    }
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(&Bitmap->Image())) {
        FLastStatus = TGpStatus::GenericError;
        FLastErrorText = QStringLiteral("could not paint on the bitmap");
        return;
    }
    FOwnPainter = std::move(painter);
    FPainter = FOwnPainter.get();
}

TGPGraphics::~TGPGraphics()
{
    if (FOwnPainter)
        FOwnPainter->end();
}

TGpStatus TGPGraphics::Keep(TGpStatus Status, const QString& Reason)
{
    if (Status != TGpStatus::Ok) {
        FLastStatus = Status;
        FLastErrorText = Reason;
    }
    return Status;
}

TGpStatus TGPGraphics::CheckDrawable(const TGPImage* Image)
{
    if (!FPainter)
        return Keep(TGpStatus::InvalidParameter, QStringLiteral("no drawing surface"));
    if (!Image || Image->IsNull())
        return Keep(TGpStatus::InvalidParameter, QStringLiteral("no image to draw"));
    return TGpStatus::Ok;
}

TGpStatus TGPGraphics::DrawImageAt(TGPImage* Image, int X, int Y)
{
    if (const TGpStatus status = CheckDrawable(Image); status != TGpStatus::Ok)
        return status;
    // The caller's painter keeps its own state; only the blending is ours.
    FPainter->save();
    FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    FPainter->drawImage(QPoint(X, Y), Image->Image());
    FPainter->restore();
    return TGpStatus::Ok;
}

TGpStatus TGPGraphics::DrawImageInRect(TGPImage* Image, int X, int Y, int Width, int Height)
{
    if (const TGpStatus status = CheckDrawable(Image); status != TGpStatus::Ok)
        return status;
    FPainter->save();
    FPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    // Scaled images are interpolated bilinearly, the imaging library's default.
    FPainter->setRenderHint(QPainter::SmoothPixmapTransform, true);
    FPainter->drawImage(QRectF(float(X), float(Y), float(Width), float(Height)), Image->Image());
    FPainter->restore();
    return TGpStatus::Ok;
}
