// The styled reflection (blur, squash) against the classic fade on a
// 24-megapixel picture, with a reflection of a third of its height, as the
// command line builds it; and the part a window at 100 % shows.
#include "imaging/reflection/reflection_block.h"
#include "imaging/reflection/reflection_builder.h"
#include "imaging/reflection/reflection_composer.h"

#include <benchmark/benchmark.h>
#include <random>

namespace
{
const QImage& Photo()
{
    static const QImage photo = [] {
        QImage image(6000, 4000, QImage::Format_ARGB32);
        std::mt19937 random(7);
        for (int y = 0; y < image.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const int noise = int(random() % 16);
                row[x] = qRgba((x / 24 + noise) & 0xFF, (y / 16 + noise) & 0xFF, 120 + noise,
                               x < 600 ? x * 255 / 600 : 255);
            }
        }
        return image;
    }();
    return photo;
}

// Arguments: blur, scale.
TReflectionParameters ThirdOfTheHeight(const benchmark::State& State)
{
    return {.Size = 1333,
            .OpacityStart = 120,
            .OpacityEnd = 1,
            .Axis = 1,
            .Blur = int(State.range(0)),
            .Scale = int(State.range(1))};
}

void BM_BuildAndCompose(benchmark::State& State)
{
    const TReflectionParameters parameters = ThirdOfTheHeight(State);
    for (auto _ : State) {
        const QImage composed =
            ComposeReflection(Photo(), BuildReflectionImage(Photo(), parameters), parameters);
        benchmark::DoNotOptimize(composed.constBits());
    }
}

// What the window at 100 % builds for a 1280 x 700 view on the reflection.
void BM_VisibleBlock(benchmark::State& State)
{
    const TReflectionParameters parameters = ThirdOfTheHeight(State);
    for (auto _ : State) {
        const QImage block = BuildReflectionBlock(Photo(), parameters, QRect(2500, 0, 1280, 700));
        benchmark::DoNotOptimize(block.constBits());
    }
}
} // namespace

BENCHMARK(BM_BuildAndCompose)
    ->ArgsProduct({{0, 20, 100}, {100}})
    ->Args({0, 50})
    ->Args({20, 50})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_VisibleBlock)
    ->ArgsProduct({{0, 20, 100}, {100, 10}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_MAIN();
