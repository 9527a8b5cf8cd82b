#pragma once

#include <QString>

class QImage;
class QIODevice;
struct TImagePackets;

// Whether AVIF can be written here: the optional module lumivex_heif, which
// holds the encoder, loads. Reason receives why not.
bool AvifWriterReady(QString* Reason);

// Writes Image as an AVIF file (AV1 through libheif's encoder, in the module)
// into Device, its alpha kept. Quality 1..99 encodes lossy at that quality;
// 100, or -1, losslessly (full-resolution colour in an RGB matrix). Packets,
// when given, add the colour profile, EXIF and XMP. Reason receives the
// failure: the module missing, or an encoder this libheif lacks among them.
bool WriteAvifImage(const QImage& Image, QIODevice* Device, int Quality, const TImagePackets* Packets,
                    QString* Reason = nullptr);
