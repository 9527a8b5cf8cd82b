#include "bench/support/window_bench.h"

#include "controls/register_controls.h"
#include "toolkit/graphics/font.h"
#include "toolkit/widgets/register_widgets.h"

#include <QApplication>
#include <QImage>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

QString MakeBenchPhoto(const QTemporaryDir& Folder, int Width, int Height)
{
    const QString name = Folder.filePath(QStringLiteral("photo-%1x%2.jpg").arg(Width).arg(Height));
    QImage photo(Width, Height, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(photo.scanLine(y));
        for (int x = 0; x < photo.width(); ++x)
            row[x] = qRgb((x / 24 + y / 40) & 0xFF, (y / 16) & 0xFF, ((x ^ y) & 0x3F) + 120);
    }
    photo.save(name, "jpeg", 90);
    return name;
}

int RunWindowBenchmarks(int argc, char** argv, const std::function<void()>& Finish)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    RegisterTahomaFont();
    RegisterToolkitWidgets();
    RegisterControls();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (Finish)
        Finish();
    return 0;
}
