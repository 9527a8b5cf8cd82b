#pragma once

#include "imaging/codecs/png_checks.h"

#include <QByteArray>
#include <cstdint>
#include <memory>
#include <vector>

class TZlibInflater;

// Decodes a PNG file a row at a time, top to bottom, inflating its image
// data once and checking it on the way as FindPngDamage does, so that a
// picture can flow into its reflection and encoder without ever lying whole
// in memory. It takes only what it decodes exactly as the whole-picture
// decoder (DecodeImage) does. Anything else, which includes interlaced and
// damaged files, makes it decline, at the start or mid-way; the caller then
// takes the whole-picture road, which refuses or keeps the file as it always
// has.
class TPngRowDecoder
{
  public:
    // Data must stay unchanged while the decoder lives.
    explicit TPngRowDecoder(const QByteArray& Data);
    ~TPngRowDecoder();
    TPngRowDecoder(const TPngRowDecoder&) = delete;
    TPngRowDecoder& operator=(const TPngRowDecoder&) = delete;

    // Whether the rows can be read; false from the start for a file that
    // only the whole-picture road handles.
    bool Streamable() const { return FStreamable; }
    int Width() const { return int(FLayout.Width); }
    int Height() const { return int(FLayout.Height); }
    // False when every pixel is opaque whatever the file holds.
    bool MayHaveAlpha() const;

    // The next row as Width() 0xAARRGGBB words (not premultiplied). False
    // when the decoder declines from here on.
    bool ReadRow(std::uint32_t* Out);
    // After the last row: the image data ends there, soundly.
    bool Finish();

  private:
    bool GiveNextPiece();
    bool Inflate(std::uint8_t* Out, std::size_t Size);
    bool ConvertRow(const std::uint8_t* Samples, std::uint32_t* Out) const;
    void Decline() { FStreamable = false; }

    const QByteArray& FData;
    TPngLayout FLayout;
    bool FStreamable = false;
    std::unique_ptr<TZlibInflater> FInflate;
    std::size_t FPiece = 0;
    int FRow = 0;
    std::size_t FRowBytes = 0;
    int FBpp = 1;
    std::vector<std::uint8_t> FCurrent, FAbove; // filter byte + samples
    std::vector<std::uint32_t> FColours;        // a palette's or low-depth grey's colours by index
    int FKeyed[3] = {-1, -1, -1};               // tRNS colour of a grey or RGB picture
};
