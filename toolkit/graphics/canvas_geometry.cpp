#include "toolkit/graphics/canvas_geometry.h"

#include <cstdint>
#include <limits>

int MulDiv(int Number, int Numerator, int Denominator)
{
    if (Denominator == 0)
        return -1;
    const std::int64_t product = std::int64_t(Number) * Numerator;
    const bool negative = (product < 0) != (Denominator < 0);
    const std::uint64_t magnitude = product < 0 ? std::uint64_t(-product) : std::uint64_t(product);
    const std::uint64_t divisor =
        Denominator < 0 ? std::uint64_t(-std::int64_t(Denominator)) : std::uint64_t(Denominator);
    const std::uint64_t rounded = (magnitude + divisor / 2) / divisor;
    if (rounded > std::uint64_t(std::numeric_limits<int>::max()))
        return -1;
    return negative ? -int(rounded) : int(rounded);
}
