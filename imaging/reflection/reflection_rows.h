#pragma once

#include "imaging/reflection/reflection_fade.h"
#include "imaging/reflection/reflection_parameters.h"
#include "imaging/reflection/reflection_style.h"

#include <QImage>
#include <QRect>
#include <cstdint>
#include <functional>

// The reflection made from the picture's rows. Every road goes through here:
// the whole picture (BuildReflectionImage), the screen's blocks
// (BuildReflectionBlock) and the streamed composition (TComposedRows), which
// keeps only the bottom rows a reflection is made from while the picture
// passes. A step that reshapes the reflection belongs here, so every road
// takes it.

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

// Reflection row Row (0 next to the picture) of the classic fade into Out,
// Width words: the mirror of picture row H - 1 - Row with its alpha scaled by
// the row's opacity; fully transparent pixels stay 0.
void MakeReflectionRow(const TPictureRows& Picture, int Row, const TReflectionParameters& Parameters,
                       std::uint32_t* Out);

// What the classic fade puts in the rows it leaves fully transparent (from
// Size on): each mirrored pixel with alpha 0 and its colour kept, as the
// whole reflection has always held them, or 0 without making them, which
// is all a premultiplied block shows anyway. A styled reflection leaves
// them 0 either way.
enum class THiddenRows { Made, Zero };

// Rows Rows (picture rows) of a picture held whole: read where they lie in
// Format_ARGB32 and Format_RGB32 (whose alpha is always 255), converted as one
// band otherwise, so a block of a large picture costs no full copy. Row is
// null when the band does not fit in memory.
TPictureRows PictureRowsOf(const QImage& Picture, TLineSpan Rows);

// The reflection of a picture of the given size. This is the one place that
// tells a styled reflection (reflection_style.h: its rows depend on their
// neighbours and are made as a block) from the classic fade (made row by row
// by MakeReflectionRow); its users never ask which.
class TReflectionMaker
{
  public:
    TReflectionMaker(QSize Picture, const TReflectionParameters& Parameters);

    // The picture rows that Area (as for Area below) is made from.
    TLineSpan SourceRows(const QRect& Area, THiddenRows Hidden) const;

    // Area in reflection coordinates (row 0 next to the picture), cut to the
    // picture's width and the mirror's height (SquashedMirrorHeight), as
    // Format_ARGB32 (not premultiplied), from Picture's rows (SourceRows of
    // it are read, from several threads at once). Null when Area lies
    // outside or the memory is not there.
    QImage Area(const TPictureRows& Picture, const QRect& Area, THiddenRows Hidden) const;

    // Reflection row Row, one of the ReflectionRowCount rows, into Out
    // (Width words). The rows from FirstReflectionSourceRow on must be at
    // hand: a styled reflection is made whole on the first call and kept.
    // False when the memory for it is not there.
    bool Row(const TPictureRows& Picture, int Row, std::uint32_t* Out);

  private:
    QSize FPicture;
    TReflectionParameters FParameters;
    bool FStyled;
    QImage FStyledRows; // a styled reflection's rows for Row, once made
};
