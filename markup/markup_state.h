#pragma once

#include "markup/tag_recognition.h"
#include "toolkit/graphics/color.h"

#include <QString>

// A font as the markup changes it: face, size in points, style and colour.
struct TMarkupFont {
    QString Name;
    int Size = 8;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    TColor Color = clWindowText;

    bool operator==(const TMarkupFont&) const = default;
};

// The brush behind text: a solid brush gives text an opaque background of its
// colour, a clear one draws text transparently.
struct TMarkupBrush {
    TColor Color = clNone;
    bool Clear = true;

    bool operator==(const TMarkupBrush&) const = default;
};

enum class TParagraphAlignment { Left = 0, Right = 1, Center = 2 };

// The formatting state that tags change while one markup text is laid out.
// The layout owns one for the duration of a call and keeps it across lines;
// tags toggle or replace parts of it from left to right, without nesting.
class MarkupState
{
  public:
    MarkupState() = default;
    // The state at the start of a call: the canvas font as current and base
    // font, a clear brush of colour none, every flag off, alignment left.
    explicit MarkupState(const TMarkupFont& CanvasFont);

    TMarkupFont Font;     // current font
    TMarkupFont BaseFont; // the canvas font when the call began
    TMarkupBrush Brush;

    bool Hidden = false; // measured but not drawn
    bool Shadow = false;
    bool Subscript = false;
    bool Superscript = false;
    bool ErrorUnderline = false;
    bool ParagraphBackground = false;
    bool InsideAnchor = false;

    QString AnchorTarget;
    int ListDepth = 0;
    TParagraphAlignment Alignment = TParagraphAlignment::Left;
    int Indent = 0;     // paragraph indent in pixels
    int LineOffset = 0; // horizontal offset for following lines

    // Brush colours saved before the last font, paragraph and hot anchor
    // background, the font colour saved before the last hot anchor text colour,
    // and font and brush colour before the last highlight. A restore without a
    // save before it in the same call gets none.
    TColor FontBackgroundSaved = clNone;
    TColor ParagraphBackgroundSaved = clNone;
    TColor HotBackgroundSaved = clNone;
    TColor HotTextSaved = clNone;
    TColor HighlightFontSaved = clNone;
    TColor HighlightBrushSaved = clNone;

    // The brush colour as a save keeps it: none when the brush is clear.
    TColor SavedBrushColor() const;
    // Setting a brush colour makes the brush solid.
    void SetBrushColor(TColor Color);
    // Puts a saved brush colour back; a saved none makes the brush clear.
    void RestoreBrushColor(TColor Saved);

    // Carries out the tags whose whole effect is on this state: the style
    // toggles (B, I, U, S, SUB, SUP, SH, Z and their ends), error underline and
    // highlight (draw pass only), list end, offset end and blink end. Returns
    // False, changing nothing, for every other tag; those also lay out or draw
    // and are the layout's.
    bool ApplyStateTag(TMarkupTag Tag, bool DrawPass);

    // The font end tag: face and size back to the base font's; in the draw pass
    // and unless KeepColors, font colour back to the base font's and the brush
    // back to what the last font background saved.
    void ApplyFontEnd(bool DrawPass, bool KeepColors);

  private:
    // Scripts, shadow, hidden, list end, offset end and blink end.
    bool ApplyFlagTag(TMarkupTag Tag);
};
