#pragma once

class QImage;

// The picture drawn over white, opaque: what formats without alpha carry.
QImage FlattenOverWhite(const QImage& Image);
