#pragma once

#include <QByteArray>
#include <QString>

// File names on Linux are bytes, not text. A name that is not valid UTF-8
// must still be found (input) and written under the same bytes (output), so
// names pass through QString losslessly: valid UTF-8 decodes as usual, and each
// byte that is not part of a valid sequence becomes the lone surrogate
// U+DC80 + (byte - 0x80), which no real text contains; encoding turns those
// back into the same bytes.
QString FileNameFromBytes(const QByteArray& Bytes);
QByteArray FileNameBytes(const QString& Name);
