#include "cli/reporter.h"

#include <unistd.h>

TCliReporter::TCliReporter(std::FILE* Stream) : FStream(Stream), FIsTerminal(isatty(fileno(Stream)) == 1) {}

void TCliReporter::Line(const QString& Text)
{
    const QByteArray bytes = (Text + QLatin1Char('\n')).toLocal8Bit();
    const std::lock_guard<std::mutex> guard(FLock);
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), FStream);
    std::fflush(FStream);
}

void TCliReporter::Failure(const QString& Name, const QString& Reason)
{
    Line(QStringLiteral("lumivex-cli: %1: %2")
             .arg(Name == QLatin1String("-") ? QStringLiteral("standard input") : Name, Reason));
}

void TCliReporter::Progress(int Count, int Total, const QString& Name)
{
    if (FIsTerminal && Total > 1)
        Line(QStringLiteral("[%1/%2] %3").arg(Count).arg(Total).arg(Name));
}
