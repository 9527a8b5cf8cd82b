#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Lumivex"));
    window.resize(980, 692);
    window.show();
    return app.exec();
}
