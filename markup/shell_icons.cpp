#include "markup/shell_icons.h"

#include "markup/shell_icon_list.h"
#include "markup/stretch_bitmap_bits.h"
#include "markup/text_helpers.h"
#include "pictures/picture_policy.h"
#include "toolkit/graphics/bitmap.h"
#include "toolkit/graphics/canvas.h"
#include "toolkit/graphics/canvas_geometry.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace
{
// Scaled icons larger than this many pixels per side are drawn at this size:
// nothing shows more, and the arithmetic stays in range.
constexpr double MaxScaledSide = 1 << 16;

int ScaledSide(int Side, double Factor)
{
    return int(std::llrint(std::clamp(Side * Factor, -MaxScaledSide, MaxScaledSide)));
}
} // namespace

QSize ShellIconSize(bool Large)
{
    const int side = ShellIconList::IconSize(Large);
    return QSize(side, side);
}

int ShellIconIndex(const QString& Name, const TPicturePolicy& Policy)
{
    bool number = false;
    const int value = IntValue(Name, &number);
    if (number)
        return value;
    return Name.isEmpty() ? 0 : ShellIconList::IndexOf(Name, Policy);
}

void DrawShellIcon(TCanvas& Canvas, int X, int Y, const QString& Name, bool Large, bool Draw, bool Scale,
                   double Factor, QSize& Size)
{
    Size = ShellIconSize(Large);
    if (Draw)
        DrawShellIcon(Canvas, X, Y, ShellIconIndex(Name, TPicturePolicy{}), Large, Scale, Factor);
}

void DrawShellIcon(TCanvas& Canvas, int X, int Y, int Index, bool Large, bool Scale, double Factor)
{
    const int side = ShellIconList::IconSize(Large);
    const QImage icon = ShellIconList::Icon(Index, Large);
    if (icon.isNull())
        return;
    if (!Scale) {
        Canvas.DrawImage(QRect(X, Y, side, side), icon, true);
        return;
    }
    if (!std::isfinite(Factor))
        return;
    // The icon is first drawn into an opaque bitmap of its size, then the
    // bitmap is stretched: scaled icons come with the bitmap's white ground.
    TBitmap bitmap;
    bitmap.SetSize(side, side);
    {
        QPainter painter(&bitmap.Image());
        painter.drawImage(0, 0, icon);
    }
    StretchBitmapBits(Canvas, RectLTRB(X, Y, X + ScaledSide(side, Factor), Y + ScaledSide(side, Factor)),
                      bitmap);
}
