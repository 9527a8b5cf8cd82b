#include "app/display_colours.h"

#include "imaging/metadata/colour_profiles.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace
{
// Whether Conversion moves any colour of a coarse grid by more than one
// step: an sRGB profile of another maker converts to within rounding, and
// the picture is then shown as it is, at no cost.
bool MovesColours(const TSrgbConversion& Conversion)
{
    constexpr int Steps = 9;
    std::vector<std::uint32_t> grid;
    grid.reserve(Steps * Steps * Steps);
    for (int r = 0; r < Steps; ++r)
        for (int g = 0; g < Steps; ++g)
            for (int b = 0; b < Steps; ++b)
                grid.push_back(0xFF000000u | std::uint32_t(r * 255 / (Steps - 1)) << 16 |
                               std::uint32_t(g * 255 / (Steps - 1)) << 8 |
                               std::uint32_t(b * 255 / (Steps - 1)));
    std::vector<std::uint32_t> converted = grid;
    Conversion.Convert(converted.data(), int(converted.size()));
    for (std::size_t i = 0; i < grid.size(); ++i)
        for (int shift : {0, 8, 16})
            if (std::abs(int((grid[i] >> shift) & 0xFF) - int((converted[i] >> shift) & 0xFF)) > 1)
                return true;
    return false;
}
} // namespace

TDisplayColours::TDisplayColours(const QByteArray& Icc) : FIcc(Icc)
{
    if (Icc.isEmpty())
        return;
    auto conversion = std::make_shared<TSrgbConversion>(Icc);
    if (conversion->Valid() && MovesColours(*conversion))
        FConversion = std::move(conversion);
}

QImage TDisplayColours::Shown(QImage Image) const
{
    if (!FConversion || Image.isNull())
        return Image;
    // Converted in place when the image is not shared (a copy made for the
    // screen), on a copy of its own otherwise.
    if (Image.format() != QImage::Format_ARGB32 && Image.format() != QImage::Format_RGB32)
        Image.convertTo(QImage::Format_ARGB32);
    for (int y = 0; y < Image.height(); ++y)
        FConversion->Convert(reinterpret_cast<std::uint32_t*>(Image.scanLine(y)), Image.width());
    return Image;
}
