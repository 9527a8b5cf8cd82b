#pragma once

#include "toolkit/graphics/color.h"

#include <QPoint>
#include <QRect>
#include <QString>

class TImageList;
class THTMLPictureCache;
class TPictureContainer;

// What one DrawMarkup call is asked to do with a markup text.
struct TMarkupRequest {
    // Where the text is laid out, and the point whose anchor is looked for.
    QRect Area;
    QPoint Point{-1, -1};

    // What the call does besides drawing. TestOnly: the second pass of each
    // line measures and hit-tests but draws nothing. MeasureOnly: no second
    // pass at all, and the layout does not stop at the area's bottom.
    bool TestOnly = false;
    bool MeasureOnly = false;
    bool WrapWords = true; // else runs that overflow end with an ellipsis
    bool KeepColors = false;
    bool BlinkVisible = false;
    bool HotOnly = false;     // only the hot anchor is styled
    bool ScaleImages = false; // image-list pictures and shell icons by ImageScale
    double ImageScale = 1.0;
    int FocusIndex = -1; // 0-based anchor that gets a focus rectangle, -1 none
    int HotIndex = 0;    // 1-based anchor under the mouse
    int ShadowShift = 0; // pixels right and down
    int LineGap = 0;     // pixels added to every line

    // Colours; clNone leaves the hot anchor's colours alone.
    TColor AnchorColor = clBlue;
    TColor HotBackColor = clNone;
    TColor HotTextColor = clNone;
    TColor ShadowColor = clGray;

    // Where pictures come from; any of them may be missing.
    TImageList* Images = nullptr;
    THTMLPictureCache* PictureCache = nullptr;
    TPictureContainer* PictureContainer = nullptr;
};

// What the call found out.
struct TMarkupResult {
    int ExtentWidth = 0; // widest line + 2
    int ExtentHeight = 0;
    // The text runs gathered while laying out, with a carriage return for
    // each line break.
    QString PlainText;
    int AnchorTotal = 0;

    // Whether an anchor lies under the point, and which: its target, 1-based
    // number and rectangle. The number and rectangle come from anchor text;
    // over a picture inside an anchor they stay -1 and (-1, -1, -1, -1) by
    // the rectangle's edges.
    bool AnchorAtPoint = false;
    QString PointAnchor;
    int PointAnchorIndex = -1;
    QRect PointAnchorRect{QPoint(-1, -1), QPoint(-2, -2)};

    // The target of the anchor numbered FocusIndex, once it was drawn.
    QString FocusTarget;
};
