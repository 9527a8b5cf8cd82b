#include "markup/markup_backgrounds.h"

#include "markup/gradient_fill.h"
#include "markup/markup_context.h"
#include "markup/markup_limits.h"
#include "markup/markup_painter.h"
#include "markup/markup_pictures.h"
#include "markup/shell_icons.h"
#include "markup/tag_readers.h"
#include "markup/text_helpers.h"
#include "pictures/html_picture.h"
#include "toolkit/graphics/image_list.h"

#include <QSize>

namespace
{

// Bands of the paragraph and body gradients.
constexpr int GradientBands = 64;

// Body background pictures: tiled over the area, or once at its top-left or
// top-right corner.
enum class TPlacement { Tiled, TopLeft, TopRight };

// The brush a restored colour gives: none makes it clear.
TMarkupBrush BrushOfColor(TColor Color)
{
    return TMarkupBrush{Color, Color == clNone};
}

// The brush is clear after a gradient but keeps the last band's colour: the
// band of each following paragraph line is outlined in it.
void AfterGradient(MarkupState& State, TColor From, TColor To)
{
    State.Brush.Color = GradientBandColor(From, To, GradientBands, GradientBands - 1);
    State.Brush.Clear = true;
}

// Image-list pictures and shell icons go at the run position, or with their
// right edge on the line's right edge.
void DrawBodyIcon(TMarkupContext& Context, const QString& Name, bool Right, TLineWalk& Walk)
{
    const TEdges& run = Walk.Run;
    const TMarkupRequest& request = Context.Request;
    const QString upper = UpperCaseAscii(Name);
    if (IsImageListName(upper)) {
        const int index = IntValue(Name.mid(4));
        const TImageList* images = request.Images;
        if (images && index >= 0 && index < images->Count()) {
            const int x = Right ? run.Right - images->Width() : run.Left;
            Walk.Painter().ImageListPicture(*images, index,
                                            QRect(x, run.Top, images->Width(), images->Height()), false);
        }
    }
    if (IsShellIconName(upper)) {
        const bool large = upper.contains(u"LSYS:");
        const int x = Right ? run.Right - ShellIconSize(large).width() : run.Left;
        Walk.Painter().ShellIcon(ShellIconOf(Context, Name.mid(5)), large, QPoint(x, run.Top),
                                 request.ScaleImages, request.ImageScale);
    }
}

void DrawBodyPicture(TMarkupContext& Context, const QString& Name, TPlacement Placement, TLineWalk& Walk)
{
    const bool right = Placement == TPlacement::TopRight;
    DrawBodyIcon(Context, Name, right, Walk);
    THTMLPicture* picture = FindPicture(Context, Name);
    if (!picture || picture->IsEmpty() || picture->Width() <= 0 || picture->Height() <= 0)
        return;
    const TEdges& area = Context.Area;
    if (Placement == TPlacement::Tiled) {
        Walk.Painter().TiledPicture(*picture, area.ToRect());
        return;
    }
    const int x = right ? area.Right - picture->Width() : area.Left;
    Walk.Painter().ClippedPicture(*picture, QPoint(x, area.Top), area.ToRect());
}

} // namespace

void DrawParagraphBand(TMarkupContext& Context, TLineWalk& Walk)
{
    if (!Context.State.ParagraphBackground)
        return;
    const MarkupState& state = Context.State;
    const int top = Walk.LineRect.Top;
    Walk.Painter().Rectangle(
        TEdges{Context.Area.Left, top, Context.Area.Right, top + Walk.Line->Height}.ToRect(),
        state.Brush.Color, state.Brush);
}

void ApplyParagraph(TMarkupContext& Context, const QString& Tag, TLineWalk& Walk)
{
    MarkupState& state = Context.State;
    const TParagraphTag paragraph = ReadParagraphTag(Tag);
    if (paragraph.Alignment)
        state.Alignment = *paragraph.Alignment;
    if (paragraph.Indent)
        state.Indent = ClampMarkupPosition(*paragraph.Indent);
    if (!paragraph.HasBackground)
        return;
    const TEdges& line = Walk.LineRect;
    const TEdges& area = Context.Area;
    const TColor from = paragraph.BackgroundFrom;
    if (paragraph.HasGradient) {
        Walk.Painter().Gradient(TEdges{area.Left, line.Top, area.Right, line.Bottom + 2}.ToRect(), from,
                                paragraph.BackgroundTo, true, GradientBands);
    } else {
        Walk.Painter().Rectangle(TEdges{area.Left, line.Top, area.Right, line.Bottom}.ToRect(), from,
                                 BrushOfColor(from));
    }
    // The background's state belongs to the drawing pass.
    if (Walk.Measuring())
        return;
    state.ParagraphBackground = true;
    if (paragraph.HasGradient) {
        AfterGradient(state, from, paragraph.BackgroundTo);
        return;
    }
    state.ParagraphBackgroundSaved = state.SavedBrushColor();
    state.RestoreBrushColor(from);
}

void ApplyBody(TMarkupContext& Context, const QString& Tag, TLineWalk& Walk)
{
    MarkupState& state = Context.State;
    const TBodyTag body = ReadBodyTag(Tag);
    const TEdges& area = Context.Area;
    // A colour or a gradient covers the whole area; of several in one call
    // only the last is painted (see TMarkupContext::CoveringFillsToSkip).
    const bool covering = body.HasGradient || (body.HasBackground && body.BackgroundFrom != clNone);
    const bool paint = !covering || ++Context.CoveringFillsMet > Context.CoveringFillsToSkip;
    // The colour goes first: painted after the pictures, as the tag lists its
    // attributes, it would cover them entirely.
    if (body.HasBackground && !body.HasGradient) {
        state.FontBackgroundSaved = state.SavedBrushColor();
        state.RestoreBrushColor(body.BackgroundFrom);
        if (paint)
            Walk.Painter().Rectangle(TEdges{area.Left - 2, area.Top, area.Right, area.Bottom}.ToRect(),
                                     body.BackgroundFrom, state.Brush);
    } else if (body.HasBackground) {
        if (paint)
            Walk.Painter().Gradient(area.ToRect(), body.BackgroundFrom, body.BackgroundTo,
                                    !body.VerticalGradient, GradientBands);
        AfterGradient(state, body.BackgroundFrom, body.BackgroundTo);
    }
    if (body.Background)
        DrawBodyPicture(Context, *body.Background, TPlacement::Tiled, Walk);
    if (body.TopLeft)
        DrawBodyPicture(Context, *body.TopLeft, TPlacement::TopLeft, Walk);
    if (body.TopRight)
        DrawBodyPicture(Context, *body.TopRight, TPlacement::TopRight, Walk);
}
