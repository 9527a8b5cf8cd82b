// What the damage checks add to decoding: each check on its own beside the
// whole decode of the same 6 megapixel file, for the formats checked.
#include "imaging/codecs/bmp_checks.h"
#include "imaging/codecs/gif_checks.h"
#include "imaging/codecs/gif_writer.h"
#include "imaging/codecs/image_decoding.h"
#include "imaging/codecs/png_checks.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImageWriter>
#include <benchmark/benchmark.h>
#include <random>

namespace
{
QImage Photo()
{
    QImage image(3000, 2000, QImage::Format_ARGB32);
    std::mt19937 random(7);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int noise = int(random() % 9);
            row[x] = qRgb((x / 12 + noise) & 255, (y / 8 + noise) & 255, 128 + noise);
        }
    }
    return image;
}

QByteArray File(const char* Format)
{
    static const QImage photo = Photo();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (QByteArray(Format) == "gif")
        WriteGifImage(photo, &buffer);
    else
        QImageWriter(&buffer, Format).write(photo);
    return bytes;
}

void CheckOnly(benchmark::State& state, const char* Format)
{
    const QByteArray file = File(Format);
    const QByteArray format(Format);
    for (auto _ : state)
        benchmark::DoNotOptimize(format == "png"   ? FindPngDamage(file)
                                 : format == "gif" ? FindGifDamage(file)
                                                   : FindBmpDamage(file));
}

void WholeDecode(benchmark::State& state, const char* Format)
{
    const QByteArray file = File(Format);
    for (auto _ : state)
        benchmark::DoNotOptimize(DecodeImage(file));
}

} // namespace

BENCHMARK_CAPTURE(CheckOnly, png, "png")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WholeDecode, png, "png")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(CheckOnly, gif, "gif")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WholeDecode, gif, "gif")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(CheckOnly, bmp, "bmp")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WholeDecode, bmp, "bmp")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WholeDecode, jpeg, "jpeg")->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
