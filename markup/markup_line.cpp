#include "markup/markup_line.h"

#include "markup/entities.h"
#include "markup/markup_anchors.h"
#include "markup/markup_backgrounds.h"
#include "markup/markup_context.h"
#include "markup/markup_cursor.h"
#include "markup/markup_painter.h"
#include "markup/markup_tags.h"
#include "toolkit/graphics/draw_text.h"

namespace
{

// The next run ends before a tag or, when wrapping, after a blank.
qsizetype NextRunLength(TMarkupCursor& Remaining, bool WrapWords)
{
    const qsizetype tag = Remaining.Find(u'<');
    const qsizetype blank = WrapWords ? Remaining.Find(u' ') : -1;
    if (tag >= 0 && (blank < 0 || blank > tag))
        return tag;
    if (blank >= 0)
        return blank + 1;
    return Remaining.Remaining();
}

// A red zigzag, 4 pixels a period and 2 high, whose phase depends on x alone
// so that runs drawn one after the other join seamlessly.
void DrawErrorUnderline(TLineWalk& Walk, int From, int To, int Bottom)
{
    int x = From / 2 * 2;
    int y = x % 4 == 0 ? 2 : 0;
    QPoint at(x, Bottom + y - 1);
    while (x < To) {
        y = y == 0 ? 2 : 0;
        const QPoint next(x + 2, Bottom + y - 1);
        Walk.Painter().Line(at, next, clRed, 1);
        at = next;
        x += 2;
    }
}

// A measuring pass takes the run's width and tests it for the point.
int MeasureRun(TMarkupContext& Context, TLineWalk& Walk, const QString& Run)
{
    TMarkupLine& line = *Walk.Line;
    Walk.Run = Walk.LineRect;
    const int w = Context.RunWidth(Run, Walk.Run, Context.TextFlags);
    line.Width += w;
    const QPoint point = Context.Request.Point;
    const int x = point.x() - Walk.Run.Left;
    if (Context.State.InsideAnchor && x >= line.Width - w && x <= line.Width) {
        line.TextAnchorHit = true;
        if (point.y() > Walk.Run.Top) {
            Context.Result.PointAnchor = Context.State.AnchorTarget;
            Context.Pending = true;
        }
    }
    return w;
}

// The drawing pass places the run after the one before it, raised or lowered
// by scripts and pictures.
void PlaceRun(TMarkupContext& Context, TLineWalk& Walk, const QString& Run)
{
    const MarkupState& state = Context.State;
    const TMarkupLine& line = *Walk.Line;
    TEdges rect = Walk.Run;
    if (state.Superscript)
        rect.Bottom -= line.SuperscriptRaise;
    if (state.Subscript)
        rect.Bottom += line.SubscriptDrop;
    rect.Bottom -= line.ImageOffset;
    const unsigned flags = Context.TextFlags & ~unsigned(DT_EXTERNALLEADING);
    Context.SyncFont();
    // A run that starts at or beyond the line's right edge (after a word wider
    // than the line, or a picture or offset past it) has nothing to show.
    if (rect.Left < rect.Right) {
        const int shift = Context.Request.ShadowShift;
        if (state.Shadow)
            Walk.Painter().Shadow(Run, rect.ToRect().translated(shift, shift), flags, state.Brush,
                                  Context.Request.ShadowColor);
        Walk.Painter().TextRun(Run, rect.ToRect(), flags, state.Brush);
    }
    const int runEnd = rect.Left + Context.RunWidth(Run, rect, flags);
    if (state.InsideAnchor && Context.AnchorCount - 1 == Context.Request.FocusIndex)
        Context.Result.FocusTarget = state.AnchorTarget;
    if (state.ErrorUnderline)
        DrawErrorUnderline(Walk, rect.Left, runEnd, Walk.LineRect.Bottom);
    Walk.Run = TEdges{runEnd, Walk.LineRect.Top, Walk.LineRect.Right, Walk.LineRect.Bottom};
}

// A run that does not fit ends the line, unless it is wider than the whole
// line, or the second part of a word split by tags, or the first thing on
// the line (the layout must move on, even after tags that moved the line's
// start past its end).
bool RunFits(const TLineWalk& Walk, int Width, int LineOffset, bool LineEmpty)
{
    const int avail = (Walk.LineRect.Right - Walk.LineRect.Left) - LineOffset;
    if (avail > Walk.Line->Width || avail <= Width)
        return true;
    if (Walk.HasText && !Walk.TextEndsWithBlank)
        return true;
    return LineEmpty && Walk.Measuring();
}

// Heights and plain text of a run, then its width or place; the run joins the
// line or, not fitting, ends it.
void TakeRun(TMarkupContext& Context, TMarkupCursor& Remaining, TLineWalk& Walk, QString& LineMarkup,
             qsizetype Length, int LineOffset)
{
    const QStringView raw = Remaining.Peek(Length);
    const QString run = raw.contains(u'&') ? ReplaceRunEntities(raw.toString()) : raw.toString();
    TMarkupLine& line = *Walk.Line;
    const int h = Context.TextHeight();
    if (Context.State.Subscript && line.SubscriptDrop < h / 4)
        line.SubscriptDrop = h / 4;
    if (Context.State.Superscript && line.SuperscriptRaise < h / 4)
        line.SuperscriptRaise = h / 4;
    line.Height = qMax(line.Height, h);
    Context.Result.PlainText += run;
    // Hidden text takes no room and is not drawn again.
    if (Context.State.Hidden) {
        Remaining.Skip(Length);
        return;
    }
    int w = 0;
    if (Walk.Measuring())
        w = MeasureRun(Context, Walk, run);
    else
        PlaceRun(Context, Walk, run);
    const bool accepted = RunFits(Walk, w, LineOffset, LineMarkup.isEmpty());
    Walk.HasText = true;
    Walk.TextEndsWithBlank = run.endsWith(u' ');
    if (accepted || !Context.Request.WrapWords) {
        LineMarkup += raw;
        Remaining.Skip(Length);
        Walk.TrailingSpace =
            run.size() >= Length && run[Length - 1] == u' ' ? Context.TextWidth(QStringLiteral(" ")) : 0;
    } else {
        Walk.EndOfLine = true;
        line.Width -= w;
    }
}

// The tag at the cursor, when the line goes on; a lone "<" at the end and a
// tag without ">" are dropped.
void TakeTag(TMarkupContext& Context, TMarkupCursor& Remaining, TLineWalk& Walk, QString& LineMarkup)
{
    if (Remaining.StartsWithTag() && Remaining.Remaining() <= 2) {
        Remaining.SkipAll();
        return;
    }
    if (Walk.EndOfLine || !Remaining.StartsWithTag() || Remaining.Remaining() < 3)
        return;
    if (!ApplyTag(Context, Remaining, Walk))
        return; // line full: the tag starts the next line
    const qsizetype close = Remaining.Find(u'>');
    if (close >= 0)
        LineMarkup += Remaining.Take(close + 1);
    else
        Remaining.SkipAll();
}

// The blank after the last word does not count.
void EndLine(TMarkupContext& Context, TLineWalk& Walk)
{
    TMarkupLine& line = *Walk.Line;
    line.Width -= Walk.TrailingSpace;
    if (Context.Result.ExtentWidth < line.Width)
        Context.Result.ExtentWidth = line.Width + 2;
    ContinueFocusAtLineEnd(Context, Walk);
}

} // namespace

QString LayOutLine(TMarkupContext& Context, TMarkupCursor& Remaining, const TEdges& LineRect,
                   TMarkupLine& Line, int LineOffset, TLinePass Pass)
{
    QString lineMarkup;
    TLineWalk walk;
    walk.Pass = Pass;
    walk.LineRect = LineRect;
    walk.LineRect.Bottom -= Line.SubscriptDrop;
    walk.Line = &Line;
    Line.Width = 0;
    Line.TextAnchorHit = Line.ImageAnchorHit = false;
    walk.Run = walk.LineRect;
    // The offset of earlier lines moves where the drawing pass places runs.
    if (!walk.Measuring())
        walk.Run.Left += LineOffset;
    DrawParagraphBand(Context, walk);

    while (!Remaining.AtEnd() && !walk.EndOfLine && !walk.LineFull) {
        const qsizetype length = NextRunLength(Remaining, Context.Request.WrapWords);
        if (length > 0)
            TakeRun(Context, Remaining, walk, lineMarkup, length, LineOffset);
        TakeTag(Context, Remaining, walk, lineMarkup);
    }
    EndLine(Context, walk);
    return lineMarkup;
}
