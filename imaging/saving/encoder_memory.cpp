#include "imaging/saving/encoder_memory.h"

#include "imaging/memory_budget.h"
#include "imaging/reflection/composed_rows.h"
#include "imaging/reflection/reflection_composer.h"
#include "imaging/reflection/reflection_direction.h"
#include "imaging/saving/saving_plan.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace
{
constexpr std::int64_t MiB = std::int64_t(1) << 20;

// The one table of encoders' working memory. Each figure is the peak of a
// whole command less the process at rest and the composition, fitted over
// 1.5, 6 and 24 megapixels (AVIF: 1.5 and 6) by tools/bench_encoder_memory.sh
// and rounded up (docs/benchmarks.md, "Encoders' working memory"). For GIF,
// and JPEG, BMP and TIFF from a whole composition, the peak is the
// composing, with the picture beside the composition: their encoders need
// less than the picture. From rows, no composition is made: JPEG holds
// libjpeg's coefficients of the whole picture (its Huffman tables are fitted
// to them) beside the decoded picture, BMP and TIFF their file (TIFF's LZW
// hardly shrinks a photo's grain).
constexpr std::array<TEncoderMemory, 13> Table{{
    {ImageSaveFormat::Png, TEncoderRoad::PngBands, 0.0, 16 * MiB},
    {ImageSaveFormat::Png, TEncoderRoad::PngAtOnce, 4.0, 16 * MiB},
    {ImageSaveFormat::Jpeg, TEncoderRoad::Any, 4.25, 8 * MiB},
    {ImageSaveFormat::Jpeg, TEncoderRoad::Rows, 3.25, 8 * MiB},
    {ImageSaveFormat::Gif, TEncoderRoad::Any, 4.5, 8 * MiB},
    {ImageSaveFormat::Bmp, TEncoderRoad::Any, 4.25, 8 * MiB},
    {ImageSaveFormat::Bmp, TEncoderRoad::Rows, 3.25, 8 * MiB},
    {ImageSaveFormat::Tiff, TEncoderRoad::Any, 4.25, 24 * MiB},
    {ImageSaveFormat::Tiff, TEncoderRoad::Rows, 3.75, 8 * MiB},
    {ImageSaveFormat::Webp, TEncoderRoad::Lossless, 31.0, 16 * MiB},
    {ImageSaveFormat::Webp, TEncoderRoad::Lossy, 16.5, 24 * MiB},
    {ImageSaveFormat::Avif, TEncoderRoad::Lossless, 46.0, 48 * MiB},
    {ImageSaveFormat::Avif, TEncoderRoad::Lossy, 25.0, 48 * MiB},
}};

bool HasTwoEncoders(ImageSaveFormat Format)
{
    return Format == ImageSaveFormat::Webp || Format == ImageSaveFormat::Avif;
}
} // namespace

TEncoderRoad EncoderRoad(ImageSaveFormat Format, int Quality, bool Rows)
{
    if (Format == ImageSaveFormat::Png)
        return Rows ? TEncoderRoad::PngBands : TEncoderRoad::PngAtOnce;
    if (WritesFromRows(Format))
        return Rows ? TEncoderRoad::Rows : TEncoderRoad::Any;
    if (HasTwoEncoders(Format))
        return Quality < 0 || Quality >= 100 ? TEncoderRoad::Lossless : TEncoderRoad::Lossy;
    return TEncoderRoad::Any;
}

const TEncoderMemory& EncoderMemory(ImageSaveFormat Format, TEncoderRoad Road)
{
    const auto found = std::find_if(Table.begin(), Table.end(), [&](const TEncoderMemory& Row) {
        return Row.Format == Format && Row.Road == Road;
    });
    if (found != Table.end())
        return *found;
    // A format or road the table does not know is counted as the costliest
    // encoder, so that it is never under-reserved.
    return *std::max_element(
        Table.begin(), Table.end(),
        [](const TEncoderMemory& A, const TEncoderMemory& B) { return A.BytesPerPixel < B.BytesPerPixel; });
}

std::int64_t EncoderWorkingBytes(ImageSaveFormat Format, int Quality, bool Rows, const QSize& Composed)
{
    if (!Composed.isValid())
        return 0;
    const TEncoderMemory& row = EncoderMemory(Format, EncoderRoad(Format, Quality, Rows));
    const double pixels = double(Composed.width()) * double(Composed.height());
    return std::int64_t(std::ceil(pixels * row.BytesPerPixel)) + row.Constant;
}

std::int64_t PixelsEncodedWithin(ImageSaveFormat Format, int Quality, std::int64_t Bytes)
{
    const TEncoderMemory& row = EncoderMemory(Format, EncoderRoad(Format, Quality, false));
    const std::int64_t room = Bytes - row.Constant;
    if (room <= 0)
        return 0;
    const double composition = double(DecodedPictureBytes(QSize(1, 1)));
    return std::int64_t(double(room) / (row.BytesPerPixel + composition));
}

bool PngGoesInBands(const QSize& Picture, const TReflectionParameters& Reflection)
{
    return TComposedRows::AlwaysTranslucent(Picture, Reflection) && ComposesRowByRow(Reflection);
}

bool GoesInRows(ImageSaveFormat Format, const TReflectionParameters& Reflection)
{
    return WritesFromRows(Format) && ComposesRowByRow(Reflection);
}

std::int64_t SaveReservationBytes(const QSize& Picture, const TReflectionParameters& Reflection,
                                  ImageSaveFormat Format, int Quality)
{
    if (!Picture.isValid())
        return 0;
    const QSize composed = ComposedSize(Picture, Reflection);
    if (GoesInRows(Format, Reflection))
        return DecodedPictureBytes(Picture) + EncoderWorkingBytes(Format, Quality, true, composed);
    const bool bands = PngGoesInBands(Picture, Reflection);
    // Composing holds the picture and its reflection's rows beside the
    // composition; on another side than below, the whole-picture road also
    // holds the composition made below until it is turned back.
    const QSize turned = TurnedSize(Picture, Reflection.Direction);
    const QSize reflection(turned.width(), std::clamp(Reflection.Size, 0, turned.height()));
    std::int64_t composing = DecodedPictureBytes(Picture) + DecodedPictureBytes(reflection);
    if (Reflection.Direction != TReflectionDirection::Below)
        composing += DecodedPictureBytes(composed);
    return DecodedPictureBytes(composed) +
           std::max(composing, EncoderWorkingBytes(Format, Quality, bands, composed));
}
