#pragma once

#include "imaging/reflection/reflection_parameters.h"

#include <QImage>
#include <QRect>
#include <QSize>
#include <cstdint>
#include <functional>

// A reflection beyond the classic fade: the mirror is squashed to Scale % of
// its height, blurred more the farther a row lies from the object, then faded
// as the classic reflection is. docs/reflection-styles.md defines each step
// to the integer; in short:
//
// 1. Mirror: mirror row m is picture row H - 1 - m, premultiplied exactly in
//    units of 1/65025 (colour * alpha, alpha * 255), so transparent pixels
//    carry no colour into what follows.
// 2. Squash to Hs = max(1, round(H * Scale / 100)) rows: each squashed row is
//    the area average of the mirror rows it covers.
// 3. Blur the n = min(Size, Hs) rows that can show: the radius grows linearly
//    from 0 at row 0 to Blur at row n - 1; three horizontal, then three
//    vertical extended-box passes of half-width radius / 3 (in 1/64 pixel),
//    edges clamped.
// 4. Un-premultiply, then fade each row with the classic row opacity.
//
// With Blur 0 and Scale 100 every step is the identity and the result is
// the classic reflection's, byte for byte.

// The functions below clamp a blur or scale outside its range
// (reflection_ranges.h) into it.

// Whether Parameters ask for a blur or a squash.
bool HasReflectionStyle(const TReflectionParameters& Parameters);

// Rows of the squashed mirror of a picture PictureHeight rows high: the
// picture's height at scale 100, never less than one row.
int SquashedMirrorHeight(int PictureHeight, const TReflectionParameters& Parameters);

// The reflection rows that can show: min(Size, squashed height), none for a
// size of 0 or less.
int VisibleReflectionRows(int PictureHeight, const TReflectionParameters& Parameters);

// A half-open range of rows (or columns).
struct TLineSpan {
    int Begin = 0;
    int End = 0;
    bool IsEmpty() const { return End <= Begin; }
    friend bool operator==(const TLineSpan&, const TLineSpan&) = default;
};

// The mirror rows that the styled reflection rows Rows are made from, blur
// neighbours included; empty when none of Rows can show.
TLineSpan MirrorRowsNeeded(int PictureHeight, const TReflectionParameters& Parameters, TLineSpan Rows);

// Picture row PictureHeight - 1 - MirrorRow, full width, Format_ARGB32 (not
// premultiplied). Called from several threads at once, for the rows that
// MirrorRowsNeeded names only.
using TMirrorRowSource = std::function<const std::uint32_t*(int MirrorRow)>;

// The style step: Area (reflection coordinates, cut to the picture's width
// and the squashed height) of the styled reflection of a picture of size
// Picture whose mirror rows Source gives. Format_ARGB32 (not premultiplied)
// of Area's size; rows from VisibleReflectionRows on are transparent. A
// null image when Area lies outside or the memory is not there. The whole
// area or any part of it gives the same pixels at the same place, so the
// screen may build only what it shows.
QImage BuildStyledReflection(const TMirrorRowSource& Source, QSize Picture,
                             const TReflectionParameters& Parameters, const QRect& Area);

// The same for a picture held whole (any format).
QImage BuildStyledReflection(const QImage& Picture, const TReflectionParameters& Parameters,
                             const QRect& Area);
