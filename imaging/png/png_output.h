#pragma once

class QImage;
class QIODevice;

// Writes Image as a PNG file into Device, keeping its alpha. Returns whether
// every byte was written.
bool WritePngImage(const QImage& Image, QIODevice* Device);
