#pragma once

#include "toolkit/graphics/color.h"
#include "toolkit/graphics/graphic.h"

#include <QImage>
#include <memory>

class TCanvas;

// A device-independent 32-bit bitmap (QImage::Format_ARGB32) with a canvas of
// its own. In transparent mode the pixels of the transparent colour (by
// default the colour of the bottom-left pixel) are left out when the bitmap
// is drawn on a canvas; otherwise drawing is a plain copy of the pixels.
//
// Stored form (SaveStream): the BMP file of its pixels (see EncodeBmp, which
// keeps the alpha when any pixel is not opaque); an empty bitmap writes
// nothing.
class TBitmap : public TGraphic
{
    Q_OBJECT
  public:
    explicit TBitmap(QObject* parent = nullptr);
    ~TBitmap() override;

    bool IsEmpty() const override { return FWidth <= 0 || FHeight <= 0; }
    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    // Resizing keeps the pixels where old and new size overlap; new pixels are
    // opaque white.
    void SetWidth(int Value) override { SetSize(Value, FHeight); }
    void SetHeight(int Value) override { SetSize(FWidth, Value); }
    void SetSize(int NewWidth, int NewHeight);

    TCanvas* Canvas() const { return FCanvas.get(); }
    // The pixels; after changing the image's size through this reference,
    // call SetSize or CopyFrom rather than relying on Width and Height.
    QImage& Image();
    const QImage& Image() const { return FImage; }
    // Replaces the pixels with Image converted to ARGB32.
    void SetImage(const QImage& Image);

    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    // The colour left out in transparent mode: the bottom-left pixel's
    // colour unless one was set with SetTransparentColor; clNone when empty.
    TColor TransparentColor() const;
    void SetTransparentColor(TColor Value);
    // Back to the automatic (bottom-left pixel) transparent colour.
    void SetAutoTransparentColor();

    void DrawInRect(TCanvas& Canvas, const QRect& Rect) override;

    // Reads a BMP file from the stream's current position. On data that is
    // not a readable BMP file the bitmap becomes empty and std::runtime_error
    // is thrown.
    void LoadStream(QIODevice* Stream) override;
    void SaveStream(QIODevice* Stream) override;
    // The BMP file form of the bitmap (empty for an empty bitmap).
    QByteArray SaveToBmp() const;

    // Accepts another TBitmap (pixels and transparency) or any other graphic,
    // which is drawn into a bitmap of its size; nullptr empties the bitmap.
    void CopyFrom(const TPersistent* Source) override;

  private:
    QImage FImage;
    std::unique_ptr<TCanvas> FCanvas;
    int FWidth = 0;
    int FHeight = 0;
    bool FTransparent = false;
    bool FFixedTransparentColor = false;
    TColor FTransparentColor = clNone;
};
