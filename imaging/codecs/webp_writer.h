#pragma once

#include <QString>
#include <QStringList>

class QImage;
class QIODevice;
struct TImagePackets;
struct WebPConfig;

// The largest side a WebP file can describe (libwebp's WEBP_MAX_DIMENSION).
inline constexpr int MaxWebpSide = 16383;

// The encoder's settings for Quality as WriteWebpImage reads it: lossy at
// 0..99, else lossless and exact (the colour under transparent pixels kept).
// False when the library does not match its headers.
bool WebpConfigFor(int Quality, WebPConfig& Config);

// Writes Image as a WebP file into Device, its alpha kept. Quality below 100
// (0..99) encodes lossy at that quality; 100, or -1 for the default, encodes
// lossless with the colour under fully transparent pixels kept too, so the
// file decodes to exactly Image's pixels. Reason receives the failure, if any.
// Packets, when given, add ICCP, EXIF and XMP chunks; what cannot be added
// is named in Warnings.
bool WriteWebpImage(const QImage& Image, QIODevice* Device, int Quality, QString* Reason = nullptr,
                    const TImagePackets* Packets = nullptr, QStringList* Warnings = nullptr);
