// From opening a photo to the first painted "Image" page, as "lumivex FILE"
// does it: the real window (created beforehand, not timed), the file opened
// and the whole window painted once, synchronously. A 24-megapixel JPEG is
// shown from libjpeg's reduced decoding first and its whole decoding
// arrives from a thread; a 0.24-megapixel one opens whole, at 100 %. The
// synchronous whole open of the large photo is the comparison. The time
// until the whole picture has arrived and is painted is the "whole_ms"
// counter.

#include "app/image_view.h"
#include "app/main_form.h"
#include "bench/support/window_bench.h"

#include <QApplication>
#include <QEventLoop>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>

namespace
{
struct TPhotos {
    QTemporaryDir Folder;
    QString Small = MakeBenchPhoto(Folder, 600, 400);
    QString Large = MakeBenchPhoto(Folder, 6000, 4000);
};

std::unique_ptr<TPhotos> ThePhotos;

double Milliseconds(std::chrono::steady_clock::time_point Start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - Start).count();
}

// Arguments: 0 the 0.24 MP photo, 1 the 24 MP photo, 2 the 24 MP photo opened
// whole before the first paint.
void BM_OpenToFirstPaint(benchmark::State& State)
{
    if (!ThePhotos)
        ThePhotos = std::make_unique<TPhotos>();
    const QString file = State.range(0) == 0 ? ThePhotos->Small : ThePhotos->Large;
    double whole = 0;
    for (auto _ : State) {
        auto form = std::make_unique<TForm2>();
        form->resize(980, 692);
        form->show();
        QApplication::processEvents();

        const auto start = std::chrono::steady_clock::now();
        if (State.range(0) == 2)
            form->OpenFile(file);
        else
            form->OpenFileInBackground(file);
        form->repaint();
        State.SetIterationTime(Milliseconds(start) / 1000);

        while (form->OpenPending())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        form->repaint();
        whole += Milliseconds(start);
        benchmark::DoNotOptimize(form->ImageView()->PicturePaints());
    }
    State.counters["whole_ms"] = benchmark::Counter(whole / double(State.iterations()));
    State.SetLabel(State.range(0) == 0   ? "0.24 MP JPEG"
                   : State.range(0) == 1 ? "24 MP JPEG, reduced first"
                                         : "24 MP JPEG, whole first");
}
} // namespace

BENCHMARK(BM_OpenToFirstPaint)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseManualTime();

int main(int argc, char** argv)
{
    return RunWindowBenchmarks(argc, argv, [] { ThePhotos.reset(); });
}
