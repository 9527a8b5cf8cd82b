#pragma once

#include "imaging/reflection/reflection_parameters.h"

#include <cstdint>
#include <functional>

// The reflection made one row at a time from the picture's rows. Both roads
// go through here: the whole-picture one (BuildReflectionImage) and the
// streamed one (TComposedRows), which keeps only the bottom rows a
// reflection is made from while the picture passes. A step that reshapes the
// reflection belongs in these functions, so both roads take it.

// Picture rows as 0xAARRGGBB words (not premultiplied), Width each. Row(Y)
// is asked only for rows from FirstReflectionSourceRow on.
struct TPictureRows {
    int Width = 0;
    int Height = 0;
    std::function<const std::uint32_t*(int Y)> Row;
};

// Rows of the reflection that a saved composition shows: min(Size, H), or
// min(Size, the squashed height) for a squashed mirror, and none for a size
// of 0 or less.
int ReflectionRowCount(int PictureHeight, const TReflectionParameters& Parameters);

// The first picture row the reflection's rows are made from (a blur's reach
// included); the rows from here to the bottom must be at hand while they are
// made.
int FirstReflectionSourceRow(int PictureHeight, const TReflectionParameters& Parameters);

// Reflection row Row (0 next to the picture) into Out, Width words: the
// mirror of picture row H - 1 - Row with its alpha scaled by the row's
// opacity; fully transparent pixels stay 0. The classic fade only: a styled
// reflection's rows depend on their neighbours and are made as a block
// (reflection_style.h, TComposedRows).
void MakeReflectionRow(const TPictureRows& Picture, int Row, const TReflectionParameters& Parameters,
                       std::uint32_t* Out);
