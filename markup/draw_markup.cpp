#include "markup/draw_markup.h"

#include "markup/markup_call.h"

TMarkupResult DrawMarkup(TCanvas& Canvas, const QString& Markup, const TMarkupRequest& Request)
{
    TMarkupResult result;
    RunMarkupCall(Canvas, Markup, Request, result);
    return result;
}

bool DrawMarkup(TCanvas& Canvas, const QString& Markup, const QRect& Area, TImageList* Images, int PointX,
                int PointY, int FocusIndex, int HotIndex, int ShadowShift, bool TestOnly, bool MeasureOnly,
                bool ScaleImages, bool KeepColors, bool BlinkVisible, bool HotOnly, bool WrapWords,
                double ImageScale, TColor AnchorColor, TColor HotBackColor, TColor HotTextColor,
                TColor ShadowColor, QString& PointAnchor, QString& PlainText, QString& FocusTarget,
                int& ExtentWidth, int& ExtentHeight, int& AnchorTotal, int& PointAnchorIndex,
                QRect& PointAnchorRect, THTMLPictureCache* PictureCache, TPictureContainer* PictureContainer,
                int LineGap)
{
    const TMarkupRequest request{.Area = Area,
                                 .Point = QPoint(PointX, PointY),
                                 .TestOnly = TestOnly,
                                 .MeasureOnly = MeasureOnly,
                                 .WrapWords = WrapWords,
                                 .KeepColors = KeepColors,
                                 .BlinkVisible = BlinkVisible,
                                 .HotOnly = HotOnly,
                                 .ScaleImages = ScaleImages,
                                 .ImageScale = ImageScale,
                                 .FocusIndex = FocusIndex,
                                 .HotIndex = HotIndex,
                                 .ShadowShift = ShadowShift,
                                 .LineGap = LineGap,
                                 .AnchorColor = AnchorColor,
                                 .HotBackColor = HotBackColor,
                                 .HotTextColor = HotTextColor,
                                 .ShadowColor = ShadowColor,
                                 .Images = Images,
                                 .PictureCache = PictureCache,
                                 .PictureContainer = PictureContainer};
    // The anchor and its rectangle start as the caller's: the call writes them
    // only when it finds an anchor.
    TMarkupResult result;
    result.PointAnchor = PointAnchor;
    result.PointAnchorRect = PointAnchorRect;
    RunMarkupCall(Canvas, Markup, request, result);
    PointAnchor = result.PointAnchor;
    PlainText = result.PlainText;
    FocusTarget = result.FocusTarget;
    ExtentWidth = result.ExtentWidth;
    ExtentHeight = result.ExtentHeight;
    AnchorTotal = result.AnchorTotal;
    PointAnchorIndex = result.PointAnchorIndex;
    PointAnchorRect = result.PointAnchorRect;
    return result.AnchorAtPoint;
}
