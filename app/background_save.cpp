#include "app/background_save.h"

#include "imaging/saving/output_target.h"
#include "imaging/saving/save_progress.h"

#include <QEventLoop>
#include <QThread>
#include <exception>
#include <new>
#include <vector>

TBackgroundSave::TBackgroundSave(QObject* Parent) : QObject(Parent) {}

TBackgroundSave::~TBackgroundSave()
{
    if (!FThread)
        return;
    FProgress->Cancel();
    FThread->wait();
    delete FThread;
}

bool TBackgroundSave::Start(const QString& FileName, TEncode Encode)
{
    if (FThread)
        return false;
    FFileName = FileName;
    FProgress = std::make_shared<TSaveProgress>();
    FThread = QThread::create([this, FileName, progress = FProgress, encode = std::move(Encode)] {
        const TSaveProgressScope scope(progress.get());
        QString reason;
        QByteArray bytes;
        try {
            bytes = encode(&reason);
        } catch (const std::bad_alloc&) {
            bytes.clear();
            reason = QStringLiteral("not enough memory");
        } catch (const std::exception& error) {
            bytes.clear();
            reason = QString::fromUtf8(error.what());
        }
        TOutcome outcome = TOutcome::Failed;
        qint64 size = 0;
        // Nothing is written once the save is cancelled: the target and its
        // folder stay as they were.
        if (progress->Cancelled()) {
            outcome = TOutcome::Cancelled;
        } else if (!bytes.isEmpty()) {
            progress->Report(1.0);
            if (WriteOutputFile(FileName, bytes, &reason)) {
                outcome = TOutcome::Saved;
                size = bytes.size();
            }
        } else if (reason.isEmpty()) {
            reason = QStringLiteral("not enough memory");
        }
        bytes.clear();
        QMetaObject::invokeMethod(
            this, [this, outcome, size, reason] { Finish(outcome, size, reason); }, Qt::QueuedConnection);
    });
    FThread->start();
    return true;
}

double TBackgroundSave::Done() const
{
    return FProgress ? FProgress->Done() : 0.0;
}

void TBackgroundSave::Cancel()
{
    if (FThread)
        FProgress->Cancel();
}

void TBackgroundSave::Wait()
{
    while (FThread) {
        QEventLoop loop;
        FWaiting.push_back(&loop);
        loop.exec();
        std::erase(FWaiting, &loop);
    }
}

void TBackgroundSave::Finish(TOutcome Outcome, qint64 Size, const QString& Reason)
{
    if (FThread) {
        FThread->wait();
        delete FThread;
        FThread = nullptr;
    }
    // Every wait ends, a wait begun inside another's events included.
    for (QEventLoop* loop : FWaiting)
        loop->quit();
    const QString fileName = FFileName;
    switch (Outcome) {
    case TOutcome::Saved:
        if (OnSaved)
            OnSaved(fileName, Size);
        break;
    case TOutcome::Failed:
        if (OnFailed)
            OnFailed(fileName, Reason);
        break;
    case TOutcome::Cancelled:
        if (OnCancelled)
            OnCancelled(fileName);
        break;
    }
}
