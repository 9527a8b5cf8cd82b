#include "imaging/gp_bitmap.h"

#include "imaging/gp_raw_format.h"
#include "imaging/image_limits.h"

#include <QTransform>

TGPBitmap::TGPBitmap(QIODevice* Stream, bool UseEmbeddedColorManagement)
    : TGPImage(Stream, UseEmbeddedColorManagement)
{
}

TGPBitmap::TGPBitmap(const QByteArray& Data, bool UseEmbeddedColorManagement)
    : TGPImage(Data, UseEmbeddedColorManagement)
{
}

TGPBitmap::TGPBitmap(int Width, int Height, std::uint32_t Format)
{
    if (Format != PixelFormat32bppARGB) {
        Construct(TGpStatus::InvalidParameter,
                  QStringLiteral("unsupported pixel format 0x%1").arg(Format, 8, 16, QLatin1Char('0')));
        return;
    }
    QString reason;
    const TGpStatus sizeStatus = CheckImageSize(Width, Height, &reason);
    if (sizeStatus != TGpStatus::Ok) {
        Construct(sizeStatus, reason);
        return;
    }
    QImage image(Width, Height, QImage::Format_ARGB32);
    if (image.isNull()) {
        Construct(TGpStatus::OutOfMemory,
                  QStringLiteral("out of memory for a %1 × %2 bitmap").arg(Width).arg(Height));
        return;
    }
    image.fill(0);
    FImage = std::move(image);
    FRawFormat = RawFormatIdentifier(ImageRawFormat::RawMemoryBmp);
    Construct(TGpStatus::Ok);
}

TGpStatus TGPBitmap::RotateFlip(int Type)
{
    if (FImage.isNull())
        return Keep(TGpStatus::InvalidParameter, QStringLiteral("no image"));
    if (Type < RotateNoneFlipNone || Type > Rotate270FlipX)
        return Keep(TGpStatus::InvalidParameter, QStringLiteral("unknown rotate/flip type %1").arg(Type));

    // Types 4..7 are types 0..3 followed by a horizontal flip.
    const int quarterTurns = Type & 3;
    const bool flipX = Type >= RotateNoneFlipX;
    QImage result = FImage;
    if (quarterTurns != 0)
        result = result.transformed(QTransform().rotate(90.0 * quarterTurns));
    if (flipX)
        result.mirror(true, false);
    if (result.isNull())
        return Keep(TGpStatus::OutOfMemory, QStringLiteral("out of memory rotating the bitmap"));
    if (result.format() != QImage::Format_ARGB32)
        result.convertTo(QImage::Format_ARGB32);
    FImage = std::move(result);
    return TGpStatus::Ok;
}

TGpStatus TGPBitmap::PixelAt(int X, int Y, TArgb& Color)
{
    if (FImage.isNull())
        return Keep(TGpStatus::InvalidParameter, QStringLiteral("no image"));
    if (X < 0 || Y < 0 || X >= FImage.width() || Y >= FImage.height())
        return Keep(TGpStatus::InvalidParameter,
                    QStringLiteral("pixel (%1, %2) outside the bitmap").arg(X).arg(Y));
    Color = reinterpret_cast<const TArgb*>(FImage.constScanLine(Y))[X];
    return TGpStatus::Ok;
}

TGpStatus TGPBitmap::SetPixelAt(int X, int Y, TArgb Color)
{
    if (FImage.isNull())
        return Keep(TGpStatus::InvalidParameter, QStringLiteral("no image"));
    if (X < 0 || Y < 0 || X >= FImage.width() || Y >= FImage.height())
        return Keep(TGpStatus::InvalidParameter,
                    QStringLiteral("pixel (%1, %2) outside the bitmap").arg(X).arg(Y));
    reinterpret_cast<TArgb*>(FImage.scanLine(Y))[X] = Color;
    return TGpStatus::Ok;
}
