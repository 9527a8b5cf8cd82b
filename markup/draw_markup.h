#pragma once

#include "toolkit/graphics/color.h"

#include <QRect>
#include <QString>

class TCanvas;
class TImageList;
class THTMLPictureCache;
class TPictureContainer;

// Lays out Markup inside Area of Canvas line by line and, in the same walk,
// draws it, measures its extent and finds the anchor under (PointX, PointY).
// Every line is read twice: a measure pass that decides what fits, then a
// second pass over exactly that line's markup at its aligned position, which
// draws (or, with TestOnly, only measures and hit-tests). MeasureOnly leaves
// out the second pass and lays out past the area's bottom.
//
// Returns whether an anchor lies under the point. PointAnchor and
// PointAnchorRect are written only when an anchor is found; every other out
// parameter is reset by the call. The canvas font and brush colour are put
// back before returning; a rotation left open is undone as well.
bool DrawMarkup(TCanvas& Canvas, const QString& Markup, const QRect& Area, TImageList* Images, int PointX,
                int PointY, int FocusIndex, int HotIndex, int ShadowShift, bool TestOnly, bool MeasureOnly,
                bool ScaleImages, bool KeepColors, bool BlinkVisible, bool HotOnly, bool WrapWords,
                double ImageScale, TColor AnchorColor, TColor HotBackColor, TColor HotTextColor,
                TColor ShadowColor, QString& PointAnchor, QString& PlainText, QString& FocusTarget,
                int& ExtentWidth, int& ExtentHeight, int& AnchorTotal, int& PointAnchorIndex,
                QRect& PointAnchorRect, THTMLPictureCache* PictureCache, TPictureContainer* PictureContainer,
                int LineGap);
