#pragma once

#include <QString>

// Case folding that touches the ASCII letters only. The stored layouts and the
// markup language compare names this way, and a text keeps its length when
// upper-cased, so positions found in the copy are valid in the original.

// C with a..z turned into A..Z; every other code unit kept.
constexpr char16_t UpperAscii(char16_t C)
{
    return C >= u'a' && C <= u'z' ? char16_t(C - (u'a' - u'A')) : C;
}

// Text with its ASCII letters a..z turned into A..Z; every other character kept.
QString UpperCaseAscii(const QString& Text);
