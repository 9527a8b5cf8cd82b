#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>

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
    // budget grants (see TThreadBudget); 0 sets no limit of its own. The
    // bands never follow the threads, so the bytes do not depend on them.
    int Threads = 0;
    // Rows per independently compressed band; 0 chooses from the row size
    // and the image height alone.
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

// A picture whose rows arrive band by band, top to bottom, instead of lying
// in one image: a decoder's or a composition's output.
struct TPngRowPicture {
    int Width = 0;
    int Height = 0;
    // False promises that every pixel is opaque: the file is then RGB. The
    // encoder cannot look ahead at rows that do not exist yet.
    bool Alpha = true;
    // Writes rows [First, First + Count) as 0xAARRGGBB words (not
    // premultiplied), Stride words apart, starting at Rows. Called once per
    // band, in increasing order and never two at a time, from whichever
    // thread compresses that band. False stops the encoding: the feed keeps
    // its own reason.
    std::function<bool(int First, int Count, std::uint32_t* Rows, std::size_t Stride)> Feed;
};

// Writes the picture to Sink as it is produced; false (the reason in Error,
// unless the feed stopped) when the options are invalid, the feed stops, or
// the sink refuses data. Memory stays at a few bands per thread, whatever the
// height.
using TPngByteSink = std::function<bool(const std::uint8_t* Data, std::size_t Size)>;
bool WritePngRows(const TPngRowPicture& Picture, const TPngByteSink& Sink,
                  const TPngEncodeOptions& Options = {}, QString* Error = nullptr);

// The rows per band for rows of RowBytes samples and a picture Height rows
// high, when the options leave the choice to the encoder.
int PngBandRows(std::size_t RowBytes, int Height);
