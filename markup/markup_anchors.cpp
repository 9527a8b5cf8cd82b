#include "markup/markup_anchors.h"

#include "markup/markup_context.h"
#include "markup/markup_painter.h"
#include "markup/tag_attributes.h"

namespace
{

// The focus rectangle is drawn one pixel wider on each side.
void DrawFocus(TLineWalk& Walk, const TEdges& Focus)
{
    Walk.Painter().FocusRect(
        TEdges{Focus.Left - 1, Focus.Top - 1, Focus.Right + 1, Focus.Bottom + 1}.ToRect());
}

void StyleAnchor(TMarkupContext& Context)
{
    const TMarkupRequest& request = Context.Request;
    MarkupState& state = Context.State;
    state.Font.Underline = true;
    if (request.HotBackColor != clNone) {
        state.HotBackgroundSaved = state.SavedBrushColor();
        state.SetBrushColor(request.HotBackColor);
    }
    if (request.HotTextColor != clNone) {
        state.HotTextSaved = state.Font.Color;
        state.Font.Color = request.HotTextColor;
    }
}

void UnstyleAnchor(TMarkupContext& Context)
{
    const TMarkupRequest& request = Context.Request;
    MarkupState& state = Context.State;
    state.Font.Underline = false;
    if (request.HotBackColor != clNone)
        state.RestoreBrushColor(state.HotBackgroundSaved);
    if (request.HotTextColor != clNone)
        state.Font.Color = state.HotTextSaved;
}

// The rectangle of the anchor found at the point ends here.
void CompletePendingRect(TMarkupContext& Context, const TLineWalk& Walk)
{
    const TEdges& line = Walk.LineRect;
    TEdges rect{line.Left + Context.PendingX, Context.PendingTop, Walk.Line->Width + line.Left, line.Bottom};
    if (Context.PendingTop != line.Top) {
        // Begun on a line above: this line's part, from its left edge.
        rect.Left = line.Left;
        rect.Top = line.Top;
    }
    Context.Result.PointAnchorRect = rect.ToRect();
    Context.Result.PointAnchorIndex = Context.AnchorCount;
    Context.Pending = false;
}

} // namespace

void ApplyAnchorStart(TMarkupContext& Context, const QString& Tag, TLineWalk& Walk)
{
    const TMarkupRequest& request = Context.Request;
    if (!Walk.Measuring() && Context.AnchorCount == request.FocusIndex) {
        Context.Focus.Left = Walk.Run.Left;
        Context.Focus.Top = Walk.Run.Top;
    }
    ++Context.AnchorCount;
    // Where the anchor's rectangle starts, should the point be found in it.
    Context.PendingX = Walk.Line->Width;
    Context.PendingTop = Walk.LineRect.Top;

    const bool hot = Context.AnchorCount == request.HotIndex;
    Context.AnchorStyled = !request.HotOnly || hot;
    // Styling is an effect of the drawing pass.
    if (Context.AnchorStyled && !Walk.Measuring())
        StyleAnchor(Context);
    const bool keepHotText = request.HotTextColor != clNone && request.HotOnly && hot;
    if (!request.KeepColors && !keepHotText)
        Context.State.Font.Color = request.AnchorColor;
    Context.State.InsideAnchor = true;
    Context.State.AnchorTarget = AnchorTarget(Tag);
}

void ApplyAnchorEnd(TMarkupContext& Context, TLineWalk& Walk)
{
    if (Context.AnchorStyled && !Walk.Measuring())
        UnstyleAnchor(Context);
    if (!Context.Request.KeepColors)
        Context.State.Font.Color = Context.State.BaseFont.Color;
    if (Context.Pending)
        CompletePendingRect(Context, Walk);
    if (Context.AnchorCount - 1 == Context.Request.FocusIndex) {
        TEdges& focus = Context.Focus;
        focus.Right = Walk.Run.Left;
        focus.Bottom = Walk.Run.Bottom - Walk.Line->ImageOffset;
        focus.Top = focus.Bottom - Context.TextHeight();
        DrawFocus(Walk, focus);
    }
    Context.State.InsideAnchor = false;
    Context.AnchorStyled = false;
}

void ContinueFocusAtLineEnd(TMarkupContext& Context, TLineWalk& Walk)
{
    if (Walk.Measuring() || !Context.State.InsideAnchor ||
        Context.AnchorCount - 1 != Context.Request.FocusIndex)
        return;
    TEdges& focus = Context.Focus;
    focus.Right = Walk.Run.Left;
    focus.Bottom = Walk.Run.Bottom;
    DrawFocus(Walk, focus);
    focus.Left = Walk.LineRect.Left + 1;
    focus.Top = focus.Bottom;
}
