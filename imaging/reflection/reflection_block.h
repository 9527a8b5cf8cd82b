#pragma once

#include <QImage>
#include <QRect>

// One rectangle of a picture's reflection, built on its own: Area is in
// reflection coordinates (row 0 is the mirrored bottom row) and is cut to the
// picture's size. Each pixel equals that of BuildReflectionImage at the same
// place, premultiplied for drawing. Only the rows the fade leaves visible
// (below Size) are computed; the rest stay transparent. A null picture or an
// area outside it gives a null image.
QImage BuildReflectionBlock(const QImage& Picture, int Size, int OpacityStart, int OpacityEnd,
                            const QRect& Area);
