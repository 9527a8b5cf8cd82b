#pragma once

#include "app/open_check.h"

#include <QByteArray>
#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QEventLoop;
class QThread;

// A large photo opened in two steps, so that the window shows it at once: a
// reduced decoding first (libjpeg decodes a half, quarter or eighth of a
// JPEG directly, at a fraction of the full time), then the whole picture on
// a thread of its own, which replaces the reduced one when it is ready.
// Saves and copies always wait for the whole picture.
class TQuickOpen : public QObject
{
  public:
    explicit TQuickOpen(QObject* Parent = nullptr);
    // Waits for a decoding still running.
    ~TQuickOpen() override;

    // FileName's picture reduced while it is read (by an eighth, a quarter or
    // a half, to at least three quarters of its size fitted into Fit),
    // upright, its full upright size and its colour profile (empty when it
    // has none); null when its reader cannot reduce while reading or the
    // picture is no larger than Fit.
    static QImage ReducedPicture(const QString& FileName, QSize Fit, QSize* FullSize,
                                 QByteArray* Icc = nullptr);
    // The size ReducedPicture decodes an upright picture of Upright pixels
    // to for Fit; empty when it does not reduce it.
    static QSize ReducedSize(QSize Upright, QSize Fit);

    // Decodes FileName whole on the thread; OnDecoded then runs on the
    // window's thread. A newer start supersedes an older one's result. A
    // held start is pending at once but decodes only from Release (or
    // Wait), or after HeldAtMost milliseconds: on a busy machine the first
    // paint of the reduced picture then does not share the cores with it.
    void Start(const QString& FileName, bool Held = false);
    void Release();
    bool Pending() const { return FThread != nullptr; }
    // Returns once no decoding runs, handling the window's events meanwhile.
    void Wait();

    static constexpr int HeldAtMost = 250;

    std::function<void(TCheckedPicture Checked, const QString& FileName)> OnDecoded;

  private:
    void Finish(quint64 Generation, std::shared_ptr<TCheckedPicture> Checked, const QString& FileName);

    QThread* FThread = nullptr;
    std::vector<QThread*> FRetired;
    quint64 FGeneration = 0;
    std::vector<QEventLoop*> FWaiting;
};
