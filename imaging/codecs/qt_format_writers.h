#pragma once

#include <QString>
#include <QStringList>

class QImage;
class QIODevice;
struct TImagePackets;

// The formats Qt's own writers encode, with the input's colour profile and
// metadata where each has room for them. Reason receives the failure.

// JPEG and BMP have writers of their own (jpeg_writer.h, bmp_writer.h),
// which write Qt's bytes.

// LZW-compressed TIFF with Packets' profile, when Qt can read the profile
// (its writer takes it only as a colour space); otherwise named in Warnings.
bool WriteTiffImage(const QImage& Image, QIODevice* Device, const TImagePackets* Packets,
                    QStringList* Warnings, QString* Reason);
