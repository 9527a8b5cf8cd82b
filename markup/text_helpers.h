#pragma once

#include "toolkit/ascii_text.h"

#include <QString>

// Small text helpers of the markup engine. Positions are 1-based and 0 means
// "not found", because the layout counts characters that way. Comparisons
// ignore the case of ASCII letters only (UpperCaseAscii), so a text and its
// upper-cased copy always have the same length and positions found in one are
// valid in the other.

// Position of the first occurrence of the upper-cased Pattern in the upper-cased
// Text, 0 when absent (an empty Pattern is never found).
int IndexOfText(const QString& Pattern, const QString& Text);

// Replaces the first case-insensitive occurrence of Pattern in Text with
// Replacement; False (and Text unchanged) when there is none.
bool ReplaceFirstText(const QString& Pattern, const QString& Replacement, QString& Text);

// Integer conversion: leading blanks, an optional sign, decimal digits or "$"
// followed by hexadecimal digits. Stops at the first character that does not
// belong and returns the value read so far (0 when nothing was read). A digit
// that would overflow 32 bits also stops the conversion. WholeText, when given,
// tells whether at least one digit was read and nothing followed it.
int IntValue(const QString& Text, bool* WholeText = nullptr);

// Text without carriage returns and line feeds; with Convert each carriage
// return becomes a "<BR>" tag instead.
QString LineBreaksToMarkup(const QString& Text, bool Convert);

// Shows the first "<#Name>" construct as "#Name": drops the "<" of the first
// "<#" and the first ">" after it.
QString UnwrapHashTag(const QString& Text);

// The plain text of a markup text: line-break and rule tags become CR LF,
// hidden sections and tags are dropped.
QString StripMarkup(const QString& Text);

// Text without its space characters (other white space stays).
QString RemoveBlanks(const QString& Text);
