// Frame counting and selection over GIFs of many frames: the time per byte
// stays flat as the frame count grows (one pass over the bytes).
#include "pictures/gif_frames.h"

#include <benchmark/benchmark.h>

namespace
{
// Frames of one pixel each, every one with its graphic control extension.
QByteArray ManyFrames(int Frames)
{
    const QByteArray header =
        QByteArray("GIF89a\x01\x00\x01\x00\x80\x00\x00", 13) + QByteArray("\0\0\0\xFF\xFF\xFF", 6);
    const QByteArray control("\x21\xF9\x04\x00\x00\x00\x00\x00", 8);
    const QByteArray image("\x2C\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00", 15);
    return header + (control + image).repeated(Frames) + "\x3B";
}

void BM_CountGifFrames(benchmark::State& state)
{
    const QByteArray gif = ManyFrames(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(CountGifFrames(gif));
    state.SetBytesProcessed(state.iterations() * gif.size());
    state.SetComplexityN(gif.size());
}
BENCHMARK(BM_CountGifFrames)->RangeMultiplier(10)->Range(100, 100000)->Complexity(benchmark::oN);

void BM_SelectLastGifFrame(benchmark::State& state)
{
    const int frames = int(state.range(0));
    const QByteArray gif = ManyFrames(frames);
    for (auto _ : state) {
        TGifFrameBytes selected = SelectGifFrame(gif, frames);
        benchmark::DoNotOptimize(selected.Bytes.constData());
    }
    state.SetBytesProcessed(state.iterations() * gif.size());
    state.SetComplexityN(gif.size());
}
BENCHMARK(BM_SelectLastGifFrame)->RangeMultiplier(10)->Range(100, 100000)->Complexity(benchmark::oN);
} // namespace

BENCHMARK_MAIN();
