#pragma once

#include <QByteArray>
#include <QSize>
#include <QString>

// The EXIF packet (a TIFF structure, see image_packets.h) rewritten for the
// picture as written: orientation 1, because the pixels are stored upright,
// and the pixel dimensions Size. Empty, with Reason, when libexif finds the
// packet damaged: then no EXIF is written at all rather than a broken one.
QByteArray UprightExif(const QByteArray& Exif, QSize Size, QString* Reason = nullptr);
