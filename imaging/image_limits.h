#pragma once

#include "imaging/gp_status.h"

#include <QString>
#include <cstdint>

// Limits on the images the program makes room for, whether decoded from a
// file, created as a bitmap or composed with a reflection. A 100-megapixel
// photo fits; anything larger than MaxDecodedPixels, or with a side above
// MaxDecodedSide, is refused before any pixel memory is allocated (a file's
// from its header).
inline constexpr std::int64_t MaxDecodedPixels = 250'000'000;
inline constexpr int MaxDecodedSide = 65535;
// The largest image file read into memory: no format we decode needs more
// bytes than the largest picture has pixels, plus room for metadata.
inline constexpr std::int64_t MaxEncodedBytes = MaxDecodedPixels * 4 + (64 << 20);

// The status for an image of Width x Height pixels against the limits above
// (Ok when it may be allocated); Reason receives the refusal text.
TGpStatus CheckImageSize(std::int64_t Width, std::int64_t Height, QString* Reason = nullptr);

// The refusal of a picture of Width x Height pixels over a caller's own
// limit of MaxPixels (the command line's --max-pixels).
QString PixelLimitReason(std::int64_t Width, std::int64_t Height, std::int64_t MaxPixels);
