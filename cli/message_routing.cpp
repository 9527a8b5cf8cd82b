#include "cli/message_routing.h"

#include "cli/reporter.h"

#include <atomic>
#include <cstdio>

namespace
{
std::atomic<TCliReporter*> Reporter{nullptr};
thread_local QString Subject;
} // namespace

void CliMessageHandler(QtMsgType Type, const QMessageLogContext&, const QString& Message)
{
    if (Type != QtCriticalMsg && Type != QtFatalMsg)
        return;
    const QString name = Subject.isEmpty() ? QString() : Subject;
    TCliReporter* reporter = Reporter.load();
    if (reporter && !name.isEmpty()) {
        reporter->Failure(name, Message);
        return;
    }
    const QString line = name.isEmpty() ? QStringLiteral("lumivex-cli: %1\n").arg(Message)
                                        : QStringLiteral("lumivex-cli: %1: %2\n").arg(name, Message);
    if (reporter) {
        reporter->Line(line.chopped(1));
        return;
    }
    std::fputs(line.toLocal8Bit().constData(), stderr);
}

void SetMessageReporter(TCliReporter* Value)
{
    Reporter.store(Value);
}

TMessageSubject::TMessageSubject(const QString& Name) : FPrevious(Subject)
{
    Subject = Name;
}

TMessageSubject::~TMessageSubject()
{
    Subject = FPrevious;
}
