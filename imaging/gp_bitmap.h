#pragma once

#include "imaging/argb.h"
#include "imaging/gp_image.h"

#include <cstdint>

// A pixel-addressable image in 32-bit ARGB, not premultiplied.
class TGPBitmap : public TGPImage
{
  public:
    // A decoded copy of the stream's image file.
    explicit TGPBitmap(QIODevice* Stream, bool UseEmbeddedColorManagement = false);
    explicit TGPBitmap(const QByteArray& Data, bool UseEmbeddedColorManagement = false);
    // A new bitmap, fully transparent (every pixel 0). Only
    // PixelFormat32bppARGB is supported; other formats give InvalidParameter.
    TGPBitmap(int Width, int Height, std::uint32_t Format = PixelFormat32bppARGB);

    // In place; Type is one of the rotate/flip types of argb.h.
    TGpStatus RotateFlip(int Type);

    // Out-of-range coordinates give InvalidParameter and leave Color unchanged.
    TGpStatus PixelAt(int X, int Y, TArgb& Color);
    TGpStatus SetPixelAt(int X, int Y, TArgb Color);

    // Direct access for row-based code. The image stays Format_ARGB32: code
    // writing through it must not change its format or size.
    using TGPImage::Image;
    QImage& Image() { return FImage; }
};
