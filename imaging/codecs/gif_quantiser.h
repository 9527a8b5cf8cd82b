#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

class QImage;

// A picture reduced to at most 256 colours for GIF.
struct TPalettePicture {
    std::vector<std::array<std::uint8_t, 3>> Palette; // red, green, blue; at most 256
    std::vector<std::uint8_t> Indices;                // one per pixel, row after row
};

// Reduces Flat (Format_RGB32, opaque) to a palette that serves the picture: its
// own colours when it has no more than 256; otherwise a median cut of its
// colour histogram that splits where the error drops most, refined by a
// few rounds of k-means, and the pixels mapped with Floyd-Steinberg error
// diffusion, so skies and fades show fine grain instead of bands. Plain
// integer work in one thread: the same picture always gives the same bytes.
// Empty when memory runs out.
TPalettePicture QuantiseForGif(const QImage& Flat);

// Told how far the work has got, 0..1, between its passes and after each
// row of the long ones; false stops the work.
using TGifProgress = std::function<bool(double Done)>;

// The same, telling Progress how far it is; empty as well when Progress
// stopped it.
TPalettePicture QuantiseForGif(const QImage& Flat, const TGifProgress& Progress);
