#include "markup/markup_pictures.h"

#include "markup/markup_canvas_painter.h"
#include "markup/markup_context.h"
#include "markup/markup_limits.h"
#include "markup/markup_painter.h"
#include "markup/shell_icons.h"
#include "markup/tag_readers.h"
#include "markup/text_helpers.h"
#include "pictures/html_picture.h"
#include "pictures/html_picture_cache.h"
#include "pictures/picture_container.h"
#include "toolkit/graphics/image_list.h"

#include <QSize>
#include <cmath>

namespace
{

int RoundHalfEven(double Value)
{
    return int(std::nearbyint(Value));
}

// The sources are not exclusive: a later one that applies overrides the
// size an earlier one gave.
QSize PlacePicture(TMarkupContext& Context, const TImageTag& Image, const QString& Name, TLineWalk& Walk)
{
    const TMarkupRequest& request = Context.Request;
    const QString upper = UpperCaseAscii(Name);
    TEdges& run = Walk.Run;
    QSize size(0, 0);
    if (IsImageListName(upper)) {
        const int index = IntValue(Name.mid(4));
        const TImageList* images = request.Images;
        if (images && index >= 0 && index < images->Count()) {
            size = Context.Canvas.DeviceSize(images->Width(), images->Height());
            const bool scaled = request.ScaleImages;
            const QRect target =
                scaled ? QRect(run.Left, run.Top, RoundHalfEven(images->Width() * request.ImageScale),
                               RoundHalfEven(images->Height() * request.ImageScale))
                       : QRect(run.Left, run.Top, images->Width(), images->Height());
            Walk.Painter().ImageListPicture(*images, index, target, scaled);
            // The drawing pass starts the run again at the line's left edge
            // after a scaled picture.
            if (scaled && !Walk.Measuring())
                run = Walk.LineRect;
        }
    }
    if (IsShellIconName(upper)) {
        const bool large = upper.contains(u"LSYS:");
        const QSize icon = ShellIconSize(large);
        Walk.Painter().ShellIcon(ShellIconOf(Context, Name.mid(5)), large, QPoint(run.Left, run.Top),
                                 request.ScaleImages, request.ImageScale);
        size = Context.Canvas.DeviceSize(icon.width(), icon.height());
    }
    const int width = ClampMarkupPictureSide(Image.Width);
    const int height = ClampMarkupPictureSide(Image.Height);
    const bool sized = width > 0 && height > 0;
    // A picture drawn smaller than itself is decoded at the size it is drawn.
    THTMLPicture* picture = FindPicture(Context, Name, sized ? QSize(width, height) : QSize());
    if (picture && !picture->IsEmpty()) {
        if (sized)
            Walk.Painter().Picture(*picture, QRect(run.Left, run.Top, width, height), true);
        else
            Walk.Painter().Picture(
                *picture, QRect(run.Left + picture->FrameLeft(), run.Top + picture->FrameTop(), 0, 0), false);
        size = Context.Canvas.DeviceSize(sized ? width : picture->LogicalWidth(),
                                         sized ? height : picture->LogicalHeight());
    }
    return size;
}

// ALIGN raises the text on the line to the picture's top or middle; WRAP
// lets the picture overlap the following lines.
void AlignToPicture(TMarkupContext& Context, const TImageTag& Image, TMarkupLine& Line)
{
    if (Image.AlignTop)
        Line.ImageOffset = Line.Height - Context.TextHeight();
    else if (Image.AlignMiddle)
        Line.ImageOffset = int(unsigned(Line.Height - Context.TextHeight()) / 2u);
    if (Image.Wrap) {
        Line.Height = Context.TextHeight();
        Line.ImageOffset = 0;
    }
}

} // namespace

bool IsImageListName(const QString& Upper)
{
    return Upper.contains(u"IDX:");
}

bool IsShellIconName(const QString& Upper)
{
    return Upper.contains(u"SSYS:") || Upper.contains(u"LSYS:");
}

int ShellIconOf(TMarkupContext& Context, const QString& Name)
{
    auto found = Context.ShellIcons.constFind(Name);
    if (found != Context.ShellIcons.constEnd())
        return *found;
    // The picture cache's policy says which files the markup may look at;
    // without a cache the markup is the user's own, as in the window.
    const THTMLPictureCache* cache = Context.Request.PictureCache;
    const int index = ShellIconIndex(Name, cache ? cache->Policy() : TPicturePolicy{});
    Context.ShellIcons.insert(Name, index);
    return index;
}

THTMLPicture* FindPicture(const TMarkupContext& Context, const QString& Name, const QSize& DrawnSize)
{
    THTMLPicture* picture = nullptr;
    if (!Name.contains(u':') && Context.Request.PictureContainer)
        picture = Context.Request.PictureContainer->PictureByName(Name);
    // The cache decides what may be read (its policy) and finds a file under
    // any spelling of its path.
    if (Name.contains(u"://") && Context.Request.PictureCache)
        picture = Context.Request.PictureCache->PictureForLocation(Name, DrawnSize);
    return picture;
}

bool ApplyImage(TMarkupContext& Context, const QString& Tag, TLineWalk& Walk)
{
    ++Context.ImageCount;
    auto found = Context.ImageTags.constFind(Tag);
    if (found == Context.ImageTags.constEnd())
        found = Context.ImageTags.insert(Tag, ReadImageTag(Tag));
    const TImageTag image = *found;
    // Once the point has been found over this picture, it shows its ALT
    // picture (from the second pass of that line on).
    const QString name = image.Alt && Context.ImageCount == Context.ImageAtPoint ? *image.Alt : image.Source;
    const QSize size = PlacePicture(Context, image, name, Walk);
    const int w = size.width(), h = size.height();

    // The image anchor test, in every pass.
    TMarkupLine& line = *Walk.Line;
    const TEdges& run = Walk.Run;
    const int x = Context.Request.Point.x() - Walk.LineRect.Left, y = Context.Request.Point.y();
    if (x > line.Width && line.Width + w > x && y > run.Top && run.Top + h > y &&
        Context.State.InsideAnchor) {
        line.ImageAnchorHit = true;
        Context.Result.PointAnchor = Context.State.AnchorTarget;
        Context.ImageAtPoint = Context.ImageCount;
    }

    // A picture that does not fit in the rest of the line starts the next
    // one, unless it is wider than the whole line.
    const int lineSpan = Walk.LineRect.Right - Walk.LineRect.Left;
    if (line.Width + w > lineSpan && lineSpan > w) {
        Walk.LineFull = true;
        return false;
    }
    line.Width += w;
    Walk.Run.Left += w;
    line.Height = qMax(line.Height, h);
    AlignToPicture(Context, image, line);
    return true;
}
