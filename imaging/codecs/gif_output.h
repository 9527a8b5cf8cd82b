#pragma once

#include "imaging/codecs/gif_quantiser.h"

#include <QString>
#include <gif_lib.h>

class QIODevice;

// giflib's error as a sentence.
QString GifErrorText(int Error);

// An encoder writing into a device, closed on every path (giflib frees it
// even when closing fails).
class TGifOutput
{
  public:
    explicit TGifOutput(QIODevice* Device);
    ~TGifOutput();
    TGifOutput(const TGifOutput&) = delete;
    TGifOutput& operator=(const TGifOutput&) = delete;
    GifFileType* Gif() const { return FGif; }
    // The failure to open, or the last one of the encoder.
    QString Error() const;
    // Closes the file, writing its trailer.
    bool Close(QString* Reason);

  private:
    GifFileType* FGif = nullptr;
    int FOpenError = 0;
};

// A colour table holding Palette (its size rounded up to a power of two,
// unused entries black); nullptr when memory runs out. Free it with
// GifFreeMapObject.
ColorMapObject* MakeGifColourMap(const std::vector<std::array<std::uint8_t, 3>>& Palette);

// Writes Indices (Width per row) as one image of the given place and size,
// telling Progress, when given, the part of the lines written after each
// one; false from it stops the writing.
bool PutGifImage(GifFileType* Gif, int Width, int Height, const std::uint8_t* Indices,
                 const ColorMapObject* LocalMap, const TGifProgress& Progress = {});
