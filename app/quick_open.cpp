#include "app/quick_open.h"

#include "imaging/codecs/image_decoding.h"
#include "imaging/gdip_picture.h"

#include <QBuffer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <exception>

TQuickOpen::TQuickOpen(QObject* Parent) : QObject(Parent) {}

TQuickOpen::~TQuickOpen()
{
    if (FThread)
        FRetired.push_back(FThread);
    for (QThread* thread : FRetired) {
        thread->wait();
        delete thread;
    }
}

QImage TQuickOpen::ReducedPicture(const QString& FileName, QSize Fit, QSize* FullSize, QByteArray* Icc)
{
    // Read once: the reader decodes from these bytes, and the profile the
    // reduced picture is shown with is read from them as the whole
    // picture's is.
    QFile file(FileName);
    // Only JPEG's reader reduces while it decodes; anything else is left
    // unread here, and what is not a regular file is not even opened (a
    // pipe's open waits for a writer).
    if (!QFileInfo(FileName).isFile() || !file.open(QIODevice::ReadOnly) ||
        !file.peek(3).startsWith("\xFF\xD8\xFF"))
        return {};
    QByteArray bytes = file.readAll();
    file.close();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    // Only a reader that reduces while it decodes saves time: libjpeg's.
    if (reader.format() != "jpeg" || !reader.supportsOption(QImageIOHandler::ScaledSize) || Fit.isEmpty())
        return {};
    const QSize stored = reader.size();
    if (stored.isEmpty())
        return {};
    const bool swapped = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
    const QSize upright = swapped ? stored.transposed() : stored;
    const QSize size = ReducedSize(upright, Fit);
    if (size.isEmpty())
        return {};
    reader.setScaledSize(swapped ? size.transposed() : size);
    QImage reduced = reader.read();
    if (reduced.isNull())
        return {};
    if (FullSize)
        *FullSize = upright;
    if (Icc)
        *Icc = ReadPicturePackets(bytes).Icc;
    return reduced.convertToFormat(QImage::Format_ARGB32);
}

QSize TQuickOpen::ReducedSize(QSize Upright, QSize Fit)
{
    if (Upright.isEmpty() || Fit.isEmpty())
        return {};
    const QSize fitted = Upright.scaled(Fit, Qt::KeepAspectRatio);
    if (fitted.width() >= Upright.width())
        return {};
    // The largest of libjpeg's own reductions (an eighth, a quarter, a half)
    // that is still three quarters of the fitted size: decoded at once and
    // never scaled again; the view enlarges it the little that is missing
    // until the whole picture arrives.
    for (int shift = 3; shift > 0; --shift) {
        const QSize candidate((Upright.width() + (1 << shift) - 1) >> shift,
                              (Upright.height() + (1 << shift) - 1) >> shift);
        if (candidate.width() * 4 >= fitted.width() * 3)
            return candidate;
    }
    return {};
}

void TQuickOpen::Start(const QString& FileName, bool Held)
{
    if (FThread)
        FRetired.push_back(FThread);
    const quint64 generation = ++FGeneration;
    QThread* mainThread = thread();
    FThread = QThread::create([this, generation, FileName, mainThread] {
        auto checked = std::make_shared<TCheckedPicture>();
        try {
            *checked = CheckedPictureFromFile(FileName);
        } catch (const std::exception& error) {
            checked->Picture.reset();
            checked->Reason = QString::fromUtf8(error.what());
        }
        // Made here, used and destroyed on the window's thread.
        if (checked->Picture)
            checked->Picture->moveToThread(mainThread);
        QMetaObject::invokeMethod(
            this, [this, generation, checked, FileName] { Finish(generation, checked, FileName); },
            Qt::QueuedConnection);
    });
    if (!Held) {
        FThread->start();
        return;
    }
    // A window that is never painted still gets its whole picture.
    QTimer::singleShot(HeldAtMost, this, [this, generation] {
        if (generation == FGeneration)
            Release();
    });
}

void TQuickOpen::Release()
{
    if (FThread && !FThread->isRunning() && !FThread->isFinished())
        FThread->start();
}

void TQuickOpen::Wait()
{
    Release();
    while (FThread) {
        QEventLoop loop;
        FWaiting.push_back(&loop);
        loop.exec();
        std::erase(FWaiting, &loop);
    }
}

void TQuickOpen::Finish(quint64 Generation, std::shared_ptr<TCheckedPicture> Checked, const QString& FileName)
{
    std::erase_if(FRetired, [](QThread* Thread) {
        if (!Thread->isFinished())
            return false;
        Thread->wait();
        delete Thread;
        return true;
    });
    if (Generation != FGeneration)
        return;
    FThread->wait();
    delete FThread;
    FThread = nullptr;
    for (QEventLoop* loop : FWaiting)
        loop->quit();
    if (OnDecoded)
        OnDecoded(std::move(*Checked), FileName);
}
