#pragma once

#include <QString>
#include <optional>

// Attribute values of markup tags. Names are found by a substring search in
// the upper-cased tag text, not by parsing, so the first occurrence wins even
// inside another attribute's value ("BGCOLOR" inside "BGCOLORTO").

// How many characters of the tag come before its attributes: "<P", "<IMG"
// and the most tags skip two, "<FONT" and "<BODY" five.
constexpr int ShortTagPrefix = 2;
constexpr int LongTagPrefix = 5;

// The attribute part of the tag at the start of Markup: the tag text (up to
// its ">") without its first Skip characters, case kept.
QString TagAttributes(const QString& Markup, int Skip);

// Whether Name occurs anywhere in Attributes, in any case.
bool HasAttribute(const QString& Attributes, const QString& Name);

enum class TValueCase {
    Upper,     // colours, faces
    AsWritten, // picture names: SRC, ALT, the body's pictures
};

// The text between the first two double quotes after Name, as in
// NAME="value"; empty when Name is absent or fewer than two quotes follow it.
QString AttributeValue(const QString& Attributes, const QString& Name, TValueCase Case = TValueCase::Upper);

// The SIZE attribute: the text after the next "=" after "SIZE" (after "SIZE"
// itself when no "=" follows), then after the next double quote if there is
// one, read with IntValue. So SIZE=3 and SIZE="3" both give 3. Empty when the
// attributes have no "SIZE".
std::optional<int> SizeAttribute(const QString& Attributes);

// Font size in points for a markup SIZE: 1..5 give 8, 10, 12, 14, 16; any
// other number is taken as points itself.
int FontSizeFromMarkup(int Size);

// The anchor target: the first double-quoted text anywhere in the tag, case
// kept; empty without quotes.
QString AnchorTarget(const QString& Markup);

// The x of the indentation and offset tags and the a of the rotation tag: the
// first Letter of either case in the tag from its third character on, then the
// first double-quoted text starting two characters after that letter (the
// letter and its "="). Empty when the letter is absent or the quotes are not
// complete; read it with IntValue.
QString LetterValue(const QString& Markup, char16_t Letter);
