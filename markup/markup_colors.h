#pragma once

#include "toolkit/graphics/color.h"

#include <QString>

// Colour values of the markup language: "#RRGGBB" triples, the colour names
// of the toolkit ("clRed", "clBtnFace", ...) and, after them, the colour
// keywords of CSS and SVG ("red", "orange", "rebeccapurple", ...).

// Empty Value gives clNone (callers skip the assignment then); "#..." goes to
// HexMarkupColor; anything else is lower-cased and looked up by name.
TColor MarkupColor(const QString& Value);

// The pairs at positions 2-3, 4-5 and 6-7 as red, green and blue, each pair
// worth 16 * d(c1) + d(c2) with d(c) = code - 48 below "A" and code - 55 from
// "A" on, code being the character's code in code page 1252 ("?" for those it
// lacks). Nothing is validated: other characters give what the formula gives,
// a pair over 255 spills into the next byte, a pair cut short by the end of
// Value counts 0.
TColor HexMarkupColor(const QString& Value);

// Exact match of a lower-case colour name, the toolkit's names first, then
// the CSS and SVG keywords; unknown names give 0 (black).
TColor NamedMarkupColor(const QString& Name);
