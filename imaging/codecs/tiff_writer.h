#pragma once

#include "imaging/codecs/image_row_feed.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <functional>

class QImage;
class QIODevice;
struct TImagePackets;

// TIFF written through libtiff from rows that arrive top to bottom, laid out
// as Qt's writer lays out a Format_ARGB32 image asked for LZW: 8-bit RGBA
// with unassociated alpha, no predictor, strips of 4 MiB of pixels, the
// resolution in whole dots per centimetre when both axes have one, in
// rounded dots per inch otherwise. Files written before this writer existed
// came from Qt's: they stay the same bytes. The file is built in memory
// (libtiff goes back to its header at the end); no image is held beside it.

struct TTiffRowPicture {
    int Width = 0;
    int Height = 0;
    int DotsPerMeterX = 0;
    int DotsPerMeterY = 0;
    // The profile's bytes for the ICC tag; empty: none.
    QByteArray Icc;
    // Writes rows [First, First + Count) into Out, Stride words apart, as
    // 0xAARRGGBB words, not premultiplied; called down the picture. False
    // stops the writing.
    TImageRowFeed Feed;
};

// The rows asked of Feed at a time (the last band may be shorter).
inline constexpr int TiffBandRows = 32;

// The whole file; empty, with Reason, when libtiff refuses the picture
// (a file over 4 GiB, a resolution it cannot hold) or memory runs out, and
// empty with Reason left as it was when Feed stopped it.
QByteArray TiffFromRows(const TTiffRowPicture& Picture, QString* Reason = nullptr);

// The profile a TIFF carries for Packets: the one Qt reads from their ICC
// bytes, as Qt's writer took it (as a colour space). A profile Qt cannot
// read is left out and named in Warnings.
QByteArray TiffProfile(const TImagePackets* Packets, QStringList* Warnings);

// Image (converted to Format_ARGB32 when it is not, as the savers hand it
// over) as TIFF into Device, with Packets' profile as TiffProfile takes it.
bool WriteTiffImage(const QImage& Image, QIODevice* Device, const TImagePackets* Packets,
                    QStringList* Warnings, QString* Reason);
