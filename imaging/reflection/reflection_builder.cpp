#include "imaging/reflection/reflection_builder.h"

#include "imaging/reflection/reflection_direction.h"
#include "imaging/reflection/reflection_rows.h"
#include "imaging/reflection/reflection_style.h"

QImage BuildReflectionImage(const QImage& Picture, const TReflectionParameters& Parameters)
{
    if (Picture.isNull())
        return {};
    if (Parameters.Direction != TReflectionDirection::Below) {
        const QImage turned = TurnedToBelow(Picture, Parameters.Direction);
        const QImage reflection =
            turned.isNull() ? turned : BuildReflectionImage(turned, AsBelow(Parameters));
        return reflection.isNull() ? reflection : TurnedBack(reflection, Parameters.Direction);
    }
    const TReflectionMaker maker(Picture.size(), Parameters);
    const QRect whole(0, 0, Picture.width(), SquashedMirrorHeight(Picture.height(), Parameters));
    const TPictureRows rows = PictureRowsOf(Picture, maker.SourceRows(whole, THiddenRows::Made));
    if (!rows.Row)
        return {};
    return maker.Area(rows, whole, THiddenRows::Made);
}
