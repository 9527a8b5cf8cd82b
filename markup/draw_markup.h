#pragma once

#include "markup/markup_request.h"
#include "toolkit/graphics/color.h"

#include <QRect>
#include <QString>

class TCanvas;
class TImageList;
class THTMLPictureCache;
class TPictureContainer;

// Lays Markup out inside Request.Area of Canvas line by line and, in the same
// walk, draws it, measures its extent and finds the anchor under
// Request.Point. Every line is read twice: a measure pass that decides what
// fits and draws nothing, then a second pass over exactly that line's markup
// at its aligned position, which draws (or, with TestOnly, only measures and
// hit-tests). The canvas font and brush are put back before returning; a
// rotation left open is undone as well.
TMarkupResult DrawMarkup(TCanvas& Canvas, const QString& Markup, const TMarkupRequest& Request);

// The same call with every request field and result as a parameter of its
// own, in a fixed order. PointAnchor and PointAnchorRect are written only
// when an anchor is found; every other out parameter is reset by the call.
// Returns whether an anchor lies under the point.
bool DrawMarkup(TCanvas& Canvas, const QString& Markup, const QRect& Area, TImageList* Images, int PointX,
                int PointY, int FocusIndex, int HotIndex, int ShadowShift, bool TestOnly, bool MeasureOnly,
                bool ScaleImages, bool KeepColors, bool BlinkVisible, bool HotOnly, bool WrapWords,
                double ImageScale, TColor AnchorColor, TColor HotBackColor, TColor HotTextColor,
                TColor ShadowColor, QString& PointAnchor, QString& PlainText, QString& FocusTarget,
                int& ExtentWidth, int& ExtentHeight, int& AnchorTotal, int& PointAnchorIndex,
                QRect& PointAnchorRect, THTMLPictureCache* PictureCache, TPictureContainer* PictureContainer,
                int LineGap);
