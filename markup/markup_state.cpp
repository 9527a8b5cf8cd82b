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

namespace
{

// The style toggles: bold, italic, underline, strikeout and their ends.
bool ApplyStyleTag(TMarkupFont& Font, TMarkupTag Tag)
{
    switch (Tag) {
    case TMarkupTag::Bold:
    case TMarkupTag::BoldEnd:
        Font.Bold = Tag == TMarkupTag::Bold;
        return true;
    case TMarkupTag::Italic:
    case TMarkupTag::ItalicEnd:
        Font.Italic = Tag == TMarkupTag::Italic;
        return true;
    case TMarkupTag::Underline:
    case TMarkupTag::UnderlineEnd:
        Font.Underline = Tag == TMarkupTag::Underline;
        return true;
    case TMarkupTag::StrikeOut:
    case TMarkupTag::StrikeOutEnd:
        Font.StrikeOut = Tag == TMarkupTag::StrikeOut;
        return true;
    default:
        return false;
    }
}

} // namespace

bool MarkupState::ApplyStateTag(TMarkupTag Tag, bool DrawPass)
{
    if (ApplyStyleTag(Font, Tag) || ApplyFlagTag(Tag))
        return true;
    switch (Tag) {
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
    default:
        return false;
    }
}

bool MarkupState::ApplyFlagTag(TMarkupTag Tag)
{
    switch (Tag) {
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
    case TMarkupTag::ShadowEnd:
        Shadow = Tag == TMarkupTag::Shadow;
        return true;
    case TMarkupTag::Hidden:
    case TMarkupTag::HiddenEnd:
        Hidden = Tag == TMarkupTag::Hidden;
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
