#include "imaging/reflection/reflection_builder.h"

#include "imaging/parallel_work.h"
#include "imaging/reflection/reflection_rows.h"
#include "imaging/reflection/reflection_style.h"

#include <cmath>

namespace
{
// Rounds to the nearest integer with halves going to the even neighbour,
// whatever rounding mode the caller left behind.
long double RoundHalfEven(long double Value)
{
    const long double floor = std::floor(Value);
    const long double diff = Value - floor;
    if (diff < 0.5L)
        return floor;
    if (diff > 0.5L)
        return floor + 1;
    return std::fmod(floor, 2.0L) == 0 ? floor : floor + 1;
}

int ClampByte(long double Value)
{
    if (Value < 0)
        return 0;
    if (Value > 255)
        return 255;
    return static_cast<int>(Value);
}
} // namespace

int ReflectionRowOpacity(int Row, const TReflectionParameters& Parameters)
{
    if (Row >= Parameters.Size)
        return 0;
    const long double n = Parameters.Size;
    const long double y = Row;
    const long double a = (n - y) / n * static_cast<long double>(Parameters.OpacityStart) +
                          y / n * static_cast<long double>(Parameters.OpacityEnd);
    return ClampByte(RoundHalfEven(a));
}

std::array<std::uint8_t, 256> ScaledAlphaTable(int RowOpacity)
{
    std::array<std::uint8_t, 256> table{};
    const long double factor = static_cast<long double>(RowOpacity) / 255.0L;
    for (int alpha = 0; alpha < 256; ++alpha)
        table[alpha] = static_cast<std::uint8_t>(ClampByte(RoundHalfEven(factor * alpha)));
    return table;
}

QImage BuildReflectionImage(const QImage& Picture, const TReflectionParameters& Parameters)
{
    if (Picture.isNull())
        return {};
    if (HasReflectionStyle(Parameters))
        return BuildStyledReflection(
            Picture, Parameters,
            QRect(0, 0, Picture.width(), SquashedMirrorHeight(Picture.height(), Parameters)));
    const QImage source =
        Picture.format() == QImage::Format_ARGB32 ? Picture : Picture.convertToFormat(QImage::Format_ARGB32);
    const int width = source.width();
    const int height = source.height();
    QImage reflection(width, height, QImage::Format_ARGB32);
    if (reflection.isNull())
        return {};

    const TPictureRows rows{width, height, [&source](int Y) {
                                return reinterpret_cast<const std::uint32_t*>(source.constScanLine(Y));
                            }};
    TParallelWork().ForEachBand(height, width, [&](int begin, int end) {
        for (int y = begin; y < end; ++y)
            MakeReflectionRow(rows, y, Parameters, reinterpret_cast<std::uint32_t*>(reflection.scanLine(y)));
    });
    return reflection;
}
