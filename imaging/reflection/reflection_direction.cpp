#include "imaging/reflection/reflection_direction.h"

#include "imaging/reflection/reflection_style.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace
{
// Format_ARGB32 copy of Image, or Image itself when it is one already (or
// premultiplied, as the screen's blocks are: turning moves pixels only).
QImage AsArgb32(const QImage& Image)
{
    return Image.format() == QImage::Format_ARGB32 || Image.format() == QImage::Format_ARGB32_Premultiplied
               ? Image
               : Image.convertToFormat(QImage::Format_ARGB32);
}

// Out(x, y) = In(y, x), in square tiles so that both sides are read and
// written a cache line at a time.
QImage Transposed(const QImage& Image)
{
    const QImage in = AsArgb32(Image);
    QImage out(in.height(), in.width(), in.format());
    if (in.isNull() || out.isNull())
        return {};
    constexpr int Tile = 32;
    for (int y0 = 0; y0 < in.height(); y0 += Tile)
        for (int x0 = 0; x0 < in.width(); x0 += Tile)
            for (int y = y0; y < std::min(y0 + Tile, in.height()); ++y) {
                const auto* row = reinterpret_cast<const std::uint32_t*>(in.constScanLine(y));
                for (int x = x0; x < std::min(x0 + Tile, in.width()); ++x)
                    reinterpret_cast<std::uint32_t*>(out.scanLine(x))[y] = row[x];
            }
    return out;
}

QImage FlippedHorizontally(const QImage& Image)
{
    const QImage in = AsArgb32(Image);
    QImage out(in.size(), in.format());
    if (in.isNull() || out.isNull())
        return {};
    const int width = in.width();
    for (int y = 0; y < in.height(); ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(in.constScanLine(y));
        auto* target = reinterpret_cast<std::uint32_t*>(out.scanLine(y));
        for (int x = 0; x < width; ++x)
            target[x] = row[width - 1 - x];
    }
    return out;
}

QImage FlippedVertically(const QImage& Image)
{
    const QImage in = AsArgb32(Image);
    QImage out(in.size(), in.format());
    if (in.isNull() || out.isNull())
        return {};
    for (int y = 0; y < in.height(); ++y)
        std::memcpy(out.scanLine(y), in.constScanLine(in.height() - 1 - y), std::size_t(in.width()) * 4);
    return out;
}
} // namespace

const TReflectionDirectionInfo& ReflectionDirectionInfo(TReflectionDirection Direction)
{
    for (const TReflectionDirectionInfo& info : ReflectionDirections)
        if (info.Direction == Direction)
            return info;
    return ReflectionDirections.front();
}

std::optional<TReflectionDirection> ReflectionDirectionNamed(QStringView Name)
{
    for (const TReflectionDirectionInfo& info : ReflectionDirections)
        if (Name == QLatin1String(info.Name))
            return info.Direction;
    return std::nullopt;
}

bool ComposesRowByRow(const TReflectionParameters& Parameters)
{
    return !ReflectionDirectionInfo(Parameters.Direction).Sideways || !HasReflectionStyle(Parameters);
}

QSize TurnedSize(QSize Size, TReflectionDirection Direction)
{
    return ReflectionDirectionInfo(Direction).Sideways ? Size.transposed() : Size;
}

QImage TurnedToBelow(const QImage& Picture, TReflectionDirection Direction)
{
    if (Picture.isNull())
        return {};
    switch (Direction) {
    case TReflectionDirection::Below:
        return Picture;
    case TReflectionDirection::Above:
        return FlippedVertically(Picture);
    case TReflectionDirection::Right:
        return Transposed(Picture);
    case TReflectionDirection::Left: {
        const QImage flipped = FlippedHorizontally(Picture);
        return flipped.isNull() ? flipped : Transposed(flipped);
    }
    }
    return {};
}

QImage TurnedBack(const QImage& Image, TReflectionDirection Direction)
{
    if (Direction != TReflectionDirection::Left)
        return TurnedToBelow(Image, Direction);
    const QImage transposed = Transposed(Image);
    return transposed.isNull() ? transposed : FlippedHorizontally(transposed);
}

QRect TurnedBackArea(const QRect& Area, QSize Frame, TReflectionDirection Direction)
{
    switch (Direction) {
    case TReflectionDirection::Below:
        return Area;
    case TReflectionDirection::Above:
        return QRect(Area.x(), Frame.height() - Area.y() - Area.height(), Area.width(), Area.height());
    case TReflectionDirection::Right:
        return QRect(Area.y(), Area.x(), Area.height(), Area.width());
    case TReflectionDirection::Left:
        return QRect(Frame.height() - Area.y() - Area.height(), Area.x(), Area.height(), Area.width());
    }
    return Area;
}

QRect TurnedArea(const QRect& Area, QSize Frame, TReflectionDirection Direction)
{
    if (Direction == TReflectionDirection::Left)
        return QRect(Area.y(), Frame.height() - Area.x() - Area.width(), Area.height(), Area.width());
    return TurnedBackArea(Area, Frame, Direction);
}

TReflectionParameters AsBelow(const TReflectionParameters& Parameters)
{
    TReflectionParameters below = Parameters;
    below.Direction = TReflectionDirection::Below;
    return below;
}
