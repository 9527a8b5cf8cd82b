#pragma once

class QFont;
class TFont;

// Takes over every attribute a QFont carries (name, size, styles) into Font;
// colour and character set stay. Font's OnChange fires once, and only when
// something changed, so a control syncing its font from Qt does not think the
// user gave it a font of its own.
void AssignQFont(TFont& Font, const QFont& Source);
