#pragma once

#include <QByteArray>
#include <QString>

class QImage;

// Whether LittleCMS opens Icc as a profile of RGB colours, the only kind
// that may be attached to the RGB pictures written here.
bool IccProfileOpens(const QByteArray& Icc);

// Converts Image's colours (Format_ARGB32 or Format_RGB32) from Icc's to
// sRGB in place, alpha untouched; for the formats that hold no profile and
// for a picture whose profile is stripped. False, with Reason, when the
// profile cannot be used; Image is then unchanged.
bool ConvertToSrgb(QImage& Image, const QByteArray& Icc, QString* Reason = nullptr);
