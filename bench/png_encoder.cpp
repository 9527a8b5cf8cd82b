#include "imaging/png/png_encoder.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QImageWriter>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <ctime>
#include <random>
#include <vector>

namespace
{

// A stand-in for a saved reflection: a photograph-like upper part (smooth
// light, soft shapes, sensor grain), a small transparent gap, and below it
// the picture mirrored with its alpha fading from 120 to 1.
QImage MakeReflection(int Width, int PictureHeight)
{
    const int Gap = 1;
    const int ReflectionHeight = PictureHeight / 80; // 4000 rows give 6000 x 4051 in all
    const int Height = PictureHeight + Gap + ReflectionHeight;
    QImage Image(Width, Height, QImage::Format_ARGB32);
    Image.fill(0);
    std::mt19937 Random(2024);
    std::normal_distribution<float> Grain(0.0f, 2.5f);
    for (int Y = 0; Y < PictureHeight; ++Y) {
        auto* Line = reinterpret_cast<QRgb*>(Image.scanLine(Y));
        const float V = float(Y) / PictureHeight;
        for (int X = 0; X < Width; ++X) {
            const float U = float(X) / Width;
            const float Shape = 40.0f * std::sin(U * 9.0f + V * 4.0f) * std::cos(V * 7.0f - U * 3.0f);
            const float Sky = 170.0f - 90.0f * V;
            auto Channel = [&](float Base) { return std::clamp(int(Base + Shape + Grain(Random)), 0, 255); };
            Line[X] = qRgba(Channel(Sky * 0.8f + 30.0f * U), Channel(Sky * 0.9f + 20.0f),
                            Channel(Sky + 40.0f * V), 255);
        }
    }
    for (int R = 0; R < ReflectionHeight; ++R) {
        const auto* Source = reinterpret_cast<const QRgb*>(Image.constScanLine(PictureHeight - 1 - R));
        auto* Line = reinterpret_cast<QRgb*>(Image.scanLine(PictureHeight + Gap + R));
        const int Alpha = 120 - (119 * R) / std::max(1, ReflectionHeight - 1);
        for (int X = 0; X < Width; ++X)
            Line[X] = (Source[X] & 0x00FFFFFFu) | QRgb(Alpha) << 24;
    }
    return Image;
}

const QImage& Image(int Which)
{
    static const QImage Small = MakeReflection(1000, 800);
    static const QImage Large = MakeReflection(6000, 4000);
    return Which == 0 ? Small : Large;
}

// The machine's cores are shared, so wall time alone says little: the CPU
// seconds of the whole process (all threads) per iteration go beside it.
double ProcessSeconds()
{
    timespec Now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &Now);
    return double(Now.tv_sec) + double(Now.tv_nsec) / 1e9;
}

void ReportSize(benchmark::State& State, const QImage& Source, std::size_t OutputBytes, double CpuSeconds)
{
    State.counters["cpu_s_per_iter"] = CpuSeconds / double(State.iterations());
    State.SetBytesProcessed(std::int64_t(State.iterations()) * Source.sizeInBytes());
    State.counters["width"] = Source.width();
    State.counters["height"] = Source.height();
    State.counters["out_MB"] = double(OutputBytes) / 1e6;
    State.counters["ratio_pct"] = 100.0 * double(OutputBytes) / double(Source.sizeInBytes());
}

void BM_EncodePng(benchmark::State& State)
{
    const QImage& Source = Image(int(State.range(0)));
    TPngEncodeOptions Options;
    Options.Level = int(State.range(1));
    Options.Threads = int(State.range(2));
    Options.Coding = TPngCoding(State.range(3));
    std::size_t Size = 0;
    const double Start = ProcessSeconds();
    for (auto _ : State) {
        const QByteArray File = EncodePng(Source, Options);
        Size = std::size_t(File.size());
        benchmark::DoNotOptimize(File.constData());
    }
    ReportSize(State, Source, Size, ProcessSeconds() - Start);
}

void BM_QtPngWriter(benchmark::State& State)
{
    const QImage& Source = Image(int(State.range(0)));
    std::size_t Size = 0;
    const double Start = ProcessSeconds();
    for (auto _ : State) {
        QByteArray Bytes;
        QBuffer Buffer(&Bytes);
        Buffer.open(QIODevice::WriteOnly);
        QImageWriter Writer(&Buffer, "png");
        Writer.write(Source);
        Size = std::size_t(Bytes.size());
        benchmark::DoNotOptimize(Bytes.constData());
    }
    ReportSize(State, Source, Size, ProcessSeconds() - Start);
}

void BM_Memcpy(benchmark::State& State)
{
    const QImage& Source = Image(int(State.range(0)));
    std::vector<char> Target(std::size_t(Source.sizeInBytes()));
    const double Start = ProcessSeconds();
    for (auto _ : State) {
        std::memcpy(Target.data(), Source.constBits(), Target.size());
        benchmark::ClobberMemory();
    }
    ReportSize(State, Source, Target.size(), ProcessSeconds() - Start);
}

// Arguments: image (0 = 1000 x 800, 1 = 6000 x 4000 plus reflection), level,
// threads, coding (0 automatic, the default; 1 matches only; 2 literals and
// runs only). The figures are on docs/benchmarks.md.
BENCHMARK(BM_EncodePng)
    ->ArgsProduct({{0, 1}, {6}, {2}, {0, 1, 2}})
    ->ArgsProduct({{1}, {1, 12}, {2}, {1}})
    ->Args({1, 6, 1, 0})
    // The clipboard's candidates, on one core: stored, and matches at level 1.
    ->Args({1, 0, 1, 0})
    ->Args({1, 1, 1, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(1.0);
BENCHMARK(BM_QtPngWriter)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_Memcpy)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication App(argc, argv);
    // With LUMIVEX_BENCH_DUMP set, the large image is also saved there
    // (uncompressed PNG), so other encoders can be timed on the same pixels.
    if (const QByteArray Dump = qgetenv("LUMIVEX_BENCH_DUMP"); !Dump.isEmpty()) {
        TPngEncodeOptions Stored;
        Stored.Level = 0;
        QFile File(QString::fromLocal8Bit(Dump));
        if (!File.open(QIODevice::WriteOnly) || !WritePng(Image(1), &File, Stored))
            return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
