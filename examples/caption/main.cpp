// A window with a reflection label showing a caption written in markup.
//   caption [--screenshot FILE]
// With --screenshot the window is drawn once, written to FILE and closed, so
// that the example can run without a display (QT_QPA_PLATFORM=offscreen).
#include <lumivex/controls/orb_reflection_label.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QPalette>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("A reflection label with a markup caption."));
    parser.addHelpOption();
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("Write the window to <file> and quit."),
                                        QStringLiteral("file"));
    parser.addOption(screenshot);
    parser.process(app);

    QWidget window;
    window.setWindowTitle(QStringLiteral("Lumivex caption"));
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, Qt::white);
    window.setPalette(palette);
    window.setAutoFillBackground(true);

    auto* caption = new TOrbReflectionLabel(&window);
    caption->SetMarkup(
        QStringLiteral("<font size=\"20\" color=\"#1060C0\">Summer <b>2026</b></font> <i>on the lake</i>"));
    caption->SetReflectionSize(30);
    caption->SetReflectionOpacityStart(160);
    caption->setGeometry(20, 20, 360, 80);
    window.resize(400, 120);
    window.show();

    if (!parser.isSet(screenshot))
        return app.exec();

    // The label builds its reflection while painting, so the picture is taken
    // once the event loop has painted the window.
    int status = 1;
    QTimer::singleShot(0, &window, [&] {
        const QString file = parser.value(screenshot);
        if (window.grab().save(file))
            status = 0;
        else
            std::fprintf(stderr, "caption: cannot write %s\n", qPrintable(file));
        app.quit();
    });
    app.exec();
    return status;
}
