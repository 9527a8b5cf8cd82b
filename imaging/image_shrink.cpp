#include "imaging/image_shrink.h"

#include <algorithm>
#include <cstdint>
#include <vector>

QImage ShrinkByBoxes(const QImage& Image, int Factor)
{
    if (Image.isNull())
        return {};
    if (Factor <= 1)
        return Image.convertToFormat(QImage::Format_ARGB32);
    const QImage source =
        Image.format() == QImage::Format_ARGB32 ? Image : Image.convertToFormat(QImage::Format_ARGB32);
    const int width = (source.width() + Factor - 1) / Factor;
    const int height = (source.height() + Factor - 1) / Factor;
    QImage shrunk(width, height, QImage::Format_ARGB32);
    if (shrunk.isNull())
        return {};
    // Per output column of one block row: sums of alpha and of alpha-weighted
    // colour, and the number of pixels the block holds.
    struct TSums {
        std::uint64_t Alpha = 0, Red = 0, Green = 0, Blue = 0, Count = 0;
    };
    std::vector<TSums> sums(static_cast<std::size_t>(width));
    for (int by = 0; by < height; ++by) {
        std::fill(sums.begin(), sums.end(), TSums{});
        const int lastRow = std::min(source.height(), (by + 1) * Factor);
        for (int y = by * Factor; y < lastRow; ++y) {
            const auto* in = reinterpret_cast<const std::uint32_t*>(source.constScanLine(y));
            for (int x = 0; x < source.width(); ++x) {
                const std::uint32_t pixel = in[x];
                const std::uint32_t a = pixel >> 24;
                TSums& block = sums[std::size_t(x / Factor)];
                block.Alpha += a;
                block.Red += a * ((pixel >> 16) & 0xFF);
                block.Green += a * ((pixel >> 8) & 0xFF);
                block.Blue += a * (pixel & 0xFF);
                ++block.Count;
            }
        }
        auto* out = reinterpret_cast<std::uint32_t*>(shrunk.scanLine(by));
        for (std::size_t bx = 0; bx < sums.size(); ++bx) {
            const TSums& block = sums[bx];
            const std::uint64_t a = block.Alpha;
            if (a == 0) {
                out[bx] = 0;
                continue;
            }
            const auto average = [a](std::uint64_t Sum) { return std::uint32_t((Sum + a / 2) / a); };
            const auto meanAlpha = std::uint32_t((a + block.Count / 2) / block.Count);
            out[bx] = (meanAlpha << 24) | (average(block.Red) << 16) | (average(block.Green) << 8) |
                      average(block.Blue);
        }
    }
    return shrunk;
}
