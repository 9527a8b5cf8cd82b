// One keystroke on the "Text" page: the label's markup changes and it repaints,
// the reflection rebuilt in between, at the page's size and font.
#include "controls/orb_reflection_label.h"
#include "toolkit/graphics/font.h"
#include "toolkit/strings.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <cstdint>

namespace
{
// A formatted sentence of about 100 characters, repeated to the wanted length.
QString MarkupOfLength(int Length)
{
    const QString sentence =
        QStringLiteral("Glossy <b>reflections</b> of a <font color=\"clNavy\">title</font> with "
                       "<a href=\"http://lumivex.example/\">an anchor</a> and <i>words</i>. ");
    QString markup;
    while (markup.size() < Length)
        markup += sentence;
    return markup.left(Length);
}

void BM_TypeOneCharacter(benchmark::State& state)
{
    TOrbReflectionLabel label;
    label.resize(972, 540);
    label.SetColor(clWhite);
    label.SetTransparent(false);
    label.Font()->SetName(QStringLiteral("Tahoma"));
    label.Font()->SetHeight(-27);
    label.Font()->SetStyle({});
    const QString text = MarkupOfLength(int(state.range(0)));
    label.HTMLText()->SetText(text);
    label.show();
    // Shown and exposed, so that repaint paints at once.
    QApplication::processEvents();
    label.repaint();
    bool odd = false;
    qint64 lastReflection = label.ReflectionBitmap().cacheKey();
    std::int64_t rebuilt = 0;
    for (auto _ : state) {
        // Alternating texts, so that every round is a real change.
        label.HTMLText()->SetText(odd ? text : text + QLatin1Char('x'));
        odd = !odd;
        // The whole paint event: canvas, rebuild, second pass and the copy
        // onto the widget.
        label.repaint();
        const qint64 reflection = label.ReflectionBitmap().cacheKey();
        rebuilt += reflection != lastReflection;
        lastReflection = reflection;
    }
    state.counters["text_height"] = label.MarkupHeight();
    // 1 when every round really painted and rebuilt the reflection.
    state.counters["rebuilt_share"] = double(rebuilt) / double(state.iterations());
}
BENCHMARK(BM_TypeOneCharacter)->Arg(10)->Arg(2048)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    QApplication application(argc, argv);
    RegisterTahomaFont();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
