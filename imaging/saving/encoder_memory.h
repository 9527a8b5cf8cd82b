#pragma once

#include "imaging/reflection/reflection_parameters.h"
#include "imaging/saving/save_formats.h"

#include <QSize>
#include <cstdint>

// How a format's encoder is driven, where that changes its memory.
enum class TEncoderRoad : std::uint8_t {
    Any,       // the format has one road
    PngBands,  // PNG composed band by band as the encoder asks
    PngAtOnce, // PNG from the whole composition, its file built in memory
    Rows,      // JPEG, BMP and TIFF composed a band of rows at a time
    Lossless,  // WebP and AVIF at quality 100
    Lossy,     // WebP and AVIF below 100
};

// An encoder's working memory for a composition of P pixels:
// P × BytesPerPixel + Constant, beyond the composition itself (what the
// encoder copies, converts, tabulates and builds the file in). Measured
// with GNU time on photo-like pictures of several sizes (the figures are on
// docs/benchmarks.md), rounded up.
struct TEncoderMemory {
    ImageSaveFormat Format;
    TEncoderRoad Road;
    double BytesPerPixel;
    std::int64_t Constant;
};

// The road Format takes at Quality; Rows tells the roads from composed rows
// (PNG's bands, JPEG's, BMP's and TIFF's rows) from the whole-image roads.
TEncoderRoad EncoderRoad(ImageSaveFormat Format, int Quality, bool Rows);

// The table's row for Format on Road (Any for a format with one road).
const TEncoderMemory& EncoderMemory(ImageSaveFormat Format, TEncoderRoad Road);

// Bytes Format's encoder works in at Quality for a composition of Composed.
std::int64_t EncoderWorkingBytes(ImageSaveFormat Format, int Quality, bool Rows, const QSize& Composed);

// The most pixels a composition may have for it and Format's encoder at
// Quality to work within Bytes together (PNG counted on its costlier road,
// with the whole composition); 0 when not even the encoder's constant fits.
std::int64_t PixelsEncodedWithin(ImageSaveFormat Format, int Quality, std::int64_t Bytes);

// Whether a PNG of Picture with Reflection is written in bands, as the
// saving plan decides it before any pixel is read: exactly when the values
// alone make the composition translucent and the side lets its rows be made
// as they come. The reservation counts that road's encoder.
bool PngGoesInBands(const QSize& Picture, const TReflectionParameters& Reflection);

// Whether Format (JPEG, BMP, TIFF) with Reflection is written from composed rows,
// as the saving plan decides it: whenever the side lets its rows be made as
// they come. The reservation then counts no composition.
bool GoesInRows(ImageSaveFormat Format, const TReflectionParameters& Reflection);

// What one picture's save holds at its peak, to be reserved from the run's
// budget before its file is read: the composition, and beside it either the
// decoded picture and its reflection (while composing) or the encoder's
// working memory (while encoding, the picture being freed by then),
// whichever is larger. A JPEG, BMP or TIFF written from rows holds the picture
// and the encoder's working memory, no composition.
std::int64_t SaveReservationBytes(const QSize& Picture, const TReflectionParameters& Reflection,
                                  ImageSaveFormat Format, int Quality);
