#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Path of a fixture under tests/data.
QString TestDataPath(const QString& Name);

// A file's whole content; empty when it cannot be read.
QByteArray ReadFileBytes(const QString& Path);

// Image encoded in Format by Qt's own writer, as another program would write it.
QByteArray EncodedBytes(const QImage& Image, const char* Format = "png");

// A fixture decoded as Format_ARGB32; fails the calling test when it cannot be read.
QImage LoadTestImage(const QString& Name);
