#include "markup/markup_state.h"

MarkupState::MarkupState(const TMarkupFont& CanvasFont) : Font(CanvasFont), BaseFont(CanvasFont) {}

TColor MarkupState::SavedBrushColor() const
{
    return Brush.Clear ? clNone : Brush.Color;
}

void MarkupState::SetBrushColor(TColor Color)
{
    Brush.Color = Color;
    Brush.Clear = false;
}

void MarkupState::RestoreBrushColor(TColor Saved)
{
    Brush.Color = Saved;
    Brush.Clear = Saved == clNone;
}

bool MarkupState::ApplyStateTag(TMarkupTag Tag, bool DrawPass)
{
    switch (Tag) {
    case TMarkupTag::Bold:
        Font.Bold = true;
        return true;
    case TMarkupTag::BoldEnd:
        Font.Bold = false;
        return true;
    case TMarkupTag::Italic:
        Font.Italic = true;
        return true;
    case TMarkupTag::ItalicEnd:
        Font.Italic = false;
        return true;
    case TMarkupTag::Underline:
        Font.Underline = true;
        return true;
    case TMarkupTag::UnderlineEnd:
        Font.Underline = false;
        return true;
    case TMarkupTag::StrikeOut:
        Font.StrikeOut = true;
        return true;
    case TMarkupTag::StrikeOutEnd:
        Font.StrikeOut = false;
        return true;
    case TMarkupTag::Subscript:
        Subscript = true;
        return true;
    case TMarkupTag::Superscript:
        Superscript = true;
        return true;
    case TMarkupTag::ScriptEnd:
        Subscript = false;
        Superscript = false;
        return true;
    case TMarkupTag::Shadow:
        Shadow = true;
        return true;
    case TMarkupTag::ShadowEnd:
        Shadow = false;
        return true;
    case TMarkupTag::Hidden:
        Hidden = true;
        return true;
    case TMarkupTag::HiddenEnd:
        Hidden = false;
        return true;
    case TMarkupTag::ErrorUnderline:
    case TMarkupTag::ErrorUnderlineEnd:
        if (DrawPass)
            ErrorUnderline = Tag == TMarkupTag::ErrorUnderline;
        return true;
    case TMarkupTag::Highlight:
        if (DrawPass) {
            HighlightFontSaved = Font.Color;
            HighlightBrushSaved = SavedBrushColor();
            SetBrushColor(clHighlight);
            Font.Color = clHighlightText;
        }
        return true;
    case TMarkupTag::HighlightEnd:
        if (DrawPass) {
            Font.Color = HighlightFontSaved;
            RestoreBrushColor(HighlightBrushSaved);
        }
        return true;
    case TMarkupTag::ListEnd:
        // Without an open list the tag is read as an underline end.
        if (ListDepth > 0)
            --ListDepth;
        else
            Font.Underline = false;
        return true;
    case TMarkupTag::OffsetEnd:
        LineOffset = 0;
        return true;
    case TMarkupTag::BlinkEnd:
        Font.Color = BaseFont.Color;
        return true;
    default:
        return false;
    }
}

void MarkupState::ApplyFontEnd(bool DrawPass, bool KeepColors)
{
    Font.Name = BaseFont.Name;
    Font.Size = BaseFont.Size;
    if (DrawPass && !KeepColors) {
        Font.Color = BaseFont.Color;
        RestoreBrushColor(FontBackgroundSaved);
    }
}
