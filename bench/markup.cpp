#include "markup/draw_markup.h"
#include "toolkit/graphics/canvas.h"
#include "toolkit/graphics/font.h"
#include "toolkit/graphics/image_list.h"

#include <QGuiApplication>
#include <QImage>
#include <benchmark/benchmark.h>

// Layout and drawing of markup texts from 1 KB to 1 MB into a 600-pixel-wide
// area (time per KB should not grow with the size), and hit tests of a point
// in a 10 KB label.

namespace
{

// Mixed markup: fonts, colours, anchors, lists, pictures, entities.
QString SampleMarkup(int Kilobytes)
{
    static const QString pieces[] = {
        QStringLiteral("Plain words of a label wrapping along the line. "),
        QStringLiteral("<B>bold</B> and <I>italic</I> text, "),
        QStringLiteral("<FONT COLOR=\"clRed\" SIZE=\"3\">red and larger</FONT> "),
        QStringLiteral("<A HREF=\"https://example.org/page\">an anchor here</A> "),
        QStringLiteral("<UL><LI>first item</LI><LI>second &amp; last</LI></UL>"),
        QStringLiteral("a picture <IMG SRC=\"IDX:0\"> inline, "),
        QStringLiteral("<FONT FACE=\"DejaVu Sans\" BGCOLOR=\"#FFFFC0\">face</FONT> x<SUB>2</SUB> "),
        QStringLiteral("<P ALIGN=\"CENTER\">centred paragraph</P><BR>"),
    };
    QString text;
    const qsizetype size = qsizetype(Kilobytes) * 1024;
    for (int i = 0; text.size() < size; ++i)
        text += pieces[i % std::size(pieces)];
    text.truncate(size);
    return text;
}

struct TBench {
    TBench() : Image(600, 400, QImage::Format_ARGB32), Canvas(&Image)
    {
        RegisterTahomaFont();
        Image.fill(0xFFFFFFFFu);
        Canvas.Font()->SetName(QStringLiteral("Tahoma"));
        Canvas.Font()->SetHeight(-11);
        Images.SetSize(16, 16);
        Images.Add(QImage(16, 16, QImage::Format_ARGB32));
    }

    bool Run(const QString& Markup, QPoint Point, bool TestOnly)
    {
        TMarkupRequest request;
        // Tall enough for every line: the layout never stops at the bottom.
        request.Area = QRect(0, 0, 600, 1 << 29);
        request.Point = Point;
        request.TestOnly = TestOnly;
        request.ShadowShift = 1;
        request.BlinkVisible = true;
        request.Images = &Images;
        return DrawMarkup(Canvas, Markup, request).AnchorAtPoint;
    }

    QImage Image;
    TCanvas Canvas;
    TImageList Images;
};

void BM_DrawMarkup(benchmark::State& State)
{
    TBench bench;
    const int kilobytes = int(State.range(0));
    const QString markup = SampleMarkup(kilobytes);
    for (auto _ : State)
        benchmark::DoNotOptimize(bench.Run(markup, QPoint(-1, -1), false));
    State.SetBytesProcessed(State.iterations() * qint64(kilobytes) * 1024);
    State.counters["time_per_KB"] = benchmark::Counter(
        double(kilobytes), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_HitTestMarkup(benchmark::State& State)
{
    TBench bench;
    const QString markup = SampleMarkup(10);
    for (auto _ : State)
        benchmark::DoNotOptimize(bench.Run(markup, QPoint(300, 200), true));
}

BENCHMARK(BM_DrawMarkup)->Arg(1)->Arg(10)->Arg(100)->Arg(1024)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_HitTestMarkup)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
