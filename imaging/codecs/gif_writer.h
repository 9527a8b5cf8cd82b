#pragma once

#include <QString>

class QImage;
class QIODevice;

// Writes Image as a single-frame GIF89a into Device: flattened over white,
// quantised to at most 256 colours. Reason receives the failure, if any.
bool WriteGifImage(const QImage& Image, QIODevice* Device, QString* Reason = nullptr);
