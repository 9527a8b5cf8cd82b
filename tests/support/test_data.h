#pragma once

#include <QImage>
#include <QString>

// Path of a fixture under tests/data.
QString TestDataPath(const QString& Name);

// A fixture decoded as Format_ARGB32; fails the calling test when it cannot be read.
QImage LoadTestImage(const QString& Name);
