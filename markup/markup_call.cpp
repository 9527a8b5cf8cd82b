#include "markup/markup_call.h"

#include "markup/entities.h"
#include "markup/markup_canvas_painter.h"
#include "markup/markup_context.h"
#include "markup/markup_cursor.h"
#include "markup/markup_line.h"
#include "markup/markup_painter.h"
#include "toolkit/graphics/draw_text.h"

namespace
{

// The passes of every line: the measure pass draws nothing; the second pass
// draws unless the call only tests.
struct TCallPasses {
    TLinePass Measure;
    TLinePass Second;
};

// The second pass starts the line at its aligned position.
TEdges AlignLine(const MarkupState& State, const TEdges& LineRect, const TMarkupLine& Line)
{
    TEdges aligned = LineRect;
    if (State.Alignment == TParagraphAlignment::Right) {
        if (aligned.Right - Line.Width > aligned.Left)
            aligned.Left = aligned.Right - Line.Width;
    } else if (State.Alignment == TParagraphAlignment::Center) {
        const int room = aligned.Right - aligned.Left - Line.Width;
        if (room > 0)
            aligned.Left += int(unsigned(room) / 2u);
    }
    aligned.Left += State.Indent;
    aligned.Bottom = aligned.Top + Line.Height + Line.SubscriptDrop + Line.SuperscriptRaise;
    return aligned;
}

// What the second pass starts from: the state before the measure pass for
// the counters, the list depth and the line offset, the font the last
// second pass left.
struct TLineStart {
    int AnchorCount = 0;
    int ListDepth = 0;
    int ImageCount = 0;
    int LineOffset = 0;
};

// The second pass over exactly the line's markup; a hit counts when the
// point lies in the line's text band or over a picture.
void SecondPass(TMarkupContext& Context, const QString& LineMarkup, const TEdges& Aligned, TMarkupLine& Line,
                const TLineStart& Start, TLinePass Pass)
{
    Context.State.Font = Context.DrawFont;
    Context.AnchorCount = Start.AnchorCount;
    Context.State.ListDepth = Start.ListDepth;
    Context.ImageCount = Start.ImageCount;
    Context.State.LineOffset = Start.LineOffset;
    TMarkupCursor again(LineMarkup);
    LayOutLine(Context, again, Aligned, Line, Start.LineOffset, Pass);
    const int textBottom = Aligned.Bottom - Line.ImageOffset;
    const int pointY = Context.Request.Point.y();
    if (Line.TextAnchorHit && pointY > textBottom - Context.TextHeight() && pointY < textBottom)
        Context.Result.AnchorAtPoint = true;
    if (Line.ImageAnchorHit)
        Context.Result.AnchorAtPoint = true;
    Context.DrawFont = Context.State.Font;
}

// One line: measure pass, alignment, second pass. Returns the height of the
// line's first text, which decides whether another line fits below.
int LayOutNextLine(TMarkupContext& Context, TMarkupCursor& Remaining, TEdges& LineRect,
                   const TCallPasses& Passes)
{
    MarkupState& state = Context.State;
    state.Font = Context.MeasureFont;
    const bool insideAnchor = state.InsideAnchor;
    const QString anchorTarget = state.AnchorTarget;
    const bool anchorStyled = Context.AnchorStyled;

    TMarkupLine line;
    state.Subscript = state.Superscript = false;
    line.Height = Context.TextHeight();
    const int firstHeight = line.Height;
    const TLineStart start{Context.AnchorCount, state.ListDepth, Context.ImageCount, state.LineOffset};
    const QString lineMarkup =
        LayOutLine(Context, Remaining, LineRect, line, start.LineOffset, Passes.Measure);

    // The second pass starts the line as the measure pass did.
    state.InsideAnchor = insideAnchor;
    state.AnchorTarget = anchorTarget;
    Context.AnchorStyled = anchorStyled;
    Context.MeasureFont = state.Font;

    line.Height += Context.Request.LineGap;
    const TEdges aligned = AlignLine(state, LineRect, line);
    if (!Context.Request.MeasureOnly)
        SecondPass(Context, lineMarkup, aligned, line, start, Passes.Second);

    const int advance = line.Height + line.SubscriptDrop + line.SuperscriptRaise;
    LineRect.Top += advance;
    Context.Result.ExtentHeight += advance;
    return firstHeight;
}

void StartCall(TMarkupContext& Context, bool LiteralAmpersands)
{
    TMarkupResult& result = Context.Result;
    result.PlainText.clear();
    result.FocusTarget.clear();
    result.AnchorTotal = result.ExtentWidth = result.ExtentHeight = 0;
    result.PointAnchorIndex = -1;
    result.AnchorAtPoint = false;
    Context.TextFlags = DT_BOTTOM | DT_SINGLELINE | DT_EXPANDTABS | DT_EXTERNALLEADING;
    if (LiteralAmpersands)
        Context.TextFlags |= DT_NOPREFIX;
    if (!Context.Request.WrapWords)
        Context.TextFlags |= DT_END_ELLIPSIS;
}

} // namespace

namespace
{

// The walk over the whole text with the given passes; returns how many
// covering body fills it met in drawing passes.
int WalkText(TMarkupCanvasPainter& Canvas, const TNormalizedMarkup& Normalized, const TMarkupRequest& Request,
             TMarkupResult& Result, const TCallPasses& Passes, int CoveringFillsToSkip)
{
    TMarkupContext context(Canvas, Request, Result);
    context.CoveringFillsToSkip = CoveringFillsToSkip;
    StartCall(context, Normalized.LiteralAmpersands);
    // The line rectangle starts one pixel in from the area's left edge.
    TEdges lineRect = context.Area;
    lineRect.Left += 1;
    TMarkupCursor remaining(Normalized.Text);
    while (!remaining.AtEnd()) {
        const int firstHeight = LayOutNextLine(context, remaining, lineRect, Passes);
        // Layout stops at the area's bottom.
        if (!Request.MeasureOnly && lineRect.Top + firstHeight > context.Area.Bottom)
            break;
    }

    // An empty text is one line of the canvas font high.
    if (Result.ExtentHeight == 0) {
        context.State.Font = context.State.BaseFont;
        Result.ExtentHeight = context.TextHeight();
    }
    Result.AnchorTotal = context.AnchorCount;
    // The canvas font, brush and rotation go back with the context.
    context.EndRotation();
    return context.CoveringFillsMet;
}

} // namespace

void RunMarkupCall(TCanvas& Canvas, const QString& Markup, const TMarkupRequest& Request,
                   TMarkupResult& Result)
{
    TMarkupCanvasPainter canvasPainter(Canvas);
    TNullPainter nullPainter;
    const TCallPasses passes{TLinePass{true, &nullPainter}, Request.TestOnly
                                                                ? TLinePass{true, &nullPainter}
                                                                : TLinePass{false, &canvasPainter}};
    const TNormalizedMarkup normalized = NormalizeMarkup(Markup);

    // Several body backgrounds (every body tag starts so once the line
    // breaks are out): a first walk draws nothing and counts the fills, so
    // that the drawing walk paints only the last.
    int skip = 0;
    if (!Request.TestOnly && !Request.MeasureOnly && !Request.KeepColors &&
        normalized.Text.count(QLatin1String("<bo"), Qt::CaseInsensitive) > 1) {
        TMarkupResult counted = Result;
        const TCallPasses counting{TLinePass{true, &nullPainter}, TLinePass{false, &nullPainter}};
        skip = WalkText(canvasPainter, normalized, Request, counted, counting, 0) - 1;
    }
    WalkText(canvasPainter, normalized, Request, Result, passes, skip);
}
