#pragma once

#include "imaging/png/png_encoder.h"

#include <QByteArray>
#include <QImage>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QThread;
class TSaveProgress;

// Puts a picture on the clipboard as PNG without holding the window: the
// picture is composed and encoded once, on a thread of its own, with the
// program's PNG encoder, and the clipboard then serves those bytes
// ("image/png") to every paste. A newer copy supersedes one still running.
class TClipboardCopy : public QObject
{
  public:
    // Makes the PNG file to copy; runs on the copy's thread, so it must only
    // use what it was given. Empty, with the reason, when it fails.
    using TMake = std::function<QByteArray(QString* Reason)>;

    // The PNG file of a picture made already, as a save would write it.
    static QByteArray PngOf(const QImage& Picture, QString* Reason);
    // How a large copy is encoded: literals and runs only, the encoder's
    // fastest coding that still compresses (a paste needs it at once, not
    // small); a picture made already is written as a save would write it.
    static TPngEncodeOptions FastPngOptions();

    explicit TClipboardCopy(QObject* Parent = nullptr);
    // Stops the copies still running and waits for their threads, which use
    // the pictures given.
    ~TClipboardCopy() override;

    void Start(TMake Make);
    bool Pending() const { return FThread != nullptr; }

    // Run on the window's thread once a copy is on the clipboard, or failed.
    std::function<void()> OnCopied;
    std::function<void(const QString& Reason)> OnFailed;

  private:
    void Finish(quint64 Generation, const QByteArray& Png, const QString& Reason);

    QThread* FThread = nullptr;
    // Threads of superseded copies, left to finish on their own.
    std::vector<std::unique_ptr<QThread>> FRetired;
    quint64 FGeneration = 0;
    // Cancelled when the window goes: every copy still running stops.
    std::shared_ptr<TSaveProgress> FStop;
};
