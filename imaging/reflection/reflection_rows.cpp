#include "imaging/reflection/reflection_rows.h"

#include "imaging/reflection/reflection_builder.h"
#include "imaging/reflection/reflection_style.h"

#include <algorithm>

int ReflectionRowCount(int PictureHeight, const TReflectionParameters& Parameters)
{
    return VisibleReflectionRows(std::max(0, PictureHeight), Parameters);
}

int FirstReflectionSourceRow(int PictureHeight, const TReflectionParameters& Parameters)
{
    return PictureHeight -
           MirrorRowsNeeded(PictureHeight, Parameters, {0, ReflectionRowCount(PictureHeight, Parameters)})
               .End;
}

void MakeReflectionRow(const TPictureRows& Picture, int Row, const TReflectionParameters& Parameters,
                       std::uint32_t* Out)
{
    const auto table = ScaledAlphaTable(ReflectionRowOpacity(Row, Parameters));
    const std::uint32_t* in = Picture.Row(Picture.Height - 1 - Row);
    for (int x = 0; x < Picture.Width; ++x) {
        const std::uint32_t pixel = in[x];
        const std::uint32_t alpha = pixel >> 24;
        Out[x] = alpha == 0 ? 0u : (std::uint32_t(table[alpha]) << 24) | (pixel & 0x00FFFFFFu);
    }
}
