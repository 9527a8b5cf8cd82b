#include "imaging/reflection/reflection_block.h"

#include "imaging/reflection/reflection_builder.h"
#include "imaging/reflection/reflection_style.h"

#include <algorithm>
#include <cstdint>

QImage BuildReflectionBlock(const QImage& Picture, const TReflectionParameters& Parameters, const QRect& Area)
{
    const int size = Parameters.Size;
    if (Picture.isNull())
        return {};
    if (HasReflectionStyle(Parameters)) {
        const QImage styled = BuildStyledReflection(Picture, Parameters, Area);
        return styled.isNull() ? styled : styled.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }
    const QRect area = Area.intersected(Picture.rect());
    if (area.isEmpty())
        return {};
    QImage block(area.size(), QImage::Format_ARGB32);
    if (block.isNull())
        return {};
    block.fill(0);
    const int height = Picture.height();
    const bool argb = Picture.format() == QImage::Format_ARGB32;
    // Rows from the size on are fully transparent whatever the opacities.
    const int lastRow = std::min(area.bottom(), size - 1);
    for (int y = area.top(); y <= lastRow; ++y) {
        const auto table = ScaledAlphaTable(ReflectionRowOpacity(y, Parameters));
        auto* out = reinterpret_cast<std::uint32_t*>(block.scanLine(y - area.top()));
        const int sourceRow = height - 1 - y;
        for (int x = 0; x < area.width(); ++x) {
            const std::uint32_t pixel = argb ? reinterpret_cast<const std::uint32_t*>(
                                                   Picture.constScanLine(sourceRow))[area.left() + x]
                                             : std::uint32_t(Picture.pixel(area.left() + x, sourceRow));
            const std::uint32_t alpha = pixel >> 24;
            out[x] = alpha == 0 ? 0u : (std::uint32_t(table[alpha]) << 24) | (pixel & 0x00FFFFFFu);
        }
    }
    return block.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}
