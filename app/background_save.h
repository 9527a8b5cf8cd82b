#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QEventLoop;
class QThread;
class TSaveProgress;

// One save at a time, made on a thread of its own so that the window keeps
// answering: the file's bytes are encoded in memory from what the save was
// given (pictures are shared read-only, values copied), then written to a
// temporary file beside the target and renamed over it. A cancelled save
// writes nothing at all, so the folder stays as it was.
class TBackgroundSave : public QObject
{
  public:
    // Makes the file's bytes; runs on the save's thread with only what it
    // captured. Empty, with the reason, when it fails.
    using TEncode = std::function<QByteArray(QString* Reason)>;

    explicit TBackgroundSave(QObject* Parent = nullptr);
    // Stops a save still running and waits for its thread.
    ~TBackgroundSave() override;

    // Starts saving to FileName; false while another save runs.
    bool Start(const QString& FileName, TEncode Encode);
    bool Running() const { return FThread != nullptr; }
    QString FileName() const { return FFileName; }
    // The part encoded so far, 0..1 (0 as long as the encoder cannot tell).
    double Done() const;
    // Stops the running save: it reports OnCancelled and leaves no file.
    void Cancel();
    // Returns once no save runs, handling the window's events meanwhile.
    void Wait();

    // Run on the window's thread when the save has ended.
    std::function<void(const QString& FileName, qint64 Size)> OnSaved;
    std::function<void(const QString& FileName, const QString& Reason)> OnFailed;
    std::function<void(const QString& FileName)> OnCancelled;

  private:
    enum class TOutcome { Saved, Failed, Cancelled };
    void Finish(TOutcome Outcome, qint64 Size, const QString& Reason);

    QThread* FThread = nullptr;
    std::shared_ptr<TSaveProgress> FProgress;
    QString FFileName;
    std::vector<QEventLoop*> FWaiting;
};
