// Turns the text form of a window layout into the binary form the program
// reads at start: layout_compile INPUT.txt OUTPUT.bin

#include "toolkit/layout/layout_error.h"
#include "toolkit/layout/layout_text_parser.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <cstdio>

namespace
{
int Fail(const QString& Message)
{
    std::fprintf(stderr, "layout_compile: %s\n", Message.toLocal8Bit().constData());
    return 1;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() != 3)
        return Fail(QStringLiteral("usage: layout_compile INPUT.txt OUTPUT.bin"));
    const QString inputName = arguments[1];
    const QString outputName = arguments[2];

    QFile input(inputName);
    if (!input.open(QIODevice::ReadOnly))
        return Fail(QStringLiteral("cannot read %1: %2").arg(inputName, input.errorString()));
    const QByteArray bytes = input.readAll();
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return Fail(QStringLiteral("%1 is not UTF-8 text").arg(inputName));

    QByteArray binary;
    try {
        binary = LayoutTextToBinary(text);
    } catch (const ELayoutError& error) {
        return Fail(QStringLiteral("%1: %2").arg(inputName, QString::fromStdString(error.what())));
    }

    // Written beside the target and renamed over it only when complete, so a
    // failed run never leaves a half-written layout for the build to pick up.
    QSaveFile output(outputName);
    if (!output.open(QIODevice::WriteOnly) || output.write(binary) != binary.size() || !output.commit())
        return Fail(QStringLiteral("cannot write %1: %2").arg(outputName, output.errorString()));
    return 0;
}
