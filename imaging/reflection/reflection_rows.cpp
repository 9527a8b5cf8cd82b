#include "imaging/reflection/reflection_rows.h"

#include "imaging/parallel_work.h"
#include "imaging/reflection/reflection_style.h"

#include <algorithm>
#include <cstring>
#include <utility>

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

TPictureRows PictureRowsOf(const QImage& Picture, TLineSpan Rows)
{
    const int width = Picture.width();
    const int height = Picture.height();
    if (Picture.format() == QImage::Format_ARGB32 || Picture.format() == QImage::Format_RGB32)
        return {width, height, [Picture](int Y) {
                    return reinterpret_cast<const std::uint32_t*>(Picture.constScanLine(Y));
                }};
    const int top = std::clamp(Rows.Begin, 0, height);
    const int end = std::clamp(Rows.End, top, height);
    const QImage band =
        end > top ? Picture.copy(0, top, width, end - top).convertToFormat(QImage::Format_ARGB32) : QImage();
    if (end > top && band.isNull())
        return {width, height, {}};
    return {width, height, [band, top](int Y) {
                return reinterpret_cast<const std::uint32_t*>(band.constScanLine(Y - top));
            }};
}

TReflectionMaker::TReflectionMaker(QSize Picture, const TReflectionParameters& Parameters)
    : FPicture(Picture), FParameters(Parameters), FStyled(HasReflectionStyle(Parameters))
{
}

TLineSpan TReflectionMaker::SourceRows(const QRect& Area, THiddenRows Hidden) const
{
    const int height = FPicture.height();
    TLineSpan mirror{Area.top(), Area.bottom() + 1};
    if (FStyled || Hidden == THiddenRows::Zero)
        mirror = MirrorRowsNeeded(height, FParameters, mirror);
    mirror = {std::max(0, mirror.Begin), std::min(height, mirror.End)};
    if (mirror.IsEmpty())
        return {};
    return {height - mirror.End, height - mirror.Begin};
}

QImage TReflectionMaker::Area(const TPictureRows& Picture, const QRect& Area, THiddenRows Hidden) const
{
    const int height = FPicture.height();
    if (FStyled)
        return BuildStyledReflection(
            [&Picture, height](int MirrorRow) { return Picture.Row(height - 1 - MirrorRow); }, FPicture,
            FParameters, Area);
    const QRect area = Area.intersected(QRect(QPoint(0, 0), FPicture));
    if (area.isEmpty())
        return {};
    QImage out(area.size(), QImage::Format_ARGB32);
    if (out.isNull())
        return {};
    // Only the area's columns are made.
    const int left = area.left();
    const TPictureRows columns{area.width(), height,
                               [&Picture, left](int Y) { return Picture.Row(Y) + left; }};
    int end = area.bottom() + 1;
    if (Hidden == THiddenRows::Zero) {
        out.fill(0);
        end = std::clamp(FParameters.Size, area.top(), end);
    }
    TParallelWork().ForEachBand(end - area.top(), area.width(), [&](int Begin, int End) {
        for (int y = Begin; y < End; ++y)
            MakeReflectionRow(columns, area.top() + y, FParameters,
                              reinterpret_cast<std::uint32_t*>(out.scanLine(y)));
    });
    return out;
}

bool TReflectionMaker::Row(const TPictureRows& Picture, int Row, std::uint32_t* Out)
{
    if (!FStyled) {
        MakeReflectionRow(Picture, Row, FParameters, Out);
        return true;
    }
    if (FStyledRows.isNull()) {
        FStyledRows =
            Area(Picture, QRect(0, 0, FPicture.width(), ReflectionRowCount(FPicture.height(), FParameters)),
                 THiddenRows::Zero);
        if (FStyledRows.isNull())
            return false;
    }
    std::memcpy(Out, FStyledRows.constScanLine(Row), std::size_t(FPicture.width()) * 4);
    return true;
}
