#pragma once

#include "imaging/codecs/image_row_feed.h"

#include <QByteArrayList>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <functional>

class QImage;
class QIODevice;
struct TImagePackets;

// JPEG written row by row through libjpeg, with the settings Qt's writer
// uses for an opaque colour image asked for an optimised write: the same
// bytes as QImageWriter("jpeg") with setOptimizedWrite(true) at the same
// quality, resolution and text, without the whole image in memory. Files
// written before this writer existed came from Qt's: they stay the same.

// The picture as the writer asks for it.
struct TJpegRowPicture {
    int Width = 0;
    int Height = 0;
    // Percent; below 0, the quality Qt's writer takes when given none.
    int Quality = -1;
    // The resolution, as QImage keeps it; the file holds it in dots per
    // inch or per centimetre, whichever says it more exactly.
    int DotsPerMeterX = 0;
    int DotsPerMeterY = 0;
    // Each written as a comment segment, in order.
    QByteArrayList Comments;
    // Writes rows [First, First + Count) into Out, Stride words apart, as
    // 0xffRRGGBB words (the top byte is ignored); called down the picture.
    // False stops the writing.
    TImageRowFeed Feed;
};

// Receives the file's bytes in order; false stops the writing.
using TJpegByteSink = std::function<bool(const std::uint8_t* Data, std::size_t Size)>;

// The rows asked of Feed at a time (the last band may be shorter).
inline constexpr int JpegBandRows = 32;

// Writes Picture as JPEG to Sink. False, with Reason, when the sizes are
// outside the format, libjpeg fails, or Feed or Sink stops it (then Reason
// is left as it was, for the caller to tell why).
bool WriteJpegRows(const TJpegRowPicture& Picture, const TJpegByteSink& Sink, QString* Reason = nullptr);

// The same with Packets' EXIF, XMP, profile and IPTC in their segments,
// spliced in as JpegWithPackets does (the file is then gathered in memory
// first); what does not fit is named in Warnings.
bool WriteJpegRows(const TJpegRowPicture& Picture, const TImagePackets* Packets, QStringList* Warnings,
                   const TJpegByteSink& Sink, QString* Reason);

// Image as JPEG at Quality (or Qt's default for -1) into Device, from its
// rows, with its text as comments and Packets as above. An image neither
// Format_RGB32 nor Format_ARGB32 is converted to Format_RGB32 first (alpha
// is ignored, as the savers flatten before).
bool WriteJpegImage(const QImage& Image, QIODevice* Device, int Quality, const TImagePackets* Packets,
                    QStringList* Warnings, QString* Reason);
