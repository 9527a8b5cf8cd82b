#pragma once

#include <QByteArray>
#include <QString>

struct TPicturePolicy;

// What a markup may learn about a local file it names (a shell icon's file
// or folder), under the policy of the pictures it may read.
struct TLocalFileProbe {
    enum class TKind {
        NotExamined, // the policy keeps the path unlooked-at: judge it by its name
        Missing,     // nothing there, or it cannot be examined
        Folder,
        RegularFile, // Head holds its first bytes
        Special,     // a FIFO, device, socket or a kernel file (/proc, /sys): never opened
    };
    TKind Kind = TKind::NotExamined;
    QByteArray Head;
};

// Examines Path as Policy allows. A policy that reads any local file lets
// every path be looked at; otherwise only a path inside an allowed folder,
// written without "..", is, and only when it still lies inside once its links
// are resolved: without allowed folders nothing on disk is touched. Only a
// regular file on an ordinary file system is opened (without blocking), and
// no more than HeadBytes of it are read. The policy's OnLocalPath hears every
// path before it is looked at.
TLocalFileProbe ProbeLocalFile(const TPicturePolicy& Policy, const QString& Path, qsizetype HeadBytes);
