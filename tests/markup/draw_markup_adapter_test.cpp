#include "markup/draw_markup.h"

#include "toolkit/graphics/canvas.h"
#include "toolkit/graphics/image_list.h"

#include "tests/markup/markup_run.h"
#include "tests/markup/qstring_printer.h"
#include "tests/support/image_test_helpers.h"

#include <gtest/gtest.h>

namespace
{

// The 32-parameter call is a thin adapter over the request form: the same
// request must give the same pixels and the same results through both. Each
// case sets parameters of the same type to different values, so a parameter
// passed in the wrong place shows.
struct AdapterCase {
    const char* Name;
    QString Markup;
    TMarkupRequest Request;
    bool Hits; // an anchor lies under the point
};

class MarkupAdapter : public ::testing::TestWithParam<AdapterCase>
{
};

TEST_P(MarkupAdapter, GivesWhatTheRequestFormGives)
{
    const AdapterCase& c = GetParam();
    TImageList images;
    images.SetSize(10, 6);
    images.Add(MakeImage(10, 6, 0xFF20C040u));
    TMarkupRequest request = c.Request;
    request.Images = &images;

    TMarkupSurface viaRequest(240, 120), viaAdapter(240, 120);
    const TMarkupResult expected = DrawMarkup(*viaRequest.Canvas, c.Markup, request);

    QString anchor, plain, focus;
    int width = -5, height = -5, total = -5, index = -5;
    QRect rect(QPoint(-1, -1), QPoint(-2, -2));
    const bool found = DrawMarkup(
        *viaAdapter.Canvas, c.Markup, request.Area, request.Images, request.Point.x(), request.Point.y(),
        request.FocusIndex, request.HotIndex, request.ShadowShift, request.TestOnly, request.MeasureOnly,
        request.ScaleImages, request.KeepColors, request.BlinkVisible, request.HotOnly, request.WrapWords,
        request.ImageScale, request.AnchorColor, request.HotBackColor, request.HotTextColor,
        request.ShadowColor, anchor, plain, focus, width, height, total, index, rect, request.PictureCache,
        request.PictureContainer, request.LineGap);

    EXPECT_EQ(expected.AnchorAtPoint, c.Hits);
    EXPECT_EQ(viaAdapter.Image, viaRequest.Image);
    EXPECT_EQ(found, expected.AnchorAtPoint);
    EXPECT_EQ(anchor, expected.PointAnchor);
    EXPECT_EQ(plain, expected.PlainText);
    EXPECT_EQ(focus, expected.FocusTarget);
    EXPECT_EQ(width, expected.ExtentWidth);
    EXPECT_EQ(height, expected.ExtentHeight);
    EXPECT_EQ(total, expected.AnchorTotal);
    EXPECT_EQ(index, expected.PointAnchorIndex);
    EXPECT_EQ(rect, expected.PointAnchorRect);
}

TMarkupRequest Drawing()
{
    TMarkupRequest request = TestRequest();
    request.Area = QRect(3, 2, 200, 100);
    request.Point = QPoint(30, 8);
    request.FocusIndex = 0;
    request.HotIndex = 1;
    request.ShadowShift = 3;
    request.HotOnly = true;
    request.ScaleImages = true;
    request.ImageScale = 2.5;
    request.AnchorColor = clNavy;
    request.HotBackColor = clYellow;
    request.HotTextColor = clPurple;
    request.ShadowColor = clLime;
    request.LineGap = 4;
    return request;
}

TMarkupRequest Testing()
{
    TMarkupRequest request = Drawing();
    request.TestOnly = true;
    request.Point = QPoint(60, 8); // over the hot anchor
    request.BlinkVisible = false;
    request.WrapWords = false;
    return request;
}

TMarkupRequest Measuring()
{
    TMarkupRequest request = Drawing();
    request.MeasureOnly = true;
    request.KeepColors = true;
    request.Point = QPoint(8, 30);
    return request;
}

const QString Sample =
    QStringLiteral("<SH>shadow</SH> <A HREF=\"one\">hot anchor</A> <A HREF=\"two\">cold</A> "
                   "<IMG SRC=\"IDX:0\"> <BLINK>blink</BLINK> a rather long tail of words");

INSTANTIATE_TEST_SUITE_P(
    Cases, MarkupAdapter,
    ::testing::Values(AdapterCase{"drawing with every option set", Sample, Drawing(), false},
                      AdapterCase{"testing without word wrap", Sample, Testing(), true},
                      AdapterCase{"measuring only, colours kept", Sample, Measuring(), false}),
    CaseName<AdapterCase>);

TEST(MarkupAdapter, NothingFoundLeavesTheCallersAnchorAndRectangle)
{
    TMarkupSurface surface(300, 100);
    QString anchor = QStringLiteral("kept"), plain, focus;
    int width = 0, height = 0, total = 0, index = 0;
    QRect rect(-7, -7, 1, 1);
    const bool found = DrawMarkup(*surface.Canvas, QStringLiteral("plain <A HREF=\"t\">link</A>"),
                                  QRect(0, 0, 300, 200), nullptr, 2, 5, -1, 0, 2, true, false, false, false,
                                  true, false, true, 1.0, clBlue, clNone, clNone, clRed, anchor, plain, focus,
                                  width, height, total, index, rect, nullptr, nullptr, 0);
    EXPECT_FALSE(found);
    EXPECT_EQ(anchor, QStringLiteral("kept"));
    EXPECT_EQ(rect, QRect(-7, -7, 1, 1));
    EXPECT_EQ(index, -1);
    EXPECT_EQ(total, 1);
}

} // namespace
