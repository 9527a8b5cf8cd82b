#pragma once

#include "markup/markup_state.h"
#include "toolkit/graphics/color.h"

#include <QString>
#include <optional>

// The attributes of the tags that carry several, read the way the language
// reads them. Each reader takes the markup from the tag's "<" on.

// <FONT>: attributes from the tag's sixth character, upper-cased.
struct TFontTag {
    std::optional<QString> Face;      // upper case
    std::optional<TColor> Color;      // " COLOR" with a non-empty value
    bool HasBackground = false;       // "BGCOLOR" present: the brush is saved
    std::optional<TColor> Background; // ... and set when the value is not empty
    std::optional<int> Size;          // in points
};
TFontTag ReadFontTag(const QString& Markup);

// <P>: attributes from the tag's third character.
struct TParagraphTag {
    std::optional<TParagraphAlignment> Alignment; // when ALIGN names one
    std::optional<int> Indent;
    bool HasBackground = false; // "BGCOLOR" present
    TColor BackgroundFrom = clNone;
    bool HasGradient = false; // "BGCOLORTO" present as well
    TColor BackgroundTo = clNone;
};
TParagraphTag ReadParagraphTag(const QString& Markup);

// <BODY>: attributes from the tag's sixth character. Picture names as written.
struct TBodyTag {
    std::optional<QString> Background;
    std::optional<QString> TopLeft;
    std::optional<QString> TopRight;
    bool HasBackground = false; // "BGCOLOR" present
    TColor BackgroundFrom = clNone;
    bool HasGradient = false;
    TColor BackgroundTo = clNone;
    bool VerticalGradient = false; // "DIR" present with a value other than "H"
};
TBodyTag ReadBodyTag(const QString& Markup);

// <IMG>: attributes from the tag's third character.
struct TImageTag {
    QString Source;             // "SRC", case kept
    std::optional<QString> Alt; // case kept
    int Width = 0;
    int Height = 0;
    bool AlignTop = false;    // ALIGN present and a double quote followed by TOP
    bool AlignMiddle = false; // ... else a double quote followed by MIDDLE
    bool Wrap = false;
};
TImageTag ReadImageTag(const QString& Markup);
