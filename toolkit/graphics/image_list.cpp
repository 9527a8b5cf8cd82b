#include "toolkit/graphics/image_list.h"

#include "toolkit/graphics/bitmap.h"
#include "toolkit/graphics/canvas.h"

TImageList::TImageList(QObject* parent) : QObject(parent) {}

void TImageList::SetSize(int NewWidth, int NewHeight)
{
    NewWidth = qMax(1, NewWidth);
    NewHeight = qMax(1, NewHeight);
    if (NewWidth == FWidth && NewHeight == FHeight)
        return;
    FWidth = NewWidth;
    FHeight = NewHeight;
    FImages.clear();
    Changed();
}

int TImageList::Add(const QImage& Image)
{
    if (Image.isNull())
        return -1;
    const QImage source = Image.convertToFormat(QImage::Format_ARGB32);
    const int first = Count();
    if (source.height() == FHeight && source.width() % FWidth == 0) {
        for (int x = 0; x < source.width(); x += FWidth)
            FImages << source.copy(x, 0, FWidth, FHeight);
    } else {
        FImages << source.scaled(FWidth, FHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    Changed();
    return first;
}

void TImageList::Delete(int Index)
{
    if (Index < 0 || Index >= Count())
        return;
    FImages.removeAt(Index);
    Changed();
}

void TImageList::Clear()
{
    if (FImages.isEmpty())
        return;
    FImages.clear();
    Changed();
}

QImage TImageList::Image(int Index) const
{
    return Index >= 0 && Index < Count() ? FImages[Index] : QImage();
}

void TImageList::Draw(TCanvas& Canvas, int X, int Y, int Index) const
{
    if (Index < 0 || Index >= Count())
        return;
    Canvas.DrawImage(QRect(X, Y, FWidth, FHeight), FImages[Index], true);
}

void TImageList::GetBitmap(int Index, TBitmap* Bitmap) const
{
    if (!Bitmap)
        return;
    Bitmap->SetImage(Image(Index));
}
