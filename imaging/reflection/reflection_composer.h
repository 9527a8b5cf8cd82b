#pragma once

#include "imaging/reflection/reflection_parameters.h"

#include <QImage>
#include <QRect>
#include <QSize>

// Height of the saved composition: the picture, then its reflection placed
// Axis rows below the picture's bottom edge and Size rows high. It never cuts
// the picture off, even when the reflection starts inside it.
int ComposedHeight(int PictureHeight, const TReflectionParameters& Parameters);

// Size of the saved composition on the reflection's side: the height above
// counted along the reflection's length (reflection_direction.h), so a
// mirror on the left or right widens the picture instead.
QSize ComposedSize(QSize Picture, const TReflectionParameters& Parameters);

// Where the picture and its reflection, as BuildReflectionImage makes it
// (turned to its side), lie in the composition of ComposedSize: what a
// control or view draws, the reflection first.
struct TComposedPlaces {
    QRect Picture;
    QRect Reflection;
};
TComposedPlaces ComposedPlaces(QSize Picture, const TReflectionParameters& Parameters);

// Below: the picture at (0, 0) over its reflection at (0, H + Axis), as one
// Format_ARGB32 image of ComposedHeight rows. Where only one of them covers a
// pixel it is copied exactly (no premultiplied round trip that would shift
// faint colours); where both do, the picture is blended over the reflection.
// Rows covered by neither are transparent. Null inputs give a null image. The
// opacities play no part: Reflection already carries them.
QImage ComposeReflection(const QImage& Picture, const QImage& Reflection,
                         const TReflectionParameters& Parameters);

// Source-over of two non-premultiplied ARGB values, rounded to nearest.
unsigned BlendArgbOver(unsigned Source, unsigned Destination);
