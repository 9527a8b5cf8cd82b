#pragma once

#include <cstddef>
#include <cstdint>

class QImage;

// The picture drawn over white, opaque: what formats without alpha carry.
QImage FlattenOverWhite(const QImage& Image);

// The same where Image lies, band by band, leaving it Format_RGB32 with the
// pixels FlattenOverWhite gives: a large picture is not held twice. Image
// must be the only holder of its pixels (it detaches otherwise).
void FlattenOverWhiteInPlace(QImage& Image);

// The same for Count rows of Width 0xAARRGGBB words, Stride words apart,
// where they lie: each becomes the opaque 0xffRRGGBB FlattenOverWhite gives
// for it, so a composition flattened row band by row band is the whole one
// flattened.
void FlattenRowsOverWhite(std::uint32_t* Rows, int Width, int Count, std::size_t Stride);

// The resolution QImage gives a new image, which the flattened copy carries
// into the file.
int FreshDotsPerMeterX();
int FreshDotsPerMeterY();
