#include "markup/markup_call.h"

#include "markup/markup_cursor.h"
#include "markup/markup_limits.h"
#include "markup/rotated_font.h"
#include "markup/tag_attributes.h"
#include "markup/tag_readers.h"
#include "markup/tag_recognition.h"
#include "markup/text_helpers.h"
#include "toolkit/graphics/canvas.h"
#include "toolkit/graphics/draw_text.h"
#include "toolkit/graphics/pen.h"

bool TMarkupCall::ApplyTag(TMarkupCursor& Remaining, TLineWalk& Walk)
{
    const QString tag = Remaining.TagText();
    const TMarkupTag kind = RecognizeTag(tag);
    const bool drawPass = !Walk.Measure;
    if (FState.ApplyStateTag(kind, drawPass))
        return true;
    switch (kind) {
    case TMarkupTag::LineBreak:
        FResults.PlainText += u'\r';
        Walk.EndOfLine = true;
        return true;
    case TMarkupTag::Rule:
        ApplyRule(Walk);
        return true;
    case TMarkupTag::Anchor:
        ApplyAnchorStart(tag, Walk);
        return true;
    case TMarkupTag::AnchorEnd:
        ApplyAnchorEnd(Walk);
        return true;
    case TMarkupTag::Font:
        ApplyFont(tag, drawPass);
        return true;
    case TMarkupTag::FontEnd:
        FState.ApplyFontEnd(drawPass, FOptions.KeepColors);
        return true;
    case TMarkupTag::Paragraph:
        ApplyParagraph(tag, Walk);
        return true;
    case TMarkupTag::ParagraphEnd:
        Walk.EndOfLine = true;
        if (drawPass) {
            FState.RestoreBrushColor(FState.ParagraphBackgroundSaved);
            FState.ParagraphBackground = false;
        }
        return true;
    case TMarkupTag::List:
        ++FState.ListDepth;
        Walk.EndOfLine = true;
        return true;
    case TMarkupTag::ListItem:
        if (Walk.ListItemSeen) {
            Walk.LineFull = true;
            return false;
        }
        ApplyListItem(Walk);
        return true;
    case TMarkupTag::ListItemEnd:
        Walk.EndOfLine = true;
        return true;
    case TMarkupTag::Image:
        return ApplyImage(tag, Walk);
    case TMarkupTag::Indentation: {
        bool whole = false;
        const int x = ClampMarkupPosition(IntValue(LetterValue(tag, u'x'), &whole));
        if (whole && x > Walk.Line->Width) {
            Walk.Line->Width = x;
            Walk.Run.Left = FArea.Left + x;
        }
        return true;
    }
    case TMarkupTag::Offset: {
        const int x = ClampMarkupPosition(IntValue(LetterValue(tag, u'x')));
        FState.LineOffset = x;
        Walk.Run.Left = x;
        Walk.Line->Width = x;
        return true;
    }
    case TMarkupTag::Rotation:
        ApplyRotation(tag);
        return true;
    case TMarkupTag::RotationEnd:
        EndRotation();
        return true;
    case TMarkupTag::Body:
        if (drawPass && !FOptions.KeepColors)
            ApplyBody(tag, Walk);
        return true;
    case TMarkupTag::Blink:
        if (!FOptions.BlinkVisible)
            FState.Font.Color = FEntryBrushColor;
        return true;
    default:
        return true; // unknown tags vanish
    }
}

void TMarkupCall::ApplyRule(TLineWalk& Walk)
{
    Walk.EndOfLine = true;
    if (Walk.Measure)
        return;
    TPen* pen = FCanvas.Pen();
    const TColor color = pen->Color();
    pen->SetColor(clBlack);
    FCanvas.MoveTo(Walk.LineRect.Left, Walk.LineRect.Bottom + 1);
    FCanvas.LineTo(Walk.LineRect.Right, Walk.LineRect.Bottom + 1);
    pen->SetColor(color);
}

void TMarkupCall::ApplyAnchorStart(const QString& Tag, TLineWalk& Walk)
{
    const bool drawPass = !Walk.Measure;
    if (drawPass && FAnchorCount == FOptions.FocusIndex) {
        FFocus.Left = Walk.Run.Left;
        FFocus.Top = Walk.Run.Top;
    }
    ++FAnchorCount;
    // Where the anchor's rectangle starts, should the point be found in it.
    FPendingX = Walk.Line->Width;
    FPendingTop = Walk.LineRect.Top;

    const bool hot = FAnchorCount == FOptions.HotIndex;
    FAnchorStyled = !FOptions.HotOnly || hot;
    if (FAnchorStyled && drawPass) {
        FState.Font.Underline = true;
        if (FOptions.HotBackColor != clNone) {
            FState.HotBackgroundSaved = FState.SavedBrushColor();
            FState.SetBrushColor(FOptions.HotBackColor);
        }
        if (FOptions.HotTextColor != clNone) {
            FState.HotTextSaved = FState.Font.Color;
            FState.Font.Color = FOptions.HotTextColor;
        }
    }
    const bool keepHotText = FOptions.HotTextColor != clNone && FOptions.HotOnly && hot;
    if (!FOptions.KeepColors && !keepHotText)
        FState.Font.Color = FOptions.AnchorColor;
    FState.InsideAnchor = true;
    FState.AnchorTarget = AnchorTarget(Tag);
}

void TMarkupCall::ApplyAnchorEnd(TLineWalk& Walk)
{
    const bool drawPass = !Walk.Measure;
    if (FAnchorStyled && drawPass) {
        FState.Font.Underline = false;
        if (FOptions.HotBackColor != clNone)
            FState.RestoreBrushColor(FState.HotBackgroundSaved);
        if (FOptions.HotTextColor != clNone)
            FState.Font.Color = FState.HotTextSaved;
    }
    if (!FOptions.KeepColors)
        FState.Font.Color = FState.BaseFont.Color;

    const TEdges& line = Walk.LineRect;
    if (FPending) {
        TEdges rect{line.Left + FPendingX, FPendingTop, Walk.Line->Width + line.Left, line.Bottom};
        if (FPendingTop != line.Top) {
            // Begun on a line above: this line's part, from its left edge.
            rect.Left = line.Left;
            rect.Top = line.Top;
        }
        FResults.PointAnchorRect = rect.ToRect();
        FResults.PointAnchorIndex = FAnchorCount;
        FPending = false;
    }
    if (FAnchorCount - 1 == FOptions.FocusIndex) {
        FFocus.Right = Walk.Run.Left;
        FFocus.Bottom = Walk.Run.Bottom - Walk.Line->ImageOffset;
        FFocus.Top = FFocus.Bottom - TextHeight(QStringLiteral("gh"));
        if (drawPass)
            DrawFocus(TEdges{FFocus.Left - 1, FFocus.Top - 1, FFocus.Right + 1, FFocus.Bottom + 1});
    }
    FState.InsideAnchor = false;
    FAnchorStyled = false;
}

void TMarkupCall::ApplyListItem(TLineWalk& Walk)
{
    constexpr int Step = 12; // pixels per list level
    Walk.ListItemSeen = true;
    const int depth = FState.ListDepth;
    Walk.Line->Width += Step * depth;
    Walk.Run.Left += Step * (depth - 1);
    if (!Walk.Measure && !FState.Hidden) {
        // The filled bullet at odd depths, a circle at even ones, at the top
        // of the line.
        const QString bullet = depth % 2 != 0 ? QStringLiteral("\u2022") : QStringLiteral("o");
        SyncFont();
        SyncBrush();
        QRect rect = Walk.Run.ToRect();
        DrawTextEx(FCanvas, bullet, rect, 0);
    }
    Walk.Run.Left += Step;
}

void TMarkupCall::ApplyFont(const QString& Tag, bool DrawPass)
{
    auto found = FFontTags.constFind(Tag);
    if (found == FFontTags.constEnd())
        found = FFontTags.insert(Tag, ReadFontTag(Tag));
    const TFontTag& font = *found;
    if (font.Face)
        FState.Font.Name = *font.Face;
    if (font.Color && !FOptions.KeepColors)
        FState.Font.Color = *font.Color;
    if (font.HasBackground && DrawPass && !FOptions.KeepColors) {
        FState.FontBackgroundSaved = FState.SavedBrushColor();
        if (font.Background)
            FState.SetBrushColor(*font.Background);
    }
    if (font.Size)
        FState.Font.Size = ClampMarkupFontSize(*font.Size);
}

void TMarkupCall::ApplyParagraph(const QString& Tag, TLineWalk& Walk)
{
    const TParagraphTag paragraph = ReadParagraphTag(Tag);
    if (paragraph.Alignment)
        FState.Alignment = *paragraph.Alignment;
    if (paragraph.Indent)
        FState.Indent = ClampMarkupPosition(*paragraph.Indent);
    if (!paragraph.HasBackground || Walk.Measure)
        return;
    FState.ParagraphBackground = true;
    const TEdges& line = Walk.LineRect;
    if (!paragraph.HasGradient) {
        FState.ParagraphBackgroundSaved = FState.SavedBrushColor();
        FState.RestoreBrushColor(paragraph.BackgroundFrom);
        FCanvas.Pen()->SetColor(paragraph.BackgroundFrom);
        SyncBrush();
        FCanvas.Rectangle(FArea.Left, line.Top, FArea.Right, line.Bottom);
        return;
    }
    FillGradient(paragraph.BackgroundFrom, paragraph.BackgroundTo, true,
                 TEdges{FArea.Left, line.Top, FArea.Right, line.Bottom + 2});
}

void TMarkupCall::ApplyRotation(const QString& Tag)
{
    // A second rotation replaces the first; the font put back at its end (or
    // at the end of the call) is the one before any rotation.
    const int degrees = IntValue(LetterValue(Tag, u'a'));
    if (FRotated) {
        TRotatedFontState replaced;
        SelectRotatedFont(FCanvas, degrees, replaced);
        return;
    }
    SelectRotatedFont(FCanvas, degrees, FRotationSaved);
    FRotated = true;
}

void TMarkupCall::EndRotation()
{
    if (!FRotated)
        return;
    RestoreRotatedFont(FCanvas, FRotationSaved);
    FRotated = false;
}
