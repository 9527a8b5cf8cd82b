#pragma once

#include <QByteArray>
#include <QImage>

// Real image files made at test time, and the damaged variants that hostile
// inputs bring: cut, mutated, and hand-made headers.

// A noisy picture, so that compressed data is long enough to cut and damage.
QImage NoisyPicture(int Width, int Height);

QByteArray GifOf(const QImage& Picture);
// An 8-bit RLE BMP of Width x Height whose pixel data is Rle as given.
QByteArray Rle8Bmp(int Width, int Height, const QByteArray& Rle);
// A PNG of Width x Height 8-bit RGBA whose image data is the zlib stream
// Stream, split into IDAT chunks of at most 8 KiB, with correct checksums.
QByteArray PngWithStream(int Width, int Height, const QByteArray& Stream);
// The rows of an all-zero Width x Height RGBA picture followed by Extra zero
// bytes, deflated: with Extra large, a bomb.
QByteArray ZeroRowsStream(int Width, int Height, qint64 Extra);

// Offset of the LZW minimum code size byte of a GIF's first frame.
qsizetype GifCodeSizeOffset(const QByteArray& Gif);

// An uncompressed 24-bit TGA, top row first: a format without magic of its
// own, which content detection takes for another.
QByteArray TgaOf(const QImage& Picture);

// An LZW-compressed TIFF of Picture whose compressed strip data is partly
// overwritten with noise.
QByteArray TiffWithDamagedLzw(const QImage& Picture);
