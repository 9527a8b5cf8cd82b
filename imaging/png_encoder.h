#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class QImage;
class QIODevice;

// A chunk written as given between the header and the image data, e.g. a
// bKGD chunk. Type is four ASCII letters; the length and CRC are added.
struct TPngChunk {
    QByteArray Type;
    QByteArray Data;
};

struct TPngEncodeOptions {
    // libdeflate level, 0 (stored) to 12. On photographs 6 gives files within
    // about 3 % of the slow, thorough encoders at a fraction of their time;
    // 4 is twice as fast for 0.5 % more, 10 and up close the gap but cost
    // two to three times as much as 6.
    int Level = 6;
    // Threads compressing bands of rows; 0 means one per hardware thread.
    int Threads = 0;
    // Rows per independently compressed band; 0 chooses from the image size.
    int BandRows = 0;
    // Keep the alpha channel even when every pixel is opaque (otherwise such
    // images are written as RGB, which loses nothing).
    bool ForceAlpha = false;
    QList<TPngChunk> ExtraChunks;
};

// The complete PNG file (8-bit RGBA, or RGB for a fully opaque image), or an
// empty array when the image is null or the options are invalid; Error, when
// given, then receives the reason.
QByteArray EncodePng(const QImage& Image, const TPngEncodeOptions& Options = {}, QString* Error = nullptr);

// Writes the same file to an open, writable device as it is produced. False,
// with the reason in Error, when the image or options are invalid or the
// device refuses data.
bool WritePng(const QImage& Image, QIODevice* Device, const TPngEncodeOptions& Options = {},
              QString* Error = nullptr);
