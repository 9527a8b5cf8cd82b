#pragma once

#include "imaging/reflection/reflection_parameters.h"

#include <QImage>

// The fading mirror shared by both reflection controls and the command line;
// its rows are made in reflection_rows.h.

// The reflection of Picture: same width and height, row y is the mirror of
// picture row H - 1 - y with its alpha scaled by the row opacity. Colour
// channels are kept; fully transparent source pixels stay 0. The result is
// Format_ARGB32 (not premultiplied); a null picture gives a null image. Axis
// plays no part: it only places the reflection. With a blur or a squash the
// reflection is the styled one (reflection_style.h), as high as the squashed
// mirror. On another side (reflection_direction.h) it is T⁻¹ of the
// reflection of T(Picture): its row or column next to the picture is the
// one that lies against the picture's edge.
QImage BuildReflectionImage(const QImage& Picture, const TReflectionParameters& Parameters);
