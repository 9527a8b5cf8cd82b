// A bare window holding one reflection image control, for looking at the
// control on a real display: show_reflection_image PICTURE [SIZE START END AXIS]
#include "controls/orb_reflection_image.h"

#include <QApplication>
#include <QPalette>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: show_reflection_image PICTURE [SIZE START END AXIS] [--quit-after MS]\n");
        return 2;
    }
    QWidget window;
    window.setWindowTitle(QStringLiteral("Reflection image control"));
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, Qt::white);
    window.setPalette(palette);
    window.setAutoFillBackground(true);

    auto* control = new TOrbReflectionImage(&window);
    control->move(20, 20);
    control->SetAutoSize(true);
    if (argc >= 6) {
        control->SetReflectionSize(QString::fromLocal8Bit(argv[2]).toInt());
        control->SetReflectionOpacityStart(QString::fromLocal8Bit(argv[3]).toInt());
        control->SetReflectionOpacityEnd(QString::fromLocal8Bit(argv[4]).toInt());
    }
    if (argc >= 7)
        control->SetReflectionAxis(QString::fromLocal8Bit(argv[5]).toInt());
    control->Picture()->LoadFile(QString::fromLocal8Bit(argv[1]));
    if (control->Picture()->IsEmpty() || control->Picture()->Width() == 0)
        std::fprintf(stderr, "%s\n", qPrintable(control->Picture()->LastError()));
    window.resize(control->width() + 40, control->height() + 40);
    window.show();
    return app.exec();
}
