#include "imaging/image_limits.h"

TGpStatus CheckImageSize(std::int64_t Width, std::int64_t Height, QString* Reason)
{
    const auto refuse = [&](TGpStatus Status) {
        if (Reason)
            *Reason = QStringLiteral("image too large: %1 × %2").arg(Width).arg(Height);
        return Status;
    };
    if (Width <= 0 || Height <= 0) {
        if (Reason)
            *Reason = QStringLiteral("invalid image size: %1 × %2").arg(Width).arg(Height);
        return TGpStatus::InvalidParameter;
    }
    if (Width > MaxDecodedSide || Height > MaxDecodedSide)
        return refuse(TGpStatus::ValueOverflow);
    if (Width * Height > MaxDecodedPixels)
        return refuse(TGpStatus::OutOfMemory);
    return TGpStatus::Ok;
}

QString PixelLimitReason(std::int64_t Width, std::int64_t Height, std::int64_t MaxPixels)
{
    return QStringLiteral("image too large: %1 × %2 is over the limit of %3 pixels")
        .arg(Width)
        .arg(Height)
        .arg(MaxPixels);
}
