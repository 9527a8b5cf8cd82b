#include "toolkit/graphics/color.h"

#include <iterator>

namespace
{
// The classic default of each system colour index, as 0x00BBGGRR.
constexpr TColor SystemColorDefaults[] = {
    0xC8D0D4, // scroll bar
    0x984E00, // desktop background
    0x6A240A, // active caption
    0x808080, // inactive caption
    0xC8D0D4, // menu
    0xFFFFFF, // window
    0x000000, // window frame
    0x000000, // menu text
    0x000000, // window text
    0xFFFFFF, // caption text
    0xC8D0D4, // active border
    0xC8D0D4, // inactive border
    0x808080, // application workspace
    0x6A240A, // highlight
    0xFFFFFF, // highlight text
    0xC8D0D4, // button face
    0x808080, // button shadow
    0x808080, // grey text
    0x000000, // button text
    0xC8D0D4, // inactive caption text
    0xFFFFFF, // button highlight
    0x404040, // 3D dark shadow
    0xC8D0D4, // 3D light
    0x000000, // info text
    0xE1FFFF, // info background
    0xB5B5B5, // (unused index 25)
    0x800000, // hot light
    0xF0CAA6, // gradient active caption
    0xC0C0C0, // gradient inactive caption
    0x6A240A, // menu highlight
    0xC8D0D4, // menu bar
};
} // namespace

TColor ColorToRGB(TColor Color)
{
    if ((Color & clSystemColor) == clSystemColor) {
        const int index = Color & 0xFF;
        if (index < int(std::size(SystemColorDefaults)))
            return SystemColorDefaults[index];
        return clBlack;
    }
    return Color & 0x00FFFFFF;
}

QColor ColorToQColor(TColor Color)
{
    if (Color == clNone)
        return QColor(Qt::transparent);
    const TColor rgb = ColorToRGB(Color);
    return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}
