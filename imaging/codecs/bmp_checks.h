#pragma once

#include <QByteArray>
#include <QString>

// Headers, pixel offset and row data against the file's length; RLE streams
// walked to their end-of-bitmap code without running past a row or the image.
QString FindBmpDamage(const QByteArray& Data);
