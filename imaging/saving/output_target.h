#pragma once

#include <QByteArray>
#include <QString>

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
