#pragma once

#include "imaging/reflection/reflection_parameters.h"

#include <QImage>
#include <QRect>
#include <QSize>
#include <QStringView>
#include <array>
#include <optional>

// A reflection on side D of picture P is T⁻¹(below(T(P))), where T brings
// side D to the bottom:
//
//   below  identity
//   above  vertical flip                        (its own inverse)
//   right  transpose                            (its own inverse)
//   left   transpose after a horizontal flip:   T(P)(x, y) = P(W - 1 - y, x);
//          T⁻¹ is the horizontal flip after a transpose
//
// Every value keeps its meaning along the reflection's length, so for left
// and right the size and the axis count columns. Everything that reflects
// is made below; this unit turns pictures and places to and from that side.

struct TReflectionDirectionInfo {
    TReflectionDirection Direction;
    const char* Name; // the command line's word and the docs' name
    bool Sideways;    // T swaps width and height
};

inline constexpr std::array<TReflectionDirectionInfo, 4> ReflectionDirections{{
    {TReflectionDirection::Below, "below", false},
    {TReflectionDirection::Above, "above", false},
    {TReflectionDirection::Left, "left", true},
    {TReflectionDirection::Right, "right", true},
}};

const TReflectionDirectionInfo& ReflectionDirectionInfo(TReflectionDirection Direction);
// The direction called Name (as ReflectionDirections spells it); none for
// any other word.
std::optional<TReflectionDirection> ReflectionDirectionNamed(QStringView Name);

// Whether the rows of a composition on this side can be made top to bottom
// while the picture's rows arrive: below and above always (above keeps the
// rows its reflection is made from), left and right when each output row
// needs only its own input row, which a blur or a squash across the
// reflection's length does not allow.
bool ComposesRowByRow(const TReflectionParameters& Parameters);

// Size after T (or T⁻¹, the same for sizes).
QSize TurnedSize(QSize Size, TReflectionDirection Direction);
// T(Picture) as Format_ARGB32 (or premultiplied, when it is), pixels
// copied exactly; Below gives the picture as it is.
QImage TurnedToBelow(const QImage& Picture, TReflectionDirection Direction);
// T⁻¹(Image), pixels copied exactly.
QImage TurnedBack(const QImage& Image, TReflectionDirection Direction);
// Where Area of an image of size Frame, as made below, lies after T⁻¹.
QRect TurnedBackArea(const QRect& Area, QSize Frame, TReflectionDirection Direction);
// The other way: where Area of the turned-back image lies in the image of
// size Frame made below.
QRect TurnedArea(const QRect& Area, QSize Frame, TReflectionDirection Direction);

// The same values on the bottom side: what is made of T(P).
TReflectionParameters AsBelow(const TReflectionParameters& Parameters);
