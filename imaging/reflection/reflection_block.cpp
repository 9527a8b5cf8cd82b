#include "imaging/reflection/reflection_block.h"

#include "imaging/reflection/reflection_rows.h"
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
    // Only the area's columns are made, through the same row maker as the
    // whole reflection; a picture in another format has those columns
    // converted first.
    const QImage source =
        Picture.format() == QImage::Format_ARGB32
            ? Picture
            : Picture.copy(area.left(), 0, area.width(), height).convertToFormat(QImage::Format_ARGB32);
    const int left = Picture.format() == QImage::Format_ARGB32 ? area.left() : 0;
    const TPictureRows rows{area.width(), height, [&source, left](int Y) {
                                return reinterpret_cast<const std::uint32_t*>(source.constScanLine(Y)) + left;
                            }};
    // Rows from the size on are fully transparent whatever the opacities.
    const int lastRow = std::min(area.bottom(), size - 1);
    for (int y = area.top(); y <= lastRow; ++y)
        MakeReflectionRow(rows, y, Parameters,
                          reinterpret_cast<std::uint32_t*>(block.scanLine(y - area.top())));
    return block.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}
