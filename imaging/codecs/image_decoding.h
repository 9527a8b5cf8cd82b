#pragma once

#include "imaging/gp_status.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <cstdint>

class QIODevice;

// Limits on what is decoded. A 100-megapixel photo decodes; anything larger
// than MaxDecodedPixels, or with a side above MaxDecodedSide, is refused from
// its header before any pixel memory is allocated.
inline constexpr std::int64_t MaxDecodedPixels = 250'000'000;
inline constexpr int MaxDecodedSide = 65535;
// The largest image file read into memory: no format we decode needs more
// bytes than the largest picture has pixels, plus room for metadata.
inline constexpr std::int64_t MaxEncodedBytes = MaxDecodedPixels * 4 + (64 << 20);

// The result of decoding an image file's bytes.
struct TDecodedImage {
    QImage Image;      // Format_ARGB32 (0xAARRGGBB, not premultiplied); null on failure
    QByteArray Format; // the detected file format as QImageReader names it ("png", "jpeg", ...)
    TGpStatus Status = TGpStatus::GenericError;
    QString Reason; // a readable reason when Status is not Ok
};

// Decodes PNG, JPEG, GIF (first frame), BMP, TIFF, icons and whatever else
// Qt's readers know. Photos carrying an orientation tag come out upright.
// Damaged, truncated and oversized files give a failure status, never a crash.
TDecodedImage DecodeImage(const QByteArray& Data);
TDecodedImage DecodeImage(QIODevice* Device);

// The status for an image of Width x Height pixels against the limits above
// (Ok when it may be allocated); Reason receives the refusal text.
TGpStatus CheckImageSize(std::int64_t Width, std::int64_t Height, QString* Reason = nullptr);
