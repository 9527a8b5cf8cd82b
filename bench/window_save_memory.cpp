// The window's peak memory while it saves or copies a 24-megapixel picture:
// the real window with a 6000 x 4000 photo open, its image control's save,
// and the PNG bytes a copy puts on the clipboard. Each case resets the
// process's peak resident size first (/proc/self/clear_refs) and reports
// the peak reached during it, with the resident size the open picture had
// before. Run once per case: memory, not time, is the figure.

#include "app/clipboard_copy.h"
#include "app/main_form.h"
#include "app/save_bytes.h"
#include "bench/support/window_bench.h"
#include "controls/orb_reflection_image.h"
#include "imaging/gdip_picture.h"
#include "imaging/saving/output_target.h"
#include "imaging/saving/reflection_output.h"
#include "imaging/saving/save_formats.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <ctime>
#include <fstream>
#include <memory>
#include <string>

namespace
{
// A line of /proc/self/status in MB ("VmHWM", "VmRSS").
double StatusMegabytes(const std::string& Field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(Field + ":", 0) == 0)
            return std::stod(line.substr(Field.size() + 1)) / 1024.0;
    return 0;
}

// CPU seconds of the whole process, every thread: the work, whatever the
// load of the shared cores.
double ProcessSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

void ResetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

struct TWindow {
    QTemporaryDir Folder;
    std::unique_ptr<TForm2> Form;

    TWindow()
    {
        const QString photo = MakeBenchPhoto(Folder, 6000, 4000);
        Form = std::make_unique<TForm2>();
        Form->resize(980, 692);
        Form->show();
        Form->OpenFile(photo);
        QApplication::processEvents();
    }
};

std::unique_ptr<TWindow> TheWindow;

TWindow& Window()
{
    if (!TheWindow)
        TheWindow = std::make_unique<TWindow>();
    return *TheWindow;
}

void Report(benchmark::State& State, double Open)
{
    State.counters["open_MB"] = Open;
    State.counters["peak_MB"] = StatusMegabytes("VmHWM");
}

void BM_SaveReflectionPng(benchmark::State& State)
{
    TWindow& window = Window();
    const QString target = window.Folder.filePath(QStringLiteral("saved.png"));
    const double open = StatusMegabytes("VmRSS");
    ResetPeak();
    const double start = ProcessSeconds();
    for (auto _ : State) {
        QString reason;
        if (!window.Form->OrbReflectionImage1->SaveReflection(target, ImageSaveFormat::Png, &reason))
            State.SkipWithError(reason.toStdString().c_str());
    }
    Report(State, open);
    State.counters["cpu_s"] = ProcessSeconds() - start;
    State.counters["file_MB"] = double(QFile(target).size()) / (1024 * 1024);
}

// What the window's save thread does: the file's bytes made in memory (so a
// cancelled save leaves nothing on disk), then written beside the target
// and renamed over it. Argument: 0 PNG, 1 JPEG, 2 BMP, 3 TIFF, 4 GIF.
void BM_WindowSave(benchmark::State& State)
{
    TWindow& window = Window();
    TOrbReflectionImage* control = window.Form->OrbReflectionImage1;
    constexpr ImageSaveFormat Formats[] = {ImageSaveFormat::Png, ImageSaveFormat::Jpeg, ImageSaveFormat::Bmp,
                                           ImageSaveFormat::Tiff, ImageSaveFormat::Gif};
    const ImageSaveFormat format = Formats[State.range(0)];
    const TSaveFormatInfo* info = FindSaveFormat(format);
    const QString target =
        window.Folder.filePath(QStringLiteral("window.") + QString::fromLatin1(info->Extension));
    const double open = StatusMegabytes("VmRSS");
    ResetPeak();
    const double start = ProcessSeconds();
    for (auto _ : State) {
        QString reason;
        const QByteArray bytes =
            ReflectionFileBytes(control->Picture()->DecodedImage(), control->ReflectionParameters(), format,
                                100, Qt::white, &reason);
        if (bytes.isEmpty() || !WriteOutputFile(target, bytes, &reason))
            State.SkipWithError(reason.toStdString().c_str());
    }
    Report(State, open);
    State.counters["cpu_s"] = ProcessSeconds() - start;
    State.counters["file_MB"] = double(QFile(target).size()) / (1024 * 1024);
    State.SetLabel(info->Description);
}

void BM_CopyReflectionPng(benchmark::State& State)
{
    TWindow& window = Window();
    TOrbReflectionImage* control = window.Form->OrbReflectionImage1;
    const double open = StatusMegabytes("VmRSS");
    ResetPeak();
    const double start = ProcessSeconds();
    for (auto _ : State) {
        QString reason;
        const QByteArray bytes =
            EncodeReflectionPng(control->Picture()->DecodedImage(), control->ReflectionParameters(), &reason,
                                TClipboardCopy::FastPngOptions());
        if (bytes.isEmpty())
            State.SkipWithError(reason.toStdString().c_str());
        State.counters["bytes_MB"] = double(bytes.size()) / (1024 * 1024);
        Report(State, open);
    }
    State.counters["cpu_s"] = ProcessSeconds() - start;
}
} // namespace

BENCHMARK(BM_SaveReflectionPng)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WindowSave)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Arg(3)
    ->Arg(4)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_CopyReflectionPng)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    return RunWindowBenchmarks(argc, argv, [] { TheWindow.reset(); });
}
