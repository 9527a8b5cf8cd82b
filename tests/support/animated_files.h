#pragma once

#include <QByteArray>
#include <QRect>
#include <QRgb>
#include <QSize>
#include <cstdint>
#include <vector>

// Animated GIFs written with giflib itself, frame by frame as the tests
// describe them, so that what is read is never what our writer made.

struct TGifFrameRecipe {
    QRect Area;                       // where the frame lies on the canvas
    std::vector<QRgb> Palette;        // its own colour table (at most 256)
    std::vector<std::uint8_t> Pixels; // indices, row after row
    int Disposal = 1;                 // GIF's: 1 keep, 2 clear to background, 3 restore what it covered
    int Transparent = -1;             // the transparent index, -1 for none
    int DelayCs = 10;
    bool Interlaced = false;
};

// The GIF89a of Frames on a canvas of Canvas; LoopCount -1 writes no looping
// extension, 0 loops forever.
QByteArray MakeAnimatedGif(const QSize& Canvas, const std::vector<TGifFrameRecipe>& Frames, int LoopCount);

// A one-colour frame covering Size.
TGifFrameRecipe SolidGifFrame(const QSize& Size, QRgb Colour, int DelayCs = 10);
