#pragma once

#include "imaging/codecs/image_row_feed.h"

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>

class QImage;
class QIODevice;

// An opaque picture as the BMP Qt's writer makes of a Format_RGB32 image
// (24 bits a pixel, bottom-up rows padded to 4 bytes, the resolution in
// pixels per metre), filled from rows that arrive top to bottom. The rows
// go straight to their place in the file, which is built whole in memory:
// no image is held beside it.

struct TBmpRowPicture {
    int Width = 0;
    int Height = 0;
    int DotsPerMeterX = 0;
    int DotsPerMeterY = 0;
    // Writes rows [First, First + Count) into Out, Stride words apart, as
    // 0xffRRGGBB words (the top byte is ignored); called down the picture.
    // False stops the writing.
    TImageRowFeed Feed;
};

// The rows asked of Feed at a time (the last band may be shorter).
inline constexpr int BmpBandRows = 32;

// The whole file; empty, with Reason, when it would pass the format's
// 2 GiB or memory runs out, and empty with Reason left as it was when Feed
// stopped it.
QByteArray BmpFromRows(const TBmpRowPicture& Picture, QString* Reason = nullptr);

// Image (converted to Format_RGB32 when it is not, alpha ignored: the
// savers flatten first) as BMP into Device.
bool WriteBmpImage(const QImage& Image, QIODevice* Device, QString* Reason);
