#include "imaging/reflection/composed_rows.h"

#include "imaging/reflection/reflection_composer.h"
#include "imaging/reflection/reflection_direction.h"
#include "imaging/reflection/reflection_fade.h"
#include "imaging/reflection/reflection_rows.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace
{
// round(Alpha * Opacity / 255), as ScaledAlphaTable gives it: the quotient
// is never a half (255 is odd), and x / 255 is (x + 1 + (x >> 8)) >> 8 for
// every x below 65535.
inline std::uint32_t ScaledAlpha(std::uint32_t Alpha, std::uint32_t Opacity)
{
    const std::uint32_t x = Alpha * Opacity + 127;
    return (x + 1 + (x >> 8)) >> 8;
}

inline std::uint32_t FadedPixel(std::uint32_t Pixel, std::uint32_t Opacity)
{
    const std::uint32_t alpha = Pixel >> 24;
    return alpha == 0 ? 0u : (ScaledAlpha(alpha, Opacity) << 24) | (Pixel & 0x00FFFFFFu);
}

// The picture's extent along the reflection's length.
int ReflectedLength(QSize Picture, TReflectionDirection Direction)
{
    return TurnedSize(Picture, Direction).height();
}
} // namespace

TComposedRows::TComposedRows(int Width, int PictureHeight, const TReflectionParameters& Parameters,
                             TRowReader NextRow)
    : FPictureWidth(Width), FPictureHeight(PictureHeight), FParameters(Parameters),
      FNextRow(std::move(NextRow)),
      FMaker(TurnedSize(QSize(Width, PictureHeight), Parameters.Direction), AsBelow(Parameters))
{
    const QSize picture(Width, PictureHeight);
    const QSize composed = ComposedSize(picture, Parameters);
    FWidth = composed.width();
    FHeight = composed.height();
    const int length = ReflectedLength(picture, Parameters.Direction);
    FReflectionTop = length + Parameters.Axis;
    FReflectionRows = ReflectionRowCount(length, Parameters);
    switch (Parameters.Direction) {
    case TReflectionDirection::Below:
        // Rows the reflection lies behind (a negative axis) can only be
        // composed once the bottom rows it mirrors have arrived, so they
        // are kept as well.
        FKeepFrom = FirstReflectionSourceRow(PictureHeight, Parameters);
        if (FReflectionRows > 0 && FReflectionTop < PictureHeight)
            FKeepFrom = std::min(FKeepFrom, std::max(0, FReflectionTop));
        if (FReflectionRows == 0)
            FKeepFrom = PictureHeight;
        FKeepEnd = PictureHeight;
        break;
    case TReflectionDirection::Above:
        // The reflection is written first: the top rows it mirrors wait
        // for it; the rows under them pass through afterwards.
        FKeepFrom = 0;
        FKeepEnd =
            FReflectionRows > 0 ? PictureHeight - FirstReflectionSourceRow(PictureHeight, Parameters) : 0;
        break;
    case TReflectionDirection::Left:
    case TReflectionDirection::Right:
        FOpacity.resize(std::size_t(std::max(0, FReflectionRows)));
        for (int k = 0; k < FReflectionRows; ++k)
            FOpacity[std::size_t(k)] = std::uint32_t(ReflectionRowOpacity(k, Parameters));
        break;
    }
}

TComposedRows::TComposedRows(const TPictureRows& Picture, const TReflectionParameters& Parameters)
    : TComposedRows(Picture.Width, Picture.Height, Parameters, {})
{
    FWhole = Picture.Row;
    FRead = Picture.Height;
}

bool TComposedRows::AlwaysTranslucent(QSize Picture, const TReflectionParameters& Parameters)
{
    const int length = ReflectedLength(Picture, Parameters.Direction);
    const int composed = ComposedHeight(length, Parameters);
    const int rows = ReflectionRowCount(length, Parameters);
    const long long top = static_cast<long long>(length) + Parameters.Axis;
    for (long long y = length; y < composed; ++y) {
        const long long row = y - top;
        if (row < 0 || row >= rows || ReflectionRowOpacity(int(row), Parameters) < 255)
            return true;
    }
    return false;
}

const std::uint32_t* TComposedRows::Kept(int Row) const
{
    return FKept.data() + std::size_t(Row - FKeepFrom) * std::size_t(FPictureWidth);
}

const std::uint32_t* TComposedRows::PictureRow(int Row) const
{
    return FWhole ? FWhole(Row) : Kept(Row);
}

bool TComposedRows::ReadPictureThrough(int Row)
{
    while (FRead <= Row) {
        if (FKept.empty()) {
            try {
                FKept.resize(std::size_t(FKeepEnd - FKeepFrom) * std::size_t(FPictureWidth));
            } catch (const std::bad_alloc&) {
                FOutOfMemory = true;
                return false;
            }
        }
        if (!FNextRow(FKept.data() + std::size_t(FRead - FKeepFrom) * std::size_t(FPictureWidth)))
            return false;
        ++FRead;
    }
    return true;
}

bool TComposedRows::ComposeBelowRow(int Y, std::uint32_t* Out)
{
    const std::size_t bytes = std::size_t(FWidth) * 4;
    if (Y < FKeepFrom && FWhole) {
        std::memcpy(Out, FWhole(Y), bytes);
        return true;
    }
    if (Y < FKeepFrom) {
        // Passes straight through: nothing below needs it again.
        if (!FNextRow(Out))
            return false;
        ++FRead;
        return true;
    }
    const long long row = static_cast<long long>(Y) - FReflectionTop;
    const bool mirrored = row >= 0 && row < FReflectionRows;
    if (mirrored && !ReadPictureThrough(FPictureHeight - 1))
        return false;
    if (Y < FPictureHeight && !ReadPictureThrough(Y))
        return false;
    if (!mirrored) {
        if (Y < FPictureHeight)
            std::memcpy(Out, PictureRow(Y), bytes);
        else
            std::memset(Out, 0, bytes);
        return true;
    }
    const TPictureRows picture{FPictureWidth, FPictureHeight, [this](int Row) { return PictureRow(Row); }};
    if (Y >= FPictureHeight)
        return MakeMirroredRow(picture, int(row), Out);
    return BlendOverMirrored(picture, int(row), PictureRow(Y), Out);
}

bool TComposedRows::ComposeAboveRow(int Y, std::uint32_t* Out)
{
    // Composed row Y is row J of the composition below the flipped picture.
    const std::size_t bytes = std::size_t(FWidth) * 4;
    const long long j = static_cast<long long>(FHeight) - 1 - Y;
    const long long row = j - FReflectionTop;
    const bool mirrored = row >= 0 && row < FReflectionRows;
    if (mirrored && FKeepEnd > 0 && !ReadPictureThrough(FKeepEnd - 1))
        return false;
    const TPictureRows flipped{FPictureWidth, FPictureHeight,
                               [this](int Row) { return PictureRow(FPictureHeight - 1 - Row); }};
    if (j >= FPictureHeight) {
        if (mirrored)
            return MakeMirroredRow(flipped, int(row), Out);
        std::memset(Out, 0, bytes);
        return true;
    }
    const int p = FPictureHeight - 1 - int(j);
    const std::uint32_t* front = nullptr;
    if (FWhole) {
        front = FWhole(p);
    } else if (p < FKeepEnd) {
        if (!ReadPictureThrough(p))
            return false;
        front = Kept(p);
    } else {
        // Rows under the kept ones arrive in the order they are written.
        if (!mirrored) {
            if (!FNextRow(Out))
                return false;
            ++FRead;
            return true;
        }
        if (FRow.empty())
            FRow.resize(std::size_t(FPictureWidth));
        if (!FNextRow(FRow.data()))
            return false;
        ++FRead;
        front = FRow.data();
    }
    if (!mirrored) {
        std::memcpy(Out, front, bytes);
        return true;
    }
    return BlendOverMirrored(flipped, int(row), front, Out);
}

bool TComposedRows::ComposeSideRow(int Y, std::uint32_t* Out)
{
    if (!ComposesRowByRow(FParameters))
        return false;
    const int width = FPictureWidth;
    const std::uint32_t* in = nullptr;
    if (FWhole) {
        in = FWhole(Y);
    } else {
        if (FRow.empty())
            FRow.resize(std::size_t(width));
        if (!FNextRow(FRow.data()))
            return false;
        ++FRead;
        in = FRow.data();
    }
    // Reflection column k lies FReflectionTop + k columns from the side
    // away from the mirror, and mirrors picture column k counted from the
    // mirror's side.
    const bool right = FParameters.Direction == TReflectionDirection::Right;
    const int pictureAt = right ? 0 : FWidth - width;
    const int beyond = FWidth - width;
    std::memset(right ? Out + width : Out, 0, std::size_t(beyond) * 4);
    std::memcpy(Out + pictureAt, in, std::size_t(width) * 4);
    const int first = std::clamp(-FReflectionTop, 0, FReflectionRows);
    const int behind = std::clamp(width - FReflectionTop, first, FReflectionRows);
    const std::uint32_t* opacity = FOpacity.data();
    // Where the reflection lies behind the picture (a negative axis).
    for (int k = first; k < behind; ++k) {
        const int t = FReflectionTop + k;
        const std::uint32_t mirrored = FadedPixel(in[right ? width - 1 - k : k], opacity[k]);
        Out[right ? t : FWidth - 1 - t] = BlendArgbOver(in[right ? t : width - 1 - t], mirrored);
    }
    // Indices, not a pointer moved to the reflection's first column, which
    // may lie outside the row when no column is left to write.
    const int top = FReflectionTop, last = FWidth - 1 - FReflectionTop;
    if (right)
        for (int k = behind; k < FReflectionRows; ++k)
            Out[top + k] = FadedPixel(in[width - 1 - k], opacity[k]);
    else
        for (int k = behind; k < FReflectionRows; ++k)
            Out[last - k] = FadedPixel(in[k], opacity[k]);
    return true;
}

bool TComposedRows::MakeMirroredRow(const TPictureRows& Picture, int Row, std::uint32_t* Out)
{
    // Every row the reflection needs is kept by now.
    if (FMaker.Row(Picture, Row, Out))
        return true;
    FOutOfMemory = true;
    return false;
}

bool TComposedRows::BlendOverMirrored(const TPictureRows& Picture, int Row, const std::uint32_t* Front,
                                      std::uint32_t* Out)
{
    if (FMirrored.empty())
        FMirrored.resize(std::size_t(FPictureWidth));
    if (!MakeMirroredRow(Picture, Row, FMirrored.data()))
        return false;
    for (int x = 0; x < FPictureWidth; ++x)
        Out[x] = BlendArgbOver(Front[x], FMirrored[std::size_t(x)]);
    return true;
}

bool TComposedRows::Read(int First, int Count, std::uint32_t* Out, std::size_t Stride)
{
    if (First != FNext || Count < 0 || First + Count > FHeight)
        return false;
    for (int i = 0; i < Count; ++i) {
        std::uint32_t* out = Out + std::size_t(i) * Stride;
        bool composed = false;
        switch (FParameters.Direction) {
        case TReflectionDirection::Below:
            composed = ComposeBelowRow(First + i, out);
            break;
        case TReflectionDirection::Above:
            composed = ComposeAboveRow(First + i, out);
            break;
        case TReflectionDirection::Left:
        case TReflectionDirection::Right:
            composed = ComposeSideRow(First + i, out);
            break;
        }
        if (!composed)
            return false;
        ++FNext;
    }
    return true;
}
