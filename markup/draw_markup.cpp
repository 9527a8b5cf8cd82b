#include "markup/draw_markup.h"

#include "markup/markup_call.h"

bool DrawMarkup(TCanvas& Canvas, const QString& Markup, const QRect& Area, TImageList* Images, int PointX,
                int PointY, int FocusIndex, int HotIndex, int ShadowShift, bool TestOnly, bool MeasureOnly,
                bool ScaleImages, bool KeepColors, bool BlinkVisible, bool HotOnly, bool WrapWords,
                double ImageScale, TColor AnchorColor, TColor HotBackColor, TColor HotTextColor,
                TColor ShadowColor, QString& PointAnchor, QString& PlainText, QString& FocusTarget,
                int& ExtentWidth, int& ExtentHeight, int& AnchorTotal, int& PointAnchorIndex,
                QRect& PointAnchorRect, THTMLPictureCache* PictureCache, TPictureContainer* PictureContainer,
                int LineGap)
{
    TMarkupOptions options;
    options.Images = Images;
    options.Point = QPoint(PointX, PointY);
    options.FocusIndex = FocusIndex;
    options.HotIndex = HotIndex;
    options.ShadowShift = ShadowShift;
    options.TestOnly = TestOnly;
    options.MeasureOnly = MeasureOnly;
    options.ScaleImages = ScaleImages;
    options.KeepColors = KeepColors;
    options.BlinkVisible = BlinkVisible;
    options.HotOnly = HotOnly;
    options.WrapWords = WrapWords;
    options.ImageScale = ImageScale;
    options.AnchorColor = AnchorColor;
    options.HotBackColor = HotBackColor;
    options.HotTextColor = HotTextColor;
    options.ShadowColor = ShadowColor;
    options.PictureCache = PictureCache;
    options.PictureContainer = PictureContainer;
    options.LineGap = LineGap;

    TMarkupResults results;
    results.PointAnchor = PointAnchor;
    results.PointAnchorRect = PointAnchorRect;
    {
        TMarkupCall call(Canvas, options, results);
        call.Run(Markup, Area);
    }
    PointAnchor = results.PointAnchor;
    PlainText = results.PlainText;
    FocusTarget = results.FocusTarget;
    ExtentWidth = results.ExtentWidth;
    ExtentHeight = results.ExtentHeight;
    AnchorTotal = results.AnchorTotal;
    PointAnchorIndex = results.PointAnchorIndex;
    PointAnchorRect = results.PointAnchorRect;
    return results.AnchorAtPoint;
}
