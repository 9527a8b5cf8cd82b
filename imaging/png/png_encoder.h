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

// How each band of filtered rows is deflated.
enum class TPngCoding {
    // Literals and runs unless a sample of the band shows that matches pay
    // (drawings, text, repeated patterns); then the smaller of both.
    Auto,
    Matches,        // libdeflate at Level
    LiteralsAndRuns // Huffman-coded bytes and runs of one byte only
};

struct TPngEncodeOptions {
    // libdeflate level, 0 (stored, which also skips the literal coding) to
    // 12, for bands where matches pay. Photographs are coded as literals and
    // runs: 1 to 2 % smaller than zlib's thorough filtered setting and 3 to
    // 5 % smaller than libdeflate's level 6, in about a quarter of its time.
    int Level = 6;
    TPngCoding Coding = TPngCoding::Auto;
    // Threads compressing bands of rows at most, never more than the thread
    // budget grants (see TThreadBudget); 0 sets no limit of its own. When
    // BandRows is 0 the bands are sized for this many threads (0: one per
    // hardware thread), whatever the budget, so the bytes do not depend on it.
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
