#include "markup/markup_call.h"

#include "markup/entities.h"
#include "markup/markup_cursor.h"
#include "toolkit/graphics/canvas.h"
#include "toolkit/graphics/draw_text.h"
#include "toolkit/graphics/font.h"
#include "toolkit/graphics/pen.h"

QString TMarkupCall::DrawMarkupLine(TMarkupCursor& Remaining, const TEdges& LineRect, bool Measure,
                                    TMarkupLine& Line, int LineOffset)
{
    // 1. Start of the line.
    QString lineMarkup;
    TLineWalk walk;
    walk.Measure = Measure;
    walk.LineRect = LineRect;
    walk.LineRect.Bottom -= Line.SubscriptDrop;
    walk.Line = &Line;
    Line.Width = 0;
    Line.TextAnchorHit = Line.ImageAnchorHit = false;
    walk.Run = walk.LineRect;
    if (!Measure)
        walk.Run.Left += LineOffset;
    const int L = walk.LineRect.Left, T = walk.LineRect.Top, R = walk.LineRect.Right;

    // 2. A paragraph background gives every following line its band.
    if (FState.ParagraphBackground && !Measure) {
        TPen* pen = FCanvas.Pen();
        const TColor penColor = pen->Color();
        pen->SetColor(FState.Brush.Color);
        SyncBrush();
        FCanvas.Rectangle(FArea.Left, T, FArea.Right, T + Line.Height);
        pen->SetColor(penColor);
    }

    // 3. Runs and tags until the line ends.
    while (!Remaining.AtEnd() && !walk.EndOfLine && !walk.LineFull) {
        // 3.1 The next run ends before a tag or, when wrapping, after a blank.
        const qsizetype tag = Remaining.Find(u'<');
        const qsizetype blank = FOptions.WrapWords ? Remaining.Find(u' ') : -1;
        qsizetype n = 0;
        if (tag >= 0 && (blank < 0 || blank > tag))
            n = tag;
        else if (blank >= 0)
            n = blank + 1;
        else
            n = Remaining.Remaining();

        if (n > 0) {
            // 3.2 Entities that may not split runs.
            const QStringView raw = Remaining.Peek(n);
            const QString run = raw.contains(u'&') ? ReplaceRunEntities(raw.toString()) : raw.toString();

            // 3.3.1 Heights, plain text.
            const int h = TextHeight(run);
            if (FState.Subscript && Line.SubscriptDrop < h / 4)
                Line.SubscriptDrop = h / 4;
            if (FState.Superscript && Line.SuperscriptRaise < h / 4)
                Line.SuperscriptRaise = h / 4;
            Line.Height = qMax(Line.Height, h);
            FResults.PlainText += run;

            // 3.3.2 Hidden text takes no room and is not drawn again.
            if (FState.Hidden) {
                Remaining.Skip(n);
            } else {
                int w = 0;
                if (Measure) {
                    // 3.3.3 Width and the text anchor test.
                    walk.Run = walk.LineRect;
                    w = MeasureRunWidth(run, walk.Run, FTextFlags);
                    Line.Width += w;
                    const int x = FOptions.Point.x() - walk.Run.Left;
                    if (FState.InsideAnchor && x >= Line.Width - w && x <= Line.Width) {
                        Line.TextAnchorHit = true;
                        if (FOptions.Point.y() > walk.Run.Top) {
                            FResults.PointAnchor = FState.AnchorTarget;
                            FPending = true;
                        }
                    }
                } else {
                    // 3.3.4 Drawing.
                    DrawRun(run, walk);
                }

                // 3.3.5 Fit: a run wider than the whole line is taken where
                // it stands, and a word split by tags is never broken.
                const int avail = (R - L) - LineOffset;
                bool accepted = avail > Line.Width || avail <= w;
                if (!accepted && walk.HasText && !walk.TextEndsWithBlank)
                    accepted = true;
                // The layout must move on: the first thing on a line is always
                // taken (the rule above already does so, except after tags
                // that move the line's start past its end).
                if (!accepted && lineMarkup.isEmpty() && Measure)
                    accepted = true;

                // 3.3.6 Accumulated text, then take the run or end the line.
                walk.HasText = true;
                walk.TextEndsWithBlank = run.endsWith(u' ');
                if (accepted || !FOptions.WrapWords) {
                    lineMarkup += raw;
                    Remaining.Skip(n);
                    walk.TrailingSpace =
                        run.size() >= n && run[n - 1] == u' ' ? TextWidth(QStringLiteral(" ")) : 0;
                } else {
                    walk.EndOfLine = true;
                    Line.Width -= w;
                }
            }
        }

        // 3.4 The tag step.
        if (Remaining.StartsWithTag() && Remaining.Remaining() <= 2) {
            Remaining.SkipAll();
            continue;
        }
        if (walk.EndOfLine || !Remaining.StartsWithTag() || Remaining.Remaining() < 3)
            continue;
        if (!ApplyTag(Remaining, walk))
            continue; // line full: the tag starts the next line
        const qsizetype close = Remaining.Find(u'>');
        if (close >= 0)
            lineMarkup += Remaining.Take(close + 1);
        else
            Remaining.SkipAll();
    }

    // 4. Line end: the blank after the last word does not count.
    Line.Width -= walk.TrailingSpace;
    if (FResults.ExtentWidth < Line.Width)
        FResults.ExtentWidth = Line.Width + 2;
    if (!Measure && FState.InsideAnchor && FAnchorCount - 1 == FOptions.FocusIndex) {
        // The focus rectangle of an anchor that goes on past this line.
        FFocus.Right = walk.Run.Left;
        FFocus.Bottom = walk.Run.Bottom;
        TEdges focus = FFocus;
        focus.Left -= 1;
        focus.Top -= 1;
        focus.Right += 1;
        focus.Bottom += 1;
        DrawFocus(focus);
        FFocus.Left = L + 1;
        FFocus.Top = FFocus.Bottom;
    }
    return lineMarkup;
}

void TMarkupCall::DrawRun(const QString& Run, TLineWalk& Walk)
{
    const TMarkupLine& line = *Walk.Line;
    TEdges rect = Walk.Run;
    if (FState.Superscript)
        rect.Bottom -= line.SuperscriptRaise;
    if (FState.Subscript)
        rect.Bottom += line.SubscriptDrop;
    rect.Bottom -= line.ImageOffset;
    const unsigned flags = FTextFlags & ~unsigned(DT_EXTERNALLEADING);
    // A run that starts at or beyond the line's right edge (after a word wider
    // than the line, or a picture or offset past it) has nothing to show.
    const bool visible = rect.Left < rect.Right;
    SyncBrush();
    if (FState.Shadow && visible) {
        const TColor color = FState.Font.Color;
        FState.Font.Color = FOptions.ShadowColor;
        SyncFont();
        QRect shadow = rect.ToRect().translated(FOptions.ShadowShift, FOptions.ShadowShift);
        DrawTextEx(FCanvas, Run, shadow, flags);
        FState.Font.Color = color;
    }
    SyncFont();
    QRect drawn = rect.ToRect();
    if (visible)
        DrawTextEx(FCanvas, Run, drawn, flags);
    const int runEnd = rect.Left + MeasureRunWidth(Run, rect, flags);
    if (FState.InsideAnchor && FAnchorCount - 1 == FOptions.FocusIndex)
        FResults.FocusTarget = FState.AnchorTarget;
    if (FState.ErrorUnderline)
        DrawErrorUnderline(rect.Left, runEnd, Walk.LineRect.Bottom);
    Walk.Run = TEdges{runEnd, Walk.LineRect.Top, Walk.LineRect.Right, Walk.LineRect.Bottom};
}

void TMarkupCall::DrawErrorUnderline(int From, int To, int Bottom)
{
    // A red zigzag, 4 pixels a period and 2 high, whose phase depends on x
    // alone so that runs drawn one after the other join seamlessly.
    TPen* pen = FCanvas.Pen();
    pen->SetColor(clRed);
    pen->SetWidth(1);
    int x = From / 2 * 2;
    int y = x % 4 == 0 ? 2 : 0;
    FCanvas.MoveTo(x, Bottom + y - 1);
    while (x < To) {
        y = y == 0 ? 2 : 0;
        FCanvas.LineTo(x + 2, Bottom + y - 1);
        x += 2;
    }
}

void TMarkupCall::DrawFocus(TEdges Rect)
{
    if (!FOptions.TestOnly)
        FCanvas.DrawFocusRect(Rect.ToRect());
}
