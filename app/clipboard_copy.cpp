#include "app/clipboard_copy.h"

#include "imaging/saving/reflection_output.h"
#include "imaging/saving/save_progress.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QThread>
#include <exception>

namespace
{
// The one format offered: any other would be encoded on the window's thread
// when a paste asks for it, which is what froze the window.
const QString PngMimeType = QStringLiteral("image/png");
} // namespace

TClipboardCopy::TClipboardCopy(QObject* Parent) : QObject(Parent), FStop(std::make_shared<TSaveProgress>()) {}

QByteArray TClipboardCopy::PngOf(const QImage& Picture, QString* Reason)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (EncodeReflection(Picture, ImageSaveFormat::Png, &buffer, Reason) != TGpStatus::Ok)
        return {};
    return png;
}

TPngEncodeOptions TClipboardCopy::FastPngOptions()
{
    TPngEncodeOptions options;
    options.Coding = TPngCoding::LiteralsAndRuns;
    return options;
}

TClipboardCopy::~TClipboardCopy()
{
    // A copy nobody will paste any more stops at its next band, so that
    // quitting does not wait for it.
    FStop->Cancel();
    if (FThread)
        FRetired.emplace_back(FThread);
    for (const std::unique_ptr<QThread>& thread : FRetired)
        thread->wait();
}

void TClipboardCopy::Start(TMake Make)
{
    if (FThread)
        FRetired.emplace_back(FThread);
    const quint64 generation = ++FGeneration;
    FThread = QThread::create([this, generation, stop = FStop, make = std::move(Make)] {
        const TSaveProgressScope scope(stop.get());
        QString reason;
        QByteArray png;
        try {
            png = make(&reason);
        } catch (const std::exception& error) {
            png.clear();
            reason = QString::fromUtf8(error.what());
        }
        if (png.isEmpty() && reason.isEmpty())
            reason = QStringLiteral("not enough memory");
        // Delivered on the window's thread; dropped if this object is gone.
        QMetaObject::invokeMethod(
            this, [this, generation, png, reason] { Finish(generation, png, reason); }, Qt::QueuedConnection);
    });
    FThread->start();
}

void TClipboardCopy::Finish(quint64 Generation, const QByteArray& Png, const QString& Reason)
{
    if (Generation != FGeneration)
        return;
    FRetired.emplace_back(FThread);
    FThread = nullptr;
    // Retired threads have delivered by now or will shortly; keep only those
    // still running.
    std::erase_if(FRetired, [](const std::unique_ptr<QThread>& Thread) {
        if (!Thread->isFinished())
            return false;
        Thread->wait();
        return true;
    });
    if (Png.isEmpty()) {
        if (OnFailed)
            OnFailed(Reason);
        return;
    }
    auto* data = new QMimeData;
    data->setData(PngMimeType, Png);
    QGuiApplication::clipboard()->setMimeData(data);
    if (OnCopied)
        OnCopied();
}
