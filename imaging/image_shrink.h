#pragma once

#include <QImage>

// Shrinks Image by the whole factor Factor in each direction: every output
// pixel is the average of a Factor × Factor block (the last row and column
// of blocks cover what is left), colours weighted by their alpha so that
// transparent pixels lend no colour. The result is Format_ARGB32 (not
// premultiplied). Only the result is allocated: a photo of any size can be
// brought near a view's size without a full-size copy. Factor 1 or less
// gives the image in Format_ARGB32; a null image gives a null image.
QImage ShrinkByBoxes(const QImage& Image, int Factor);
