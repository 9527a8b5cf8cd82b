#pragma once

#include "imaging/codecs/gif_quantiser.h"

#include <QBuffer>
#include <QByteArray>
#include <QSize>
#include <QString>
#include <memory>
#include <unordered_map>
#include <vector>

class TGifOutput;
struct ColorMapObject;

// Writes frames of one size as an animated GIF89a: each flattened over
// white and reduced to 256 colours exactly as a single-frame GIF is, shown
// for its delay (in hundredths of a second, as GIF counts), looping as the
// input did. The frames are encoded as they come, each with its own colour
// table; while the colours of all of them fit in one table their indices
// are kept too, and the file written with one table instead when that is
// smaller. The same frames always give the same bytes.
class TGifAnimationWriter
{
  public:
    // Plays: how many times the animation plays, 0 forever; once is a file
    // without the looping extension, which counts the repeats after it.
    TGifAnimationWriter(const QSize& Canvas, int Plays);
    ~TGifAnimationWriter();
    TGifAnimationWriter(const TGifAnimationWriter&) = delete;
    TGifAnimationWriter& operator=(const TGifAnimationWriter&) = delete;

    bool Add(const QImage& Frame, int DelayMs, QString* Reason);
    // The two halves of Add: the frame reduced to its colours (safe on any
    // thread, several at once; empty when memory runs out), then written.
    static TPalettePicture Reduce(const QImage& Frame);
    bool Add(TPalettePicture Reduced, const QSize& Size, int DelayMs, QString* Reason);
    // The whole file.
    bool Finish(QByteArray& File, QString* Reason);

  private:
    struct TFrame {
        TPalettePicture Picture;
        int Delay = 0; // hundredths of a second
    };
    // Opens a stream into Buffer and writes the screen and the looping.
    bool Start(TGifOutput& Output, const ColorMapObject* Global, QString* Reason) const;
    bool PutFrame(TGifOutput& Output, const TPalettePicture& Picture, int Delay, bool LocalTable,
                  QString* Reason) const;
    // The file with one table for every frame, from the kept indices.
    bool OneTableFile(QByteArray& File, QString* Reason) const;
    void Remember(TFrame Frame);

    QSize FCanvas;
    int FPlays;
    QBuffer FBuffer;
    std::unique_ptr<TGifOutput> FOutput;
    bool FStarted = false;
    bool FFailed = false;
    // The colours of all frames in the order they first appear, while they fit in 256.
    std::unordered_map<std::uint32_t, std::uint8_t> FShared;
    std::vector<std::array<std::uint8_t, 3>> FSharedPalette;
    bool FSharedFits = true;
    std::vector<TFrame> FKept;
};
