#pragma once

#include <QString>

class QImage;
class QIODevice;
struct TImagePackets;

// Whether this machine's libheif has an AV1 encoder: without one, saving as
// AVIF fails with a reason instead.
bool CanWriteAvif();

// Writes Image as an AVIF file (AV1 through libheif's encoder) into Device,
// its alpha kept. Quality 1..99 encodes lossy at that quality; 100, or -1,
// losslessly (full-resolution colour in an RGB matrix). Packets, when
// given, add the colour profile, EXIF and XMP. Reason receives the failure.
bool WriteAvifImage(const QImage& Image, QIODevice* Device, int Quality, const TImagePackets* Packets,
                    QString* Reason = nullptr);
