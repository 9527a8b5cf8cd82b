// Where one "lumivex-cli image" run spends its time on a 1 and a 24
// megapixel picture: decoding the file, rendering picture plus reflection,
// and encoding the result, each on its own.
#include "imaging/codecs/image_decoding.h"
#include "imaging/saving/reflection_output.h"

#include <QBuffer>
#include <QImageWriter>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <random>

namespace
{
// Smooth colour with mild noise and a soft alpha edge: compresses like a
// photographic cut-out, not like pure noise or a flat fill.
QImage CutOut(int Width, int Height)
{
    QImage image(Width, Height, QImage::Format_ARGB32);
    std::mt19937 random(7);
    for (int y = 0; y < Height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < Width; ++x) {
            const int noise = int(random() % 9) - 4;
            const int edge = std::min({x, y, Width - 1 - x, Height - 1 - y});
            const int alpha = std::min(255, edge * 4);
            row[x] =
                qRgba(std::clamp(x * 255 / Width + noise, 0, 255),
                      std::clamp(y * 255 / Height + noise, 0, 255), std::clamp(128 + noise, 0, 255), alpha);
        }
    }
    return image;
}

QSize SizeFor(int Megapixels)
{
    return Megapixels == 1 ? QSize(1000, 1000) : QSize(6000, 4000);
}

QByteArray PngFile(const QImage& Image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "png").write(Image);
    return bytes;
}

void BM_DecodePng(benchmark::State& state)
{
    const QSize size = SizeFor(int(state.range(0)));
    const QByteArray file = PngFile(CutOut(size.width(), size.height()));
    for (auto _ : state) {
        TDecodedImage decoded = DecodeImage(file);
        benchmark::DoNotOptimize(decoded.Image.constBits());
    }
}

void BM_RenderReflection(benchmark::State& state)
{
    const QSize size = SizeFor(int(state.range(0)));
    const QImage picture = CutOut(size.width(), size.height());
    for (auto _ : state) {
        QImage composed = RenderReflection(picture, WindowStartReflection);
        benchmark::DoNotOptimize(composed.constBits());
    }
}

void BM_EncodeReflection(benchmark::State& state, ImageSaveFormat Format)
{
    const QSize size = SizeFor(int(state.range(0)));
    const QImage composed = RenderReflection(CutOut(size.width(), size.height()), WindowStartReflection);
    qint64 bytes = 0;
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        EncodeReflection(composed, Format, &buffer);
        bytes = buffer.size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["output_bytes"] = double(bytes);
}
} // namespace

BENCHMARK(BM_DecodePng)->Arg(1)->Arg(24)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RenderReflection)->Arg(1)->Arg(24)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_EncodeReflection, png, ImageSaveFormat::Png)
    ->Arg(1)
    ->Arg(24)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_EncodeReflection, jpeg, ImageSaveFormat::Jpeg)
    ->Arg(1)
    ->Arg(24)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_MAIN();
