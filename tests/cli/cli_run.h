#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

// What one run of the built lumivex-cli gave.
struct TCliRun {
    int ExitCode = -1;
    bool Crashed = false;
    QByteArray Stdout;
    QString Stderr;
};

// Runs the built program with Arguments in WorkingDir, feeding Stdin.
TCliRun RunCli(const QStringList& Arguments, const QString& WorkingDir = {}, const QByteArray& Stdin = {});

// A picture with soft alpha edges, a gradient and fully transparent corners,
// so that fading, blending and flattening all show in the output.
QImage SoftEdgedPicture(int Width, int Height);

QByteArray ReadAll(const QString& FileName);

// The format a file's first bytes announce: "png", "jpeg", "gif", "bmp",
// "tiff" or empty.
QString SniffFormat(const QByteArray& Bytes);
