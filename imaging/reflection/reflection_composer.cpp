#include "imaging/reflection/reflection_composer.h"

#include "imaging/parallel_work.h"
#include "imaging/reflection/reflection_direction.h"
#include "imaging/reflection/reflection_style.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

int ComposedHeight(int PictureHeight, const TReflectionParameters& Parameters)
{
    const long long full = static_cast<long long>(PictureHeight) + Parameters.Size + Parameters.Axis;
    return static_cast<int>(std::max<long long>(full, PictureHeight));
}

QSize ComposedSize(QSize Picture, const TReflectionParameters& Parameters)
{
    const QSize turned = TurnedSize(Picture, Parameters.Direction);
    return TurnedSize(QSize(turned.width(), ComposedHeight(turned.height(), Parameters)),
                      Parameters.Direction);
}

TComposedPlaces ComposedPlaces(QSize Picture, const TReflectionParameters& Parameters)
{
    const QSize turned = TurnedSize(Picture, Parameters.Direction);
    const QSize frame(turned.width(), ComposedHeight(turned.height(), Parameters));
    const QRect reflection(0, turned.height() + Parameters.Axis, turned.width(),
                           SquashedMirrorHeight(turned.height(), Parameters));
    return {TurnedBackArea(QRect(QPoint(0, 0), turned), frame, Parameters.Direction),
            TurnedBackArea(reflection, frame, Parameters.Direction)};
}

unsigned BlendArgbOver(unsigned Source, unsigned Destination)
{
    const std::uint32_t sa = Source >> 24;
    if (sa == 255)
        return Source;
    if (sa == 0)
        return Destination;
    const std::uint32_t da = Destination >> 24;
    // Work in units of 1/(255*255) so that the only division is the last one.
    const std::uint64_t sourceWeight = std::uint64_t(sa) * 255;
    const std::uint64_t destinationWeight = std::uint64_t(da) * (255 - sa);
    const std::uint64_t total = sourceWeight + destinationWeight;
    auto channel = [&](int shift) -> std::uint32_t {
        const std::uint64_t s = (Source >> shift) & 0xFF;
        const std::uint64_t d = (Destination >> shift) & 0xFF;
        return static_cast<std::uint32_t>((s * sourceWeight + d * destinationWeight + total / 2) / total);
    };
    const std::uint32_t alpha = static_cast<std::uint32_t>((total + 127) / 255);
    return (alpha << 24) | (channel(16) << 16) | (channel(8) << 8) | channel(0);
}

QImage ComposeReflection(const QImage& Picture, const QImage& Reflection,
                         const TReflectionParameters& Parameters)
{
    if (Picture.isNull())
        return {};
    const QImage picture =
        Picture.format() == QImage::Format_ARGB32 ? Picture : Picture.convertToFormat(QImage::Format_ARGB32);
    const QImage reflection = Reflection.isNull() || Reflection.format() == QImage::Format_ARGB32
                                  ? Reflection
                                  : Reflection.convertToFormat(QImage::Format_ARGB32);
    const int width = picture.width();
    const int height = picture.height();
    const int outHeight = ComposedHeight(height, Parameters);
    QImage out(width, outHeight, QImage::Format_ARGB32);
    if (out.isNull())
        return {};

    const long long reflectionTop = static_cast<long long>(height) + Parameters.Axis;
    const int reflectionWidth = reflection.isNull() ? 0 : std::min(width, reflection.width());
    const std::size_t rowBytes = std::size_t(width) * 4;

    TParallelWork().ForEachBand(outHeight, width, [&](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            auto* row = reinterpret_cast<std::uint32_t*>(out.scanLine(y));
            const long long r = y - reflectionTop;
            const bool hasReflection =
                !reflection.isNull() && r >= 0 && r < reflection.height() && r < std::max(0, Parameters.Size);
            const bool hasPicture = y < height;
            if (hasPicture && !hasReflection) {
                std::memcpy(row, picture.constScanLine(y), rowBytes);
                continue;
            }
            if (!hasPicture && !hasReflection) {
                std::memset(row, 0, rowBytes);
                continue;
            }
            const auto* mirrored =
                reinterpret_cast<const std::uint32_t*>(reflection.constScanLine(static_cast<int>(r)));
            if (!hasPicture) {
                std::memcpy(row, mirrored, std::size_t(reflectionWidth) * 4);
                std::memset(row + reflectionWidth, 0, std::size_t(width - reflectionWidth) * 4);
                continue;
            }
            const auto* front = reinterpret_cast<const std::uint32_t*>(picture.constScanLine(y));
            for (int x = 0; x < width; ++x)
                row[x] = x < reflectionWidth ? BlendArgbOver(front[x], mirrored[x]) : front[x];
        }
    });
    return out;
}
