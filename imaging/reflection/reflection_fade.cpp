#include "imaging/reflection/reflection_fade.h"

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
