// From a slider's new value to the repainted "Image" page, on a 24-megapixel
// photo: the real window, its slider handler and the view painting into an
// off-screen image, at 100 % (scrolled) and fitted.

#include "app/image_view.h"
#include "app/main_form.h"
#include "app/style_panel.h"
#include "bench/support/window_bench.h"
#include "controls/orb_reflection_image.h"
#include "imaging/gdip_picture.h"
#include "toolkit/widgets/track_bar.h"

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QSlider>
#include <QTemporaryDir>
#include <array>
#include <benchmark/benchmark.h>
#include <memory>

namespace
{
struct TWindow {
    QTemporaryDir Folder;
    std::unique_ptr<TForm2> Form;
    QImage Screen{980, 600, QImage::Format_ARGB32_Premultiplied};

    TWindow()
    {
        Form = std::make_unique<TForm2>();
        Form->resize(980, 692);
        Form->show();
        Form->OpenFile(MakeBenchPhoto(Folder, 6000, 4000));
        QApplication::processEvents();
    }

    // The image view painted as the screen would show it.
    void Paint()
    {
        QPainter painter(&Screen);
        Form->ImageView()->render(&painter, QPoint(), QRegion(Screen.rect()));
    }

    // What a drag costs: Slider stepped through 20 values from Low, the view
    // repainted after each step.
    void Drag(benchmark::State& State, QSlider* Slider, int Low)
    {
        int step = 0;
        for (auto _ : State) {
            Slider->setValue(Low + (step++ % 20));
            Paint();
            benchmark::DoNotOptimize(Screen.constBits());
        }
    }

    // Labels the case by What and the view's scale. LUMIVEX_BENCH_SHOT=folder
    // keeps the last painted view of each case as Kind-ARG0-ARG1.png, to see
    // that the benchmark painted what a user would see.
    void Finish(benchmark::State& State, const char* Kind, const QString& What)
    {
        if (const QString folder = qEnvironmentVariable("LUMIVEX_BENCH_SHOT"); !folder.isEmpty())
            Screen.save(QStringLiteral("%1/%2-%3-%4.png")
                            .arg(folder, QLatin1String(Kind))
                            .arg(State.range(0))
                            .arg(State.range(1)));
        State.SetLabel(
            QStringLiteral("%1, %2")
                .arg(What, Form->ImageView()->Fitted() ? QStringLiteral("fit") : QStringLiteral("100 %"))
                .toStdString());
    }
};

// Made at the first benchmark, gone before the application object.
std::unique_ptr<TWindow> TheWindow;

TWindow& Window()
{
    if (!TheWindow)
        TheWindow = std::make_unique<TWindow>();
    return *TheWindow;
}

TTrackBar* Slider(TForm2& Form, int Index)
{
    TTrackBar* sliders[] = {Form.TrackBar1, Form.TrackBar2, Form.TrackBar3, Form.TrackBar4};
    return sliders[Index];
}

// Arguments: the slider (0..3), and 1 for the fit view.
void BM_SliderStepToRepaintedView(benchmark::State& State)
{
    TWindow& window = Window();
    TImageView* view = window.Form->ImageView();
    view->SetFitted(State.range(1) == 1);
    // Scrolled at 100 % so that the picture's last rows and the reflection
    // share the view.
    view->horizontalScrollBar()->setValue(2500);
    view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
    // Steps around the middle of the slider's range: a reflection of some
    // 130 rows for the size slider, the window's start values otherwise.
    QSlider* slider = Slider(*window.Form, int(State.range(0)))->Slider();
    const int low = (slider->minimum() + slider->maximum()) / 2;
    window.Drag(State, slider, low);
    window.Finish(State, "view",
                  QString::fromLatin1(std::array{"size", "opacity start", "opacity end",
                                                 "axis"}[std::size_t(State.range(0))]));
}

// Arguments: the style slider (0 blur, 1 squash), and 1 for the fit view.
// The other style slider stands at a middle value, so that each step builds
// a reflection that is both blurred and squashed, of 255 rows.
void BM_StyleStepToRepaintedView(benchmark::State& State)
{
    TWindow& window = Window();
    TImageView* view = window.Form->ImageView();
    // The largest reflection the window's size slider allows: the most rows
    // a style step has to build.
    QSlider* size = Slider(*window.Form, 0)->Slider();
    const int sizeBefore = size->value();
    size->setValue(size->maximum());
    view->SetFitted(State.range(1) == 1);
    // The 100 % view looks at the reflection's first rows under the picture.
    view->horizontalScrollBar()->setValue(2500);
    view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
    TStylePanel* panel = window.Form->StylePanel();
    panel->LoadFromControl();
    QSlider* moved = State.range(0) == 0 ? panel->BlurSlider() : panel->ScaleSlider();
    QSlider* other = State.range(0) == 0 ? panel->ScaleSlider() : panel->BlurSlider();
    other->setValue(State.range(0) == 0 ? 60 : 20);
    const int low = State.range(0) == 0 ? 10 : 40;
    window.Drag(State, moved, low);
    window.Finish(State, "style", State.range(0) == 0 ? QStringLiteral("blur") : QStringLiteral("squash"));
    // Back to the classic fade for the benchmarks that follow.
    panel->BlurSlider()->setValue(0);
    panel->ScaleSlider()->setValue(100);
    size->setValue(sizeBefore);
}

// Arguments: the side (1 above, 2 left, 3 right), and 1 for the fit view.
// Steps of the size slider with the reflection on that side; the picture is
// turned once, when the side is chosen, before the steps are timed.
void BM_SideSizeStepToRepaintedView(benchmark::State& State)
{
    TWindow& window = Window();
    TImageView* view = window.Form->ImageView();
    TStylePanel* panel = window.Form->StylePanel();
    panel->LoadFromControl();
    panel->SideBox()->setCurrentIndex(int(State.range(0)));
    view->SetFitted(State.range(1) == 1);
    QSlider* slider = Slider(*window.Form, 0)->Slider();
    const int low = (slider->minimum() + slider->maximum()) / 2;
    slider->setValue(low);
    // At 100 % the view looks at the picture's edge on the reflection's
    // side, the edge in the middle of the view.
    const int edge = State.range(0) == 3 ? 6000 : window.Form->OrbReflectionImage1->ReflectionSize();
    view->horizontalScrollBar()->setValue(State.range(0) == 1 ? 2500 : edge - 490);
    view->verticalScrollBar()->setValue(State.range(0) == 1 ? edge - 300 : 1800);
    window.Paint();
    window.Drag(State, slider, low);
    window.Finish(State, "side", panel->SideBox()->currentText());
    panel->SideBox()->setCurrentIndex(0);
}
} // namespace

BENCHMARK(BM_SideSizeStepToRepaintedView)
    ->ArgsProduct({{1, 2, 3}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK(BM_StyleStepToRepaintedView)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK(BM_SliderStepToRepaintedView)
    ->ArgsProduct({{0, 1, 2, 3}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

int main(int argc, char** argv)
{
    return RunWindowBenchmarks(argc, argv, [] { TheWindow.reset(); });
}
