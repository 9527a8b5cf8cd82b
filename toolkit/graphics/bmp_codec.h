#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Pixels per meter written when the image has none: 96 pixels per inch.
constexpr int BmpDefaultDotsPerMeter = 3780;
// Larger bitmaps are refused rather than allocated.
constexpr qint64 BmpMaxPixels = qint64(1) << 28;

// The BMP file of an image (empty for a null image): a 14-byte file
// header, then
// - when every pixel is opaque: a 40-byte info header, 24 bits per pixel,
//   BI_RGB, bottom-up rows padded to 4 bytes;
// - when any alpha is below 255: a 108-byte version 4 info header, 32 bits
//   per pixel, BI_BITFIELDS with the masks 00FF0000, 0000FF00, 000000FF,
//   FF000000 so that readers keep the alpha, bottom-up rows.
// Throws std::runtime_error when the file would pass the format's 2 GiB.
QByteArray EncodeBmp(const QImage& Image);

// The image of a BMP file, or a null image with the reason in Reason when the
// data is not a whole, readable BMP file of at most BmpMaxPixels pixels.
QImage DecodeBmp(QByteArray Bytes, QString* Reason);
