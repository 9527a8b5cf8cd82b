// Reflection and composition speed against a plain copy of the same bytes,
// so that the ratio to memory speed is visible.
#include "imaging/reflection/reflection_builder.h"
#include "imaging/reflection/reflection_composer.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <memory>
#include <random>

namespace
{
QImage PhotoLike(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    std::mt19937 random(42);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int noise = int(random() % 16);
            const int alpha = x < width / 10 ? (x * 255) / (width / 10) : 255;
            row[x] = qRgba((x * 255 / width + noise) & 0xFF, (y * 255 / height + noise) & 0xFF, 128 + noise,
                           alpha);
        }
    }
    return image;
}

QSize SizeFor(int megapixels)
{
    return megapixels == 1 ? QSize(1000, 1000) : QSize(6000, 4000);
}

void BM_BuildReflection(benchmark::State& state)
{
    const QSize size = SizeFor(int(state.range(0)));
    const QImage picture = PhotoLike(size.width(), size.height());
    for (auto _ : state) {
        QImage reflection = BuildReflectionImage(picture, ImageReflectionDefaults);
        benchmark::DoNotOptimize(reflection.constBits());
    }
    state.SetBytesProcessed(state.iterations() * picture.sizeInBytes());
}

void BM_BuildAndCompose(benchmark::State& state)
{
    const QSize size = SizeFor(int(state.range(0)));
    const QImage picture = PhotoLike(size.width(), size.height());
    for (auto _ : state) {
        QImage reflection = BuildReflectionImage(picture, WindowStartReflection);
        QImage out = ComposeReflection(picture, reflection, WindowStartReflection);
        benchmark::DoNotOptimize(out.constBits());
    }
    state.SetBytesProcessed(state.iterations() * picture.sizeInBytes());
}

// Copying the output's bytes into a fresh buffer: the floor any build or
// composition of that many bytes has to pay.
void BM_CopyIntoFreshBuffer(benchmark::State& state)
{
    const QSize size = SizeFor(int(state.range(0)));
    const QImage picture = PhotoLike(size.width(), size.height());
    const std::size_t bytes = std::size_t(picture.sizeInBytes());
    for (auto _ : state) {
        std::unique_ptr<unsigned char[]> copy(new unsigned char[bytes]);
        std::memcpy(copy.get(), picture.constBits(), bytes);
        benchmark::DoNotOptimize(copy.get());
    }
    state.SetBytesProcessed(state.iterations() * picture.sizeInBytes());
}
} // namespace

BENCHMARK(BM_BuildReflection)->Arg(1)->Arg(24)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BuildAndCompose)->Arg(1)->Arg(24)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CopyIntoFreshBuffer)->Arg(1)->Arg(24)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
