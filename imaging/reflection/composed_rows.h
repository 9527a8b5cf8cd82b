#pragma once

#include "imaging/reflection/reflection_parameters.h"
#include "imaging/reflection/reflection_rows.h"

#include <QImage>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// The saved composition (the picture over its reflection, pixel for pixel
// what ComposeReflection makes) produced top to bottom while the picture's
// rows arrive in order. Rows pass straight through; only the bottom rows the
// reflection is made from, and those it lies behind, are kept. Not for use
// by two threads at once.
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
    static bool AlwaysTranslucent(int PictureHeight, const TReflectionParameters& Parameters);

  private:
    bool ReadPictureThrough(int Row);
    const std::uint32_t* Kept(int Row) const;
    const std::uint32_t* PictureRow(int Row) const;
    bool ComposeRow(int Y, std::uint32_t* Out);
    // Reflection row Row into Out, made from the kept rows.
    bool MakeMirroredRow(int Row, std::uint32_t* Out);

    int FWidth;
    int FPictureHeight;
    int FHeight;
    TReflectionParameters FParameters;
    TRowReader FNextRow;
    std::function<const std::uint32_t*(int Y)> FWhole; // the rows of a picture in memory
    int FReflectionTop;                                // composed row of reflection row 0
    int FReflectionRows;                               // reflection rows shown
    int FKeepFrom;                                     // picture rows from here on are kept
    int FRead = 0;                                     // picture rows read so far
    int FNext = 0;                                     // the next composed row
    bool FOutOfMemory = false;
    TReflectionMaker FMaker;
    std::vector<std::uint32_t> FKept, FMirrored;
};
