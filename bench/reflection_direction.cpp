// The streamed PNG road on each side of the picture: a 6000 x 4000 RGBA PNG
// reflected over a third of its length (1333 rows below or above, 1333
// columns left or right) and written as PNG, as "lumivex-cli image" does.
// Left and right compose one row from one row; above keeps the rows it
// mirrors until its reflection is written. Each should cost at most 1.2
// times the reflection below.
#include "imaging/reflection/reflection_direction.h"
#include "imaging/saving/file_reflection.h"

#include <QBuffer>
#include <QImageWriter>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <random>

namespace
{
// Smooth colour with mild noise and a soft alpha edge, as bench_cli_stages'.
const QByteArray& CutOutPng()
{
    static const QByteArray file = [] {
        const int width = 6000, height = 4000;
        QImage image(width, height, QImage::Format_ARGB32);
        std::mt19937 random(7);
        for (int y = 0; y < height; ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < width; ++x) {
                const int noise = int(random() % 9) - 4;
                const int edge = std::min({x, y, width - 1 - x, height - 1 - y});
                row[x] = qRgba(std::clamp(x * 255 / width + noise, 0, 255),
                               std::clamp(y * 255 / height + noise, 0, 255), std::clamp(128 + noise, 0, 255),
                               std::min(255, edge * 4));
            }
        }
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "png");
        writer.setCompression(1);
        writer.write(image);
        return bytes;
    }();
    return file;
}

void BM_StreamedPngSide(benchmark::State& state)
{
    const QByteArray& file = CutOutPng();
    QTemporaryDir folder;
    TSaveRequest request;
    request.Input = &file;
    request.Reflection = {.Size = 1333, .OpacityStart = 255, .OpacityEnd = 0, .Axis = 1};
    request.Reflection.Direction = TReflectionDirection(state.range(0));
    request.Sink.FileName = folder.filePath(QStringLiteral("out.png"));
    for (auto _ : state) {
        const TFileReflection written = WriteFileReflection(request);
        if (written.Status != TGpStatus::Ok || written.Plan.Read != TReadRoad::Streamed) {
            state.SkipWithError("not written on the streamed road");
            return;
        }
    }
    state.SetLabel(ReflectionDirectionInfo(request.Reflection.Direction).Name);
}
BENCHMARK(BM_StreamedPngSide)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseRealTime();
} // namespace

BENCHMARK_MAIN();
