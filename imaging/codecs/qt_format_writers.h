#pragma once

#include <QString>
#include <QStringList>

class QImage;
class QIODevice;
struct TImagePackets;

// The formats Qt's own writers encode, with the input's colour profile and
// metadata where each has room for them. Reason receives the failure.

// JPEG at Quality (or Qt's default for -1), Huffman tables fitted to the
// picture; Packets' EXIF, XMP, profile and IPTC in their segments, what does
// not fit named in Warnings.
bool WriteJpegImage(const QImage& Image, QIODevice* Device, int Quality, const TImagePackets* Packets,
                    QStringList* Warnings, QString* Reason);

// LZW-compressed TIFF with Packets' profile, when Qt can read the profile
// (its writer takes it only as a colour space); otherwise named in Warnings.
bool WriteTiffImage(const QImage& Image, QIODevice* Device, const TImagePackets* Packets,
                    QStringList* Warnings, QString* Reason);

// BMP as Qt writes it.
bool WriteBmpImage(const QImage& Image, QIODevice* Device, QString* Reason);
