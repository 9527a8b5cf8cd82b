#pragma once

#include <QByteArray>
#include <QString>

// The binary form of a window layout written in the readable text form (see
// LayoutBinaryToText). Strings become a short string when they are Latin-1 and
// at most 255 characters, a wide string otherwise; integers take the smallest
// integer type. Faults raise ELayoutError naming the line and what was
// expected there.
QByteArray LayoutTextToBinary(const QString& Text);
