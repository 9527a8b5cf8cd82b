#include "markup/markup_call.h"

#include "markup/markup_limits.h"
#include "markup/shell_icons.h"
#include "markup/stretch_bitmap_bits.h"
#include "markup/tag_readers.h"
#include "markup/text_helpers.h"
#include "pictures/html_picture.h"
#include "pictures/html_picture_cache.h"
#include "pictures/picture_container.h"
#include "toolkit/graphics/bitmap.h"
#include "toolkit/graphics/canvas.h"
#include "toolkit/graphics/canvas_geometry.h"
#include "toolkit/graphics/image_list.h"

#include <QSize>
#include <cmath>

namespace
{

// Picture names of the image list and the shell icon lists.
bool IsImageListName(const QString& Upper)
{
    return Upper.contains(u"IDX:");
}
bool IsShellIconName(const QString& Upper)
{
    return Upper.contains(u"SSYS:") || Upper.contains(u"LSYS:");
}

int RoundHalfEven(double Value)
{
    return int(std::nearbyint(Value));
}

} // namespace

THTMLPicture* TMarkupCall::FindPicture(const QString& Name, const QSize& DrawnSize)
{
    THTMLPicture* picture = nullptr;
    if (!Name.contains(u':') && FOptions.PictureContainer)
        picture = FOptions.PictureContainer->PictureByName(Name);
    // The cache decides what may be read (its policy) and finds a file under
    // any spelling of its path.
    if (Name.contains(u"://") && FOptions.PictureCache)
        picture = FOptions.PictureCache->PictureForLocation(Name, DrawnSize);
    return picture;
}

bool TMarkupCall::ApplyImage(const QString& Tag, TLineWalk& Walk)
{
    ++FImageCount;
    auto found = FImageTags.constFind(Tag);
    if (found == FImageTags.constEnd())
        found = FImageTags.insert(Tag, ReadImageTag(Tag));
    const TImageTag image = *found;
    // Once the point has been found over this picture, it shows its ALT
    // picture (from the second pass of that line on).
    QString name = image.Source;
    if (image.Alt && FImageCount == FImageAtPoint)
        name = *image.Alt;
    const int width = ClampMarkupPictureSide(image.Width);
    const int height = ClampMarkupPictureSide(image.Height);
    const bool draw = !Walk.Measure;
    const QString upper = UpperCaseAscii(name);
    const int dpiX = FCanvas.PixelsPerInchX(), dpiY = FCanvas.PixelsPerInchY();
    TEdges& run = Walk.Run;
    int w = 0, h = 0;

    // 1. The image list.
    if (IsImageListName(upper)) {
        const int index = IntValue(name.mid(4));
        const TImageList* images = FOptions.Images;
        if (images && index >= 0 && index < images->Count()) {
            w = MulDiv(images->Width(), dpiX, 96);
            h = MulDiv(images->Height(), dpiY, 96);
            if (draw && !FOptions.ScaleImages) {
                images->Draw(FCanvas, run.Left, run.Top, index);
            } else if (draw) {
                TBitmap bitmap;
                images->GetBitmap(index, &bitmap);
                const QRect target(run.Left, run.Top, RoundHalfEven(images->Width() * FOptions.ImageScale),
                                   RoundHalfEven(images->Height() * FOptions.ImageScale));
                StretchBitmapBits(FCanvas, target, bitmap);
                run = Walk.LineRect;
            }
        }
    }
    // 2. The shell icon lists, small and large.
    if (IsShellIconName(upper)) {
        QSize size;
        DrawShellIcon(FCanvas, run.Left, run.Top, name.mid(5), upper.contains(u"LSYS:"), draw,
                      FOptions.ScaleImages, FOptions.ImageScale, size);
        w = MulDiv(size.width(), dpiX, 96);
        h = MulDiv(size.height(), dpiY, 96);
    }
    // 3. and 4. The picture container and the picture cache.
    const bool sized = width > 0 && height > 0;
    // A picture drawn smaller than itself is decoded at the size it is drawn.
    THTMLPicture* picture = FindPicture(name, sized ? QSize(width, height) : QSize());
    if (picture && !picture->IsEmpty()) {
        if (draw && sized) {
            picture->SetStretch(true);
            FCanvas.StretchDraw(QRect(run.Left, run.Top, width, height), picture);
        } else if (draw) {
            FCanvas.Draw(run.Left + picture->FrameLeft(), run.Top + picture->FrameTop(), picture);
        }
        w = MulDiv(sized ? width : picture->LogicalWidth(), dpiX, 96);
        h = MulDiv(sized ? height : picture->LogicalHeight(), dpiY, 96);
    }

    // The image anchor test, in every pass.
    TMarkupLine& line = *Walk.Line;
    const int x = FOptions.Point.x() - Walk.LineRect.Left, y = FOptions.Point.y();
    if (x > line.Width && line.Width + w > x && y > run.Top && run.Top + h > y && FState.InsideAnchor) {
        line.ImageAnchorHit = true;
        FResults.PointAnchor = FState.AnchorTarget;
        FImageAtPoint = FImageCount;
    }

    // A picture that does not fit in the rest of the line starts the next
    // one, unless it is wider than the whole line.
    const int lineSpan = Walk.LineRect.Right - Walk.LineRect.Left;
    if (line.Width + w > lineSpan && lineSpan > w) {
        Walk.LineFull = true;
        return false;
    }
    line.Width += w;
    run.Left += w;
    line.Height = qMax(line.Height, h);

    if (image.AlignTop)
        line.ImageOffset = line.Height - TextHeight(QStringLiteral("gh"));
    else if (image.AlignMiddle)
        line.ImageOffset = int(unsigned(line.Height - TextHeight(QStringLiteral("gh"))) / 2u);
    if (image.Wrap) {
        // The picture overlaps the following lines.
        line.Height = TextHeight(QStringLiteral("gh"));
        line.ImageOffset = 0;
    }
    return true;
}
