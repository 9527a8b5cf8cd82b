#include "imaging/reflection/reflection_block.h"

#include "imaging/reflection/reflection_rows.h"

QImage BuildReflectionBlock(const QImage& Picture, const TReflectionParameters& Parameters, const QRect& Area)
{
    if (Picture.isNull())
        return {};
    // Only the rows the fade leaves visible are made, from the picture rows
    // they mirror: a block of a large picture converts no more of it.
    const TReflectionMaker maker(Picture.size(), Parameters);
    const TPictureRows rows = PictureRowsOf(Picture, maker.SourceRows(Area, THiddenRows::Zero));
    if (!rows.Row)
        return {};
    const QImage block = maker.Area(rows, Area, THiddenRows::Zero);
    return block.isNull() ? block : block.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}
