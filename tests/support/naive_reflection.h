#pragma once

#include <QImage>

// The fade written the plain way, pixel by pixel, straight from its
// definition; the fast builder must agree with it on every pixel.
QImage NaiveReflection(const QImage& Picture, int Size, int OpacityStart, int OpacityEnd);

// Fails the calling test at the first pixel where the two images differ.
void ExpectSameBits(const QImage& Actual, const QImage& Expected);
