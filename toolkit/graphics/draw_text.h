#pragma once

#include <QRect>
#include <QString>

class TCanvas;

// Text drawing flags of the window system, with their classic values.
enum TDrawTextFlags : unsigned {
    DT_TOP = 0x0,
    DT_LEFT = 0x0,
    DT_CENTER = 0x1,
    DT_RIGHT = 0x2,
    DT_VCENTER = 0x4,
    DT_BOTTOM = 0x8,
    DT_WORDBREAK = 0x10,
    DT_SINGLELINE = 0x20,
    DT_EXPANDTABS = 0x40,
    DT_NOCLIP = 0x100,
    DT_EXTERNALLEADING = 0x200,
    DT_CALCRECT = 0x400,
    DT_NOPREFIX = 0x800,
    DT_END_ELLIPSIS = 0x8000,
};

// Draws Text into Rect (right and bottom just outside, see canvas_geometry.h)
// with the canvas font and its colour, the background as the canvas's text
// background mode says, and the window system's drawing flags:
// - lines break at CR, LF and CR LF unless DT_SINGLELINE; DT_WORDBREAK also
//   breaks between words where a line would pass the right edge (a single
//   word wider than the rectangle is not split);
// - DT_CENTER / DT_RIGHT align each line; DT_VCENTER / DT_BOTTOM place a
//   single line (they need DT_SINGLELINE);
// - "&" underlines the next character and "&&" draws one "&", unless
//   DT_NOPREFIX; a lone "&" at the end is dropped;
// - DT_EXPANDTABS puts tab stops every 8 average character widths;
// - DT_EXTERNALLEADING adds the font's external leading to each line height;
// - DT_END_ELLIPSIS shortens a line that is too wide with "..." to fit;
// - drawing is clipped to Rect unless DT_NOCLIP;
// - DT_CALCRECT draws nothing and sets Rect's width and height to the extent
//   the text needs (an empty text needs 0 x 0).
// Returns the height of the text; with DT_VCENTER or DT_BOTTOM (and not
// DT_CALCRECT) the offset from Rect's top to the bottom of the drawn text, as
// the window system reports it. Returns 0 for an empty text.
int DrawTextEx(TCanvas& Canvas, const QString& Text, QRect& Rect, unsigned Format);
