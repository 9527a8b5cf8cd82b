#pragma once

#include "imaging/reflection/reflection_parameters.h"

#include <QImage>
#include <QRect>

// One rectangle of a picture's reflection, built on its own: Area is in
// reflection coordinates (row 0 is the mirrored bottom row) and is cut to the
// picture's size. Each pixel equals that of BuildReflectionImage at the same
// place, premultiplied for drawing. Only the rows the fade leaves visible
// (below the size) are computed; the rest stay transparent. A null picture or an
// area outside it gives a null image. A styled reflection's area is cut to the
// squashed mirror's height instead of the picture's.
QImage BuildReflectionBlock(const QImage& Picture, const TReflectionParameters& Parameters,
                            const QRect& Area);
