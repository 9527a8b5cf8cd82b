#include "markup/markup_context.h"

#include "markup/markup_canvas_painter.h"
#include "toolkit/graphics/draw_text.h"

TMarkupContext::TMarkupContext(TMarkupCanvasPainter& Canvas_, const TMarkupRequest& Request_,
                               TMarkupResult& Result_)
    : Canvas(Canvas_), Request(Request_), Result(Result_)
{
    const TMarkupCanvasPainter::TWalkStart start = Canvas.BeginWalk();
    EntryBrushColor = start.BrushColor;
    State = MarkupState(start.Font);
    MeasureFont = DrawFont = State.Font;
    Area = TEdges{Request.Area.x(), Request.Area.y(), Request.Area.x() + Request.Area.width(),
                  Request.Area.y() + Request.Area.height()};
}

TMarkupContext::~TMarkupContext()
{
    Canvas.EndWalk();
}

void TMarkupContext::SyncFont()
{
    Canvas.SelectFont(State.Font, State.BaseFont.Size, TextFlags & DT_NOPREFIX);
}

int TMarkupContext::TextHeight()
{
    SyncFont();
    return Canvas.CellHeight();
}

int TMarkupContext::TextWidth(const QString& Text)
{
    return RunWidth(Text, TEdges{}, TextFlags & ~unsigned(DT_END_ELLIPSIS));
}

int TMarkupContext::RunWidth(const QString& Text, const TEdges& Rect, unsigned Flags)
{
    SyncFont();
    return Canvas.RunWidth(Text, Rect.ToRect(), Flags);
}

void TMarkupContext::ApplyRotation(int Degrees)
{
    Canvas.Rotate(Degrees);
}

void TMarkupContext::EndRotation()
{
    Canvas.EndRotation();
}
