#include "fuzz_support.h"

#include <QGuiApplication>
#include <QtGlobal>

namespace
{
// Readers log what they find wrong; at millions of inputs that would drown
// the fuzzer's own report.
void QuietHandler(QtMsgType, const QMessageLogContext&, const QString&) {}
} // namespace

void StartFuzzApplication(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    qInstallMessageHandler(QuietHandler);
    // Never destroyed: torn down at exit, after Qt's own per-thread data, it
    // would crash removing the application fonts a target registered.
    static QGuiApplication* application = new QGuiApplication(*argc, *argv);
    Q_UNUSED(application);
}
