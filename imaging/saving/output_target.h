#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

// Writes an encoded file to FileName without ever replacing something that is
// not a regular file:
// - a new name or an existing regular file is written to a temporary file
//   beside it and renamed over it, so a failed write keeps the old file;
// - a symbolic link is followed and its final target written the same way,
//   so the link itself stays;
// - a FIFO, a character or block device (such as /dev/null) is opened and
//   written in place, never replaced;
// - a folder or a socket is refused.
// FileName's bytes are those of FileNameBytes (file_names.h), so a name that
// is not UTF-8 is written under the bytes it came with.
// Returns false with a readable Reason (the system's own words for a write
// error, such as "No space left on device") when nothing complete was written.
bool WriteOutputFile(const QString& FileName, const QByteArray& Bytes, QString* Reason = nullptr);

// The same rules for a file written while its bytes are produced: a regular
// file goes to its temporary file as they come and is renamed over the
// target only by Commit; destroying the object before that removes the
// temporary file, so a failure half-way leaves nothing behind. A FIFO or
// device is written in place, and only at Commit (its reader never sees a
// half-made file). Opened on a device instead of a name, the bytes are
// likewise held and the device gets them all at Commit.
class TOutputFile
{
  public:
    TOutputFile() = default;
    ~TOutputFile();
    TOutputFile(const TOutputFile&) = delete;
    TOutputFile& operator=(const TOutputFile&) = delete;

    bool Open(const QString& FileName, QString* Reason = nullptr);
    bool Open(QIODevice* Device);
    // False once a write failed; Commit then gives the reason.
    bool Write(const char* Data, qint64 Size);
    bool Commit(QString* Reason = nullptr);
    bool Failed() const { return FError != 0; }

  private:
    void Discard();

    QString FName;
    QByteArray FPath;      // where the bytes go in the end
    QByteArray FTemporary; // empty when written in place
    QByteArray FHeld;      // a device's or FIFO's bytes until Commit
    QIODevice* FDevice = nullptr;
    int FDescriptor = -1;
    int FError = 0;
    bool FInPlace = false;
};
