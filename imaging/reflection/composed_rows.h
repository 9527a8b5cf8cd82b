#pragma once

#include "imaging/reflection/reflection_parameters.h"
#include "imaging/reflection/reflection_rows.h"

#include <QImage>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// The saved composition (the picture over its reflection, pixel for pixel
// what RenderReflection makes) produced top to bottom while the picture's
// rows arrive in order. Rows pass straight through; what is kept depends on
// the reflection's side:
// - below: the bottom rows the reflection is made from, and those it lies
//   behind;
// - above: the top rows the reflection is made from, until it is written;
// - left, right: nothing, each composed row is its picture row followed (or
//   preceded) by that row's mirrored, faded columns. Only the classic fade
//   is made so (ComposesRowByRow); a styled left or right reflection is
//   refused here, its rows mixing their neighbours.
// Not for use by two threads at once.
class TComposedRows
{
  public:
    // Writes the picture's next row (Width words, 0xAARRGGBB, not
    // premultiplied) into Out; false stops, the reader keeping its reason.
    using TRowReader = std::function<bool(std::uint32_t* Out)>;

    TComposedRows(int Width, int PictureHeight, const TReflectionParameters& Parameters, TRowReader NextRow);
    // A picture already in memory: its rows are read where they lie and
    // nothing is kept.
    TComposedRows(const TPictureRows& Picture, const TReflectionParameters& Parameters);

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }

    // Composed rows [First, First + Count), Stride words apart. Calls follow
    // each other down the composition: First is where the last one ended.
    // False when the reader stopped, or when memory for the kept rows ran
    // out (OutOfMemory() tells).
    bool Read(int First, int Count, std::uint32_t* Out, std::size_t Stride);
    bool OutOfMemory() const { return FOutOfMemory; }

    // True when some composed pixel is translucent whatever the picture
    // holds: a transparent row or a fading reflection row below it. An
    // encoder then needs no look at the rows to know that alpha is needed.
    static bool AlwaysTranslucent(QSize Picture, const TReflectionParameters& Parameters);

  private:
    bool ReadPictureThrough(int Row);
    const std::uint32_t* Kept(int Row) const;
    const std::uint32_t* PictureRow(int Row) const;
    bool ComposeBelowRow(int Y, std::uint32_t* Out);
    bool ComposeAboveRow(int Y, std::uint32_t* Out);
    bool ComposeSideRow(int Y, std::uint32_t* Out);
    // Reflection row Row of Picture (the picture as turned below) into Out,
    // made from the kept rows.
    bool MakeMirroredRow(const TPictureRows& Picture, int Row, std::uint32_t* Out);
    // The mirrored row Row over which the picture row Front lies.
    bool BlendOverMirrored(const TPictureRows& Picture, int Row, const std::uint32_t* Front,
                           std::uint32_t* Out);

    int FPictureWidth;
    int FPictureHeight;
    int FWidth = 0;
    int FHeight = 0;
    TReflectionParameters FParameters;
    TRowReader FNextRow;
    std::function<const std::uint32_t*(int Y)> FWhole; // the rows of a picture in memory
    // Counted along the reflection's length, as if it lay below.
    int FReflectionTop = 0;  // composed row (column) of reflection row 0
    int FReflectionRows = 0; // reflection rows shown
    int FKeepFrom = 0;       // picture rows [FKeepFrom, FKeepEnd) are kept
    int FKeepEnd = 0;
    int FRead = 0; // picture rows read so far
    int FNext = 0; // the next composed row
    bool FOutOfMemory = false;
    TReflectionMaker FMaker;
    std::vector<std::uint32_t> FKept, FMirrored, FRow;
    std::vector<std::uint32_t> FOpacity; // left, right: each reflection column's opacity
};
