#include "markup/markup_call.h"

#include "markup/gradient_fill.h"
#include "markup/shell_icons.h"
#include "markup/tag_readers.h"
#include "markup/text_helpers.h"
#include "pictures/html_picture.h"
#include "toolkit/graphics/brush.h"
#include "toolkit/graphics/canvas.h"
#include "toolkit/graphics/font.h"
#include "toolkit/graphics/image_list.h"
#include "toolkit/graphics/pen.h"

#include <QBrush>
#include <QImage>
#include <QPainter>
#include <QSize>

namespace
{

// Bands of the paragraph and body gradients.
constexpr int GradientBands = 64;

} // namespace

void TMarkupCall::FillGradient(TColor From, TColor To, bool Horizontal, const TEdges& Rect)
{
    GradientFill(FCanvas, From, To, Horizontal, Rect.ToRect(), GradientBands, clNone);
    // The brush is clear afterwards but keeps the last band's colour: the
    // band of each following paragraph line is outlined in it.
    FState.Brush.Color = FCanvas.Brush()->Color();
    FState.Brush.Clear = true;
}

int TMarkupCall::CountCoveringFills(const QString& Markup, const QRect& Area)
{
    // The same walk (same font, resolution and options) on a canvas where
    // drawing costs nothing; only the count is kept.
    QImage scratch(1, 1, QImage::Format_RGB32);
    scratch.setDotsPerMeterX(qRound(FCanvas.PixelsPerInchX() / 0.0254));
    scratch.setDotsPerMeterY(qRound(FCanvas.PixelsPerInchY() / 0.0254));
    TCanvas canvas(&scratch);
    canvas.Font()->CopyFrom(FEntryFont.get());
    canvas.Brush()->SetColor(FEntryBrushColor);
    canvas.Brush()->SetStyle(TBrush::TBrushStyle(FEntryBrushStyle));
    canvas.Pen()->SetColor(FCanvas.Pen()->Color());
    canvas.Pen()->SetWidth(FCanvas.Pen()->Width());
    canvas.SetTextRotation(FEntryRotation);
    TMarkupResults results = FResults;
    TMarkupCall counting(canvas, FOptions, results);
    counting.FCountingFills = true;
    counting.Run(Markup, Area);
    return counting.FCoveringFillsMet;
}

void TMarkupCall::ApplyBody(const QString& Tag, TLineWalk& Walk)
{
    const TBodyTag body = ReadBodyTag(Tag);
    const bool covering = body.HasGradient || (body.HasBackground && body.BackgroundFrom != clNone);
    const bool paint = !covering || ++FCoveringFillsMet > FCoveringFillsToSkip;
    // The colour goes first: painted after the pictures, as the tag lists its
    // attributes, it would cover them entirely.
    if (body.HasBackground && !body.HasGradient) {
        FState.FontBackgroundSaved = FState.SavedBrushColor();
        FState.RestoreBrushColor(body.BackgroundFrom);
        TPen* pen = FCanvas.Pen();
        const TColor penColor = pen->Color();
        pen->SetColor(body.BackgroundFrom);
        SyncBrush();
        if (paint)
            FCanvas.Rectangle(FArea.Left - 2, FArea.Top, FArea.Right, FArea.Bottom);
        pen->SetColor(penColor);
    } else if (body.HasBackground && paint) {
        FillGradient(body.BackgroundFrom, body.BackgroundTo, !body.VerticalGradient, FArea);
    } else if (body.HasBackground) {
        // What the gradient would leave behind: pen and brush in its last
        // band's colour, the brush clear.
        const TColor last =
            GradientBandColor(body.BackgroundFrom, body.BackgroundTo, GradientBands - 1, GradientBands);
        FCanvas.Pen()->SetColor(last);
        FCanvas.Brush()->SetColor(last);
        FState.Brush.Color = last;
        FState.Brush.Clear = true;
    }
    if (body.Background)
        DrawBodyPicture(*body.Background, TPlacement::Tiled, Walk);
    if (body.TopLeft)
        DrawBodyPicture(*body.TopLeft, TPlacement::TopLeft, Walk);
    if (body.TopRight)
        DrawBodyPicture(*body.TopRight, TPlacement::TopRight, Walk);
}

void TMarkupCall::DrawBodyPicture(const QString& Name, TPlacement Placement, TLineWalk& Walk)
{
    const TEdges& run = Walk.Run;
    const bool right = Placement == TPlacement::TopRight;
    // Image-list pictures and shell icons go at the run position, or with
    // their right edge on the line's right edge.
    if (Name.contains(u"IDX:")) {
        const int index = IntValue(Name.mid(4));
        const TImageList* images = FOptions.Images;
        if (images && index >= 0 && index < images->Count())
            images->Draw(FCanvas, right ? run.Right - images->Width() : run.Left, run.Top, index);
    }
    if (Name.contains(u"SSYS:") || Name.contains(u"LSYS:")) {
        const bool large = Name.contains(u"LSYS:");
        QSize size;
        DrawShellIcon(FCanvas, 0, 0, Name.mid(5), large, false, false, 1.0, size);
        DrawShellIcon(FCanvas, right ? run.Right - size.width() : run.Left, run.Top, Name.mid(5), large, true,
                      FOptions.ScaleImages, FOptions.ImageScale, size);
    }

    THTMLPicture* picture = FindPicture(Name);
    if (!picture || picture->IsEmpty() || picture->Width() <= 0 || picture->Height() <= 0)
        return;
    const QRect area = FArea.ToRect();
    if (Placement != TPlacement::Tiled) {
        const int x = right ? FArea.Right - picture->Width() : FArea.Left;
        const bool clipped = FCanvas.HasClipRect();
        const QRect clip = FCanvas.ClipRect();
        FCanvas.SetClipRect(clipped ? clip & area : area);
        FCanvas.Draw(x, FArea.Top, picture);
        if (clipped)
            FCanvas.SetClipRect(clip);
        else
            FCanvas.ClearClipRect();
        return;
    }
    // Tiles from the area's top-left corner. The picture is drawn once and
    // repeated as a texture, so a tiny picture over a large area costs no
    // more than filling it.
    QImage tile(picture->Width(), picture->Height(), QImage::Format_ARGB32_Premultiplied);
    tile.fill(Qt::transparent);
    {
        TCanvas tileCanvas(&tile);
        tileCanvas.Draw(0, 0, picture);
    }
    TCanvasPaint paint(FCanvas, &area);
    if (!paint.IsActive())
        return;
    QBrush texture(tile);
    texture.setTransform(QTransform::fromTranslate(FArea.Left, FArea.Top));
    paint->fillRect(area, texture);
}
