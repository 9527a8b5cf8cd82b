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
    static QGuiApplication application(*argc, *argv);
}
