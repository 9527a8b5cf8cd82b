#include "markup/markup_tags.h"

#include "markup/markup_anchors.h"
#include "markup/markup_backgrounds.h"
#include "markup/markup_context.h"
#include "markup/markup_cursor.h"
#include "markup/markup_limits.h"
#include "markup/markup_painter.h"
#include "markup/markup_pictures.h"
#include "markup/tag_attributes.h"
#include "markup/tag_readers.h"
#include "markup/tag_recognition.h"
#include "markup/text_helpers.h"

namespace
{

constexpr int ListStep = 12; // pixels per list level

// A black line one pixel below the line's bottom, across the line.
void ApplyRule(TLineWalk& Walk)
{
    Walk.EndOfLine = true;
    const int y = Walk.LineRect.Bottom + 1;
    Walk.Painter().Line(QPoint(Walk.LineRect.Left, y), QPoint(Walk.LineRect.Right, y), clBlack, 0);
}

void ApplyListItem(TMarkupContext& Context, TLineWalk& Walk)
{
    Walk.ListItemSeen = true;
    const int depth = Context.State.ListDepth;
    Walk.Line->Width += ListStep * depth;
    Walk.Run.Left += ListStep * (depth - 1);
    if (!Context.State.Hidden) {
        // The filled bullet at odd depths, a circle at even ones, at the top
        // of the line.
        const QString bullet = depth % 2 != 0 ? QStringLiteral("\u2022") : QStringLiteral("o");
        Context.SyncFont();
        Walk.Painter().TextRun(bullet, Walk.Run.ToRect(), 0, Context.State.Brush);
    }
    Walk.Run.Left += ListStep;
}

void ApplyFont(TMarkupContext& Context, const QString& Tag, bool DrawPass)
{
    auto found = Context.FontTags.constFind(Tag);
    if (found == Context.FontTags.constEnd())
        found = Context.FontTags.insert(Tag, ReadFontTag(Tag));
    const TFontTag& font = *found;
    const bool keepColors = Context.Request.KeepColors;
    MarkupState& state = Context.State;
    if (font.Face)
        state.Font.Name = *font.Face;
    if (font.Color && !keepColors)
        state.Font.Color = *font.Color;
    if (font.HasBackground && DrawPass && !keepColors) {
        state.FontBackgroundSaved = state.SavedBrushColor();
        if (font.Background)
            state.SetBrushColor(*font.Background);
    }
    if (font.Size)
        state.Font.Size = ClampMarkupFontSize(*font.Size);
}

void ApplyIndentation(TMarkupContext& Context, const QString& Tag, TLineWalk& Walk)
{
    bool whole = false;
    const int x = ClampMarkupPosition(IntValue(LetterValue(Tag, u'x'), &whole));
    if (whole && x > Walk.Line->Width) {
        Walk.Line->Width = x;
        Walk.Run.Left = Context.Area.Left + x;
    }
}

void ApplyOffset(TMarkupContext& Context, const QString& Tag, TLineWalk& Walk)
{
    const int x = ClampMarkupPosition(IntValue(LetterValue(Tag, u'x')));
    Context.State.LineOffset = x;
    Walk.Run.Left = x;
    Walk.Line->Width = x;
}

// Tags that end the line or shape it as a whole. Returns false for any other
// tag, and when a list item must wait for the next line (line full).
bool ApplyLineTag(TMarkupContext& Context, TMarkupTag Kind, TLineWalk& Walk)
{
    MarkupState& state = Context.State;
    switch (Kind) {
    case TMarkupTag::LineBreak:
        Context.Result.PlainText += u'\r';
        Walk.EndOfLine = true;
        return true;
    case TMarkupTag::Rule:
        ApplyRule(Walk);
        return true;
    case TMarkupTag::ParagraphEnd:
        Walk.EndOfLine = true;
        if (!Walk.Measuring()) {
            state.RestoreBrushColor(state.ParagraphBackgroundSaved);
            state.ParagraphBackground = false;
        }
        return true;
    case TMarkupTag::List:
        ++state.ListDepth;
        Walk.EndOfLine = true;
        return true;
    case TMarkupTag::ListItem:
        if (Walk.ListItemSeen) {
            Walk.LineFull = true;
            return false;
        }
        ApplyListItem(Context, Walk);
        return true;
    case TMarkupTag::ListItemEnd:
        Walk.EndOfLine = true;
        return true;
    default:
        return false;
    }
}

// Every other tag; unknown tags vanish.
bool ApplyRunTag(TMarkupContext& Context, TMarkupTag Kind, const QString& Tag, TLineWalk& Walk)
{
    const bool drawPass = !Walk.Measuring();
    switch (Kind) {
    case TMarkupTag::Anchor:
        ApplyAnchorStart(Context, Tag, Walk);
        return true;
    case TMarkupTag::AnchorEnd:
        ApplyAnchorEnd(Context, Walk);
        return true;
    case TMarkupTag::Font:
        ApplyFont(Context, Tag, drawPass);
        return true;
    case TMarkupTag::FontEnd:
        Context.State.ApplyFontEnd(drawPass, Context.Request.KeepColors);
        return true;
    case TMarkupTag::Paragraph:
        ApplyParagraph(Context, Tag, Walk);
        return true;
    case TMarkupTag::Image:
        return ApplyImage(Context, Tag, Walk);
    case TMarkupTag::Indentation:
        ApplyIndentation(Context, Tag, Walk);
        return true;
    case TMarkupTag::Offset:
        ApplyOffset(Context, Tag, Walk);
        return true;
    case TMarkupTag::Rotation:
        Context.ApplyRotation(IntValue(LetterValue(Tag, u'a')));
        return true;
    case TMarkupTag::RotationEnd:
        Context.EndRotation();
        return true;
    case TMarkupTag::Body:
        // An effect of the drawing pass alone: its colours are state, and its
        // pictures are looked up (and loaded) only there.
        if (drawPass && !Context.Request.KeepColors)
            ApplyBody(Context, Tag, Walk);
        return true;
    case TMarkupTag::Blink:
        if (!Context.Request.BlinkVisible)
            Context.State.Font.Color = Context.EntryBrushColor;
        return true;
    default:
        return true;
    }
}

bool EndsOrShapesLine(TMarkupTag Kind)
{
    switch (Kind) {
    case TMarkupTag::LineBreak:
    case TMarkupTag::Rule:
    case TMarkupTag::ParagraphEnd:
    case TMarkupTag::List:
    case TMarkupTag::ListItem:
    case TMarkupTag::ListItemEnd:
        return true;
    default:
        return false;
    }
}

} // namespace

bool ApplyTag(TMarkupContext& Context, TMarkupCursor& Remaining, TLineWalk& Walk)
{
    const QString tag = Remaining.TagText();
    const TMarkupTag kind = RecognizeTag(tag);
    if (Context.State.ApplyStateTag(kind, !Walk.Measuring()))
        return true;
    if (EndsOrShapesLine(kind))
        return ApplyLineTag(Context, kind, Walk);
    return ApplyRunTag(Context, kind, tag, Walk);
}
