#include "toolkit/graphics/bitmap.h"

#include "toolkit/graphics/bmp_codec.h"
#include "toolkit/graphics/canvas.h"

#include <QIODevice>
#include <QPainter>
#include <cstring>
#include <stdexcept>

namespace
{

QImage NewImage(int Width, int Height)
{
    QImage image(Width, Height, QImage::Format_ARGB32);
    if (image.isNull())
        throw std::runtime_error("Could not allocate memory for a bitmap of " + std::to_string(Width) +
                                 " x " + std::to_string(Height) + " pixels");
    image.setDotsPerMeterX(BmpDefaultDotsPerMeter);
    image.setDotsPerMeterY(BmpDefaultDotsPerMeter);
    return image;
}

} // namespace

TBitmap::TBitmap(QObject* parent) : TGraphic(parent), FCanvas(std::make_unique<TCanvas>(&FImage)) {}

TBitmap::~TBitmap()
{
    FCanvas->ReleasePainter();
}

QImage& TBitmap::Image()
{
    return FImage;
}

void TBitmap::SetSize(int NewWidth, int NewHeight)
{
    NewWidth = qMax(0, NewWidth);
    NewHeight = qMax(0, NewHeight);
    if (NewWidth == FWidth && NewHeight == FHeight)
        return;
    if (qint64(NewWidth) * NewHeight > BmpMaxPixels)
        throw std::runtime_error("Could not allocate memory for a bitmap of " + std::to_string(NewWidth) +
                                 " x " + std::to_string(NewHeight) + " pixels");
    FCanvas->ReleasePainter();
    QImage resized;
    if (NewWidth > 0 && NewHeight > 0) {
        resized = NewImage(NewWidth, NewHeight);
        resized.fill(0xFFFFFFFFu);
        if (!FImage.isNull()) {
            resized.setDotsPerMeterX(FImage.dotsPerMeterX());
            resized.setDotsPerMeterY(FImage.dotsPerMeterY());
            const int rows = qMin(NewHeight, FImage.height());
            const int bytes = qMin(NewWidth, FImage.width()) * 4;
            for (int y = 0; y < rows; ++y)
                std::memcpy(resized.scanLine(y), FImage.constScanLine(y), size_t(bytes));
        }
    }
    FImage = resized;
    FWidth = NewWidth;
    FHeight = NewHeight;
    Changed();
}

void TBitmap::SetImage(const QImage& Image)
{
    FCanvas->ReleasePainter();
    if (Image.isNull()) {
        FImage = QImage();
        FWidth = FHeight = 0;
    } else {
        FImage = Image.convertToFormat(QImage::Format_ARGB32);
        if (FImage.isNull())
            throw std::runtime_error("Could not allocate memory for a bitmap");
        FWidth = FImage.width();
        FHeight = FImage.height();
    }
    Changed();
}

void TBitmap::SetTransparent(bool Value)
{
    if (FTransparent == Value)
        return;
    FTransparent = Value;
    Changed();
}

TColor TBitmap::TransparentColor() const
{
    if (FFixedTransparentColor)
        return FTransparentColor;
    if (IsEmpty() || FImage.isNull())
        return clNone;
    const QRgb pixel = FImage.pixel(0, FImage.height() - 1);
    return RGBToColor(qRed(pixel), qGreen(pixel), qBlue(pixel));
}

void TBitmap::SetTransparentColor(TColor Value)
{
    FFixedTransparentColor = true;
    FTransparentColor = Value;
    Changed();
}

void TBitmap::SetAutoTransparentColor()
{
    FFixedTransparentColor = false;
    Changed();
}

void TBitmap::DrawInRect(TCanvas& Canvas, const QRect& Rect)
{
    if (IsEmpty() || FImage.isNull() || Rect.isEmpty())
        return;
    if (!FTransparent) {
        Canvas.DrawImage(Rect, FImage, false);
        return;
    }
    if (TransparentColor() == clNone) {
        Canvas.DrawImage(Rect, FImage, false);
        return;
    }
    // Pixels of the key colour become fully transparent and the rest are
    // drawn over the canvas, so the canvas keeps its pixels where the key was.
    const TColor key = ColorToRGB(TransparentColor());
    QImage masked = FImage.copy();
    const QRgb keyRgb = qRgb(key & 0xFF, (key >> 8) & 0xFF, (key >> 16) & 0xFF) & 0x00FFFFFFu;
    for (int y = 0; y < masked.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(masked.scanLine(y));
        for (int x = 0; x < masked.width(); ++x)
            if ((line[x] & 0x00FFFFFFu) == keyRgb)
                line[x] = 0;
    }
    Canvas.DrawImage(Rect, masked, true);
}

QByteArray TBitmap::SaveToBmp() const
{
    if (IsEmpty())
        return {};
    return EncodeBmp(FImage);
}

void TBitmap::SaveStream(QIODevice* Stream)
{
    if (!Stream)
        return;
    const QByteArray bytes = SaveToBmp();
    if (!bytes.isEmpty() && Stream->write(bytes) != bytes.size())
        throw std::runtime_error("Could not write the bitmap: " + Stream->errorString().toStdString());
}

void TBitmap::LoadStream(QIODevice* Stream)
{
    if (!Stream)
        return;
    QString reason;
    const QImage image = DecodeBmp(Stream->readAll(), &reason);
    if (image.isNull()) {
        const bool wasEmpty = IsEmpty();
        FCanvas->ReleasePainter();
        FImage = QImage();
        FWidth = FHeight = 0;
        if (!wasEmpty)
            Changed();
        throw std::runtime_error("Bitmap image is not valid: " + reason.toStdString());
    }
    SetImage(image);
}

void TBitmap::CopyFrom(const TPersistent* Source)
{
    if (Source == this)
        return;
    if (!Source) {
        SetImage(QImage());
        return;
    }
    if (const auto* other = qobject_cast<const TBitmap*>(Source)) {
        FCanvas->ReleasePainter();
        FImage = other->FImage.copy();
        FWidth = other->FWidth;
        FHeight = other->FHeight;
        FTransparent = other->FTransparent;
        FFixedTransparentColor = other->FFixedTransparentColor;
        FTransparentColor = other->FTransparentColor;
        Changed();
        return;
    }
    if (const auto* graphic = qobject_cast<const TGraphic*>(Source)) {
        auto* drawable = const_cast<TGraphic*>(graphic);
        if (drawable->IsEmpty()) {
            SetImage(QImage());
            return;
        }
        QImage image = NewImage(qMax(1, drawable->Width()), qMax(1, drawable->Height()));
        image.fill(0xFFFFFFFFu);
        {
            TCanvas canvas(&image);
            drawable->DrawInRect(canvas, image.rect());
        }
        SetImage(image);
    }
}
