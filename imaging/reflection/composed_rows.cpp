#include "imaging/reflection/composed_rows.h"

#include "imaging/reflection/reflection_composer.h"
#include "imaging/reflection/reflection_fade.h"
#include "imaging/reflection/reflection_rows.h"

#include <algorithm>
#include <cstring>
#include <new>

TComposedRows::TComposedRows(int Width, int PictureHeight, const TReflectionParameters& Parameters,
                             TRowReader NextRow)
    : FWidth(Width), FPictureHeight(PictureHeight), FHeight(ComposedHeight(PictureHeight, Parameters)),
      FParameters(Parameters), FNextRow(std::move(NextRow)), FReflectionTop(PictureHeight + Parameters.Axis),
      FReflectionRows(ReflectionRowCount(PictureHeight, Parameters)),
      FMaker(QSize(Width, PictureHeight), Parameters)
{
    // Rows the reflection lies behind (a negative axis) can only be
    // composed once the bottom rows it mirrors have arrived, so they are
    // kept as well.
    FKeepFrom = FirstReflectionSourceRow(PictureHeight, Parameters);
    if (FReflectionRows > 0 && FReflectionTop < PictureHeight)
        FKeepFrom = std::min(FKeepFrom, std::max(0, FReflectionTop));
    if (FReflectionRows == 0)
        FKeepFrom = PictureHeight;
}

TComposedRows::TComposedRows(const TPictureRows& Picture, const TReflectionParameters& Parameters)
    : TComposedRows(Picture.Width, Picture.Height, Parameters, {})
{
    FWhole = Picture.Row;
    FRead = Picture.Height;
}

bool TComposedRows::AlwaysTranslucent(int PictureHeight, const TReflectionParameters& Parameters)
{
    const int height = ComposedHeight(PictureHeight, Parameters);
    const int rows = ReflectionRowCount(PictureHeight, Parameters);
    const long long top = static_cast<long long>(PictureHeight) + Parameters.Axis;
    for (long long y = PictureHeight; y < height; ++y) {
        const long long row = y - top;
        if (row < 0 || row >= rows || ReflectionRowOpacity(int(row), Parameters) < 255)
            return true;
    }
    return false;
}

const std::uint32_t* TComposedRows::Kept(int Row) const
{
    return FKept.data() + std::size_t(Row - FKeepFrom) * std::size_t(FWidth);
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
                FKept.resize(std::size_t(FPictureHeight - FKeepFrom) * std::size_t(FWidth));
            } catch (const std::bad_alloc&) {
                FOutOfMemory = true;
                return false;
            }
        }
        if (!FNextRow(FKept.data() + std::size_t(FRead - FKeepFrom) * std::size_t(FWidth)))
            return false;
        ++FRead;
    }
    return true;
}

bool TComposedRows::ComposeRow(int Y, std::uint32_t* Out)
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
    if (Y >= FPictureHeight)
        return MakeMirroredRow(int(row), Out);
    if (FMirrored.empty())
        FMirrored.resize(std::size_t(FWidth));
    if (!MakeMirroredRow(int(row), FMirrored.data()))
        return false;
    const std::uint32_t* front = PictureRow(Y);
    for (int x = 0; x < FWidth; ++x)
        Out[x] = BlendArgbOver(front[x], FMirrored[std::size_t(x)]);
    return true;
}

bool TComposedRows::MakeMirroredRow(int Row, std::uint32_t* Out)
{
    // Every row the reflection needs is kept by now: it comes after the
    // picture's last row, which it starts from.
    const TPictureRows picture{FWidth, FPictureHeight, [this](int Y) { return PictureRow(Y); }};
    if (FMaker.Row(picture, Row, Out))
        return true;
    FOutOfMemory = true;
    return false;
}

bool TComposedRows::Read(int First, int Count, std::uint32_t* Out, std::size_t Stride)
{
    if (First != FNext || Count < 0 || First + Count > FHeight)
        return false;
    for (int i = 0; i < Count; ++i) {
        if (!ComposeRow(First + i, Out + std::size_t(i) * Stride))
            return false;
        ++FNext;
    }
    return true;
}
