#include "markup/draw_markup.h"

#include "toolkit/graphics/brush.h"
#include "toolkit/graphics/canvas.h"
#include "toolkit/graphics/draw_text.h"
#include "toolkit/graphics/font.h"
#include "toolkit/graphics/image_list.h"

#include "tests/markup/markup_run.h"
#include "tests/markup/qstring_printer.h"
#include "tests/support/image_test_helpers.h"
#include "tests/support/test_names.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace
{

using TMeasure = std::function<int(const TMarkupSurface&)>;

// An image list of Count solid pictures of one size, in the colours given.
std::unique_ptr<TImageList> SolidList(int Width, int Height, std::initializer_list<QRgb> Colors)
{
    auto list = std::make_unique<TImageList>();
    list->SetSize(Width, Height);
    for (const QRgb color : Colors)
        list->Add(MakeImage(Width, Height, color));
    return list;
}

bool IsDark(QRgb Pixel)
{
    return qRed(Pixel) < 128 && qGreen(Pixel) < 128 && qBlue(Pixel) < 128;
}
bool IsReddish(QRgb Pixel)
{
    return qRed(Pixel) > 160 && qGreen(Pixel) < 110 && qBlue(Pixel) < 110;
}

// The rows of Rect holding at least one pixel that Test accepts.
QRect MatchingArea(const QImage& Image, const QRect& Rect, const std::function<bool(QRgb)>& Test)
{
    QRect found;
    const QRect area = Rect & Image.rect();
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (Test(Image.pixel(x, y)))
                found |= QRect(x, y, 1, 1);
    return found;
}

// ---------------------------------------------------------------------------
// Line breaking and extents, measured with the canvas's own text widths.

struct LayoutCase {
    const char* Name;
    QString Markup;
    TMeasure AreaWidth;
    bool WrapWords;
    int Lines;
    TMeasure ExtentWidth; // nullptr: not checked
};

class MarkupLayout : public ::testing::TestWithParam<LayoutCase>
{
};

TEST_P(MarkupLayout, BreaksLinesAndMeasuresTheWidestLine)
{
    const LayoutCase& c = GetParam();
    TMarkupSurface surface(400, 200);
    TMarkupRequest request = TestRequest();
    QString markup = c.Markup;
    request.Area = QRect(0, 0, c.AreaWidth(surface), 200);
    request.WrapWords = c.WrapWords;
    const TMarkupResult result = DrawMarkup(*surface.Canvas, markup, request);
    EXPECT_EQ(result.ExtentHeight, c.Lines * surface.LineHeight());
    if (c.ExtentWidth) {
        EXPECT_EQ(result.ExtentWidth, c.ExtentWidth(surface));
    }
}

const TMeasure Area300 = [](const TMarkupSurface&) { return 300; };

INSTANTIATE_TEST_SUITE_P(
    Cases, MarkupLayout,
    ::testing::Values(
        LayoutCase{"empty markup is one empty line", QString(), Area300, true, 1,
                   [](const TMarkupSurface&) { return 0; }},
        LayoutCase{
            "three words break before the first that does not fit", QStringLiteral("aaa bbb ccc"),
            [](const TMarkupSurface& s) { return 1 + s.Width("aaa ") + s.Width("bbb ") + s.Width("c"); },
            true, 2,
            [](const TMarkupSurface& s) { return s.Width("aaa ") + s.Width("bbb ") - s.Width(" ") + 2; }},
        LayoutCase{"an overlong word stays on its line", QStringLiteral("Supercalifragilistic"),
                   [](const TMarkupSurface&) { return 40; }, true, 1,
                   [](const TMarkupSurface& s) { return s.Width("Supercalifragilistic") + 2; }},
        LayoutCase{
            "a word split by tags is not broken", QStringLiteral("aaa <U>bb</U>cc"),
            [](const TMarkupSurface& s) { return 2 + s.Width("aaa ") + s.Width("bb"); }, true, 1,
            [](const TMarkupSurface& s) { return s.Width("aaa ") + s.Width("bb") + s.Width("cc") + 2; }},
        LayoutCase{"the same words with a blank break", QStringLiteral("aaa bb cc"),
                   [](const TMarkupSurface& s) { return 2 + s.Width("aaa ") + s.Width("bb"); }, true, 2,
                   nullptr},
        LayoutCase{"without word wrap every run is taken", QStringLiteral("aaa bbb ccc ddd"),
                   [](const TMarkupSurface&) { return 30; }, false, 1, nullptr},
        LayoutCase{"line breaks and paragraph ends", QStringLiteral("a<BR>b</P>c"), Area300, true, 3,
                   nullptr},
        LayoutCase{"list items indent by twelve per level",
                   QStringLiteral("<UL><LI>one</LI><LI>two</LI></UL>"), Area300, true, 4,
                   [](const TMarkupSurface& s) { return 12 + qMax(s.Width("one"), s.Width("two")) + 2; }}),
    CaseName<LayoutCase>);

TEST(MarkupEllipsis, WithoutWordWrapAnOverflowingRunEndsWithAnEllipsis)
{
    TMarkupSurface drawn(200, 40), expected(200, 40);
    TMarkupRequest request = TestRequest();
    QString markup = QStringLiteral("aaa bbb ccc ddd");
    request.Area = QRect(0, 0, 50, 40);
    request.WrapWords = false;
    TMarkupResult result = DrawMarkup(*drawn.Canvas, markup, request);
    QRect rect(1, 0, 49, drawn.LineHeight());
    expected.Canvas->SetBkMode(TRANSPARENT);
    DrawTextEx(*expected.Canvas, markup, rect, DT_SINGLELINE | DT_BOTTOM | DT_EXPANDTABS | DT_END_ELLIPSIS);
    EXPECT_EQ(drawn.Image, expected.Image);
    EXPECT_NE(ChangedArea(drawn.Image), QRect());

    // A run of 300,000 characters is cut down in a few measurements.
    TMarkupSurface longRun(200, 40);
    markup = QString(300000, u'a');
    result = DrawMarkup(*longRun.Canvas, markup, request);
    EXPECT_LE(result.ExtentWidth, 49 + 2);
    EXPECT_LE(ChangedArea(longRun.Image).right(), 49);
}

// ---------------------------------------------------------------------------
// Line heights from scripts and pictures, and where text sits on the line.

struct HeightCase {
    const char* Name;
    QString Markup;
    TMeasure Height;
    TMeasure TextTop;    // first row text may use
    TMeasure TextBottom; // row below the last one text may use
};

class MarkupLineHeight : public ::testing::TestWithParam<HeightCase>
{
};

TEST_P(MarkupLineHeight, RaisesTheLineAndPlacesTheText)
{
    const HeightCase& c = GetParam();
    TMarkupSurface surface(300, 100);
    const auto pictures = SolidList(40, 40, {0xFF00FF00u});
    TMarkupRequest request = TestRequest();
    QString markup = c.Markup;
    request.Images = pictures.get();
    const TMarkupResult result = DrawMarkup(*surface.Canvas, markup, request);
    EXPECT_EQ(result.ExtentHeight, c.Height(surface));
    const QRect text = MatchingArea(surface.Image, surface.Image.rect(), IsDark);
    ASSERT_FALSE(text.isEmpty());
    EXPECT_GE(text.top(), c.TextTop(surface));
    EXPECT_LT(text.bottom(), c.TextBottom(surface));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MarkupLineHeight,
    ::testing::Values(
        HeightCase{"subscript adds a quarter below", QStringLiteral("x<SUB>2</SUB>"),
                   [](const TMarkupSurface& s) { return s.LineHeight() + s.LineHeight() / 4; },
                   [](const TMarkupSurface&) { return 0; },
                   [](const TMarkupSurface& s) { return s.LineHeight() + s.LineHeight() / 4; }},
        HeightCase{"superscript adds a quarter above", QStringLiteral("x<SUP>2</SUP>"),
                   [](const TMarkupSurface& s) { return s.LineHeight() + s.LineHeight() / 4; },
                   [](const TMarkupSurface&) { return 0; },
                   [](const TMarkupSurface& s) { return s.LineHeight() + s.LineHeight() / 4; }},
        HeightCase{"a tall picture: text on its bottom", QStringLiteral("x<IMG SRC=\"IDX:0\">"),
                   [](const TMarkupSurface&) { return 40; },
                   [](const TMarkupSurface& s) { return 40 - s.LineHeight(); },
                   [](const TMarkupSurface&) { return 40; }},
        HeightCase{"ALIGN TOP: text at the top", QStringLiteral("x<IMG SRC=\"IDX:0\" ALIGN=\"TOP\">"),
                   [](const TMarkupSurface&) { return 40; }, [](const TMarkupSurface&) { return 0; },
                   [](const TMarkupSurface& s) { return s.LineHeight(); }},
        HeightCase{"ALIGN MIDDLE: text in the middle",
                   QStringLiteral("x<IMG SRC=\"IDX:0\" ALIGN=\"MIDDLE\">"),
                   [](const TMarkupSurface&) { return 40; },
                   [](const TMarkupSurface& s) { return (40 - s.LineHeight()) / 2; },
                   [](const TMarkupSurface& s) { return (40 - s.LineHeight()) / 2 + s.LineHeight(); }}),
    CaseName<HeightCase>);

TEST(MarkupScripts, SubscriptRunIsDrawnLowerThanTheLine)
{
    TMarkupSurface plain(100, 40), sub(100, 40);
    TMarkupRequest request = TestRequest();
    DrawMarkup(*sub.Canvas, QStringLiteral("<SUB>x</SUB>"), request);
    DrawMarkup(*plain.Canvas, QStringLiteral("x"), request);
    const QRect low = MatchingArea(sub.Image, sub.Image.rect(), IsDark);
    const QRect high = MatchingArea(plain.Image, plain.Image.rect(), IsDark);
    EXPECT_EQ(low.top() - high.top(), sub.LineHeight() / 4);
}

// ---------------------------------------------------------------------------
// Pictures that move to the next line or stay, and aligned lines.

struct PlacementCase {
    const char* Name;
    bool Wide; // pictures 100 x 10, else 40 x 40
    QString Markup;
    int AreaWidth;
    int Height;       // 0: one line of text, taller than the picture
    QPoint Painted;   // a pixel of the picture's colour
    QPoint Unpainted; // and one left white
};

class MarkupPicturePlacement : public ::testing::TestWithParam<PlacementCase>
{
};

TEST_P(MarkupPicturePlacement, PlacesPicturesOnTheirLines)
{
    const PlacementCase& c = GetParam();
    TMarkupSurface surface(300, 100);
    const auto wide = SolidList(100, 10, {0xFF0000FFu});
    const auto square = SolidList(40, 40, {0xFF0000FFu});
    TMarkupRequest request = TestRequest();
    QString markup = c.Markup;
    request.Area = QRect(0, 0, c.AreaWidth, 100);
    request.Images = c.Wide ? wide.get() : square.get();
    const TMarkupResult result = DrawMarkup(*surface.Canvas, markup, request);
    EXPECT_EQ(result.ExtentHeight, c.Height > 0 ? c.Height : surface.LineHeight());
    EXPECT_EQ(surface.Image.pixel(c.Painted), 0xFF0000FFu);
    EXPECT_EQ(surface.Image.pixel(c.Unpainted), White);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MarkupPicturePlacement,
    ::testing::Values(PlacementCase{"right alignment starts a 100 pixel line at 200",
                                    true,
                                    QStringLiteral("<P ALIGN=\"RIGHT\"><IMG SRC=\"IDX:0\">"),
                                    300,
                                    0,
                                    {200, 5},
                                    {199, 5}},
                      PlacementCase{"centre alignment halves the room",
                                    true,
                                    QStringLiteral("<P ALIGN=\"CENTER\"><IMG SRC=\"IDX:0\">"),
                                    300,
                                    0,
                                    {100, 5},
                                    {99, 5}},
                      PlacementCase{"a picture that does not fit starts the next line",
                                    false,
                                    QStringLiteral("<IMG SRC=\"IDX:0\"><IMG SRC=\"IDX:0\">"),
                                    61,
                                    80,
                                    {1, 40},
                                    {41, 5}},
                      PlacementCase{"a picture wider than the area stays",
                                    false,
                                    QStringLiteral("<IMG SRC=\"IDX:0\"><IMG SRC=\"IDX:0\">"),
                                    30,
                                    40,
                                    {41, 5},
                                    {1, 45}}),
    CaseName<PlacementCase>);

// ---------------------------------------------------------------------------
// Hit testing.

TEST(MarkupHitTest, AnchorOnTheSecondLineGivesTargetNumberAndRectangle)
{
    TMarkupSurface surface(300, 100);
    const int gh = surface.LineHeight();
    TMarkupRequest request = TestRequest();
    // The second anchor starts on the first line; "three" does not fit there.
    QString markup = QStringLiteral("oneoneone <A HREF=\"first\">two</A> <A HREF=\"second\">three four</A>");
    request.Area =
        QRect(0, 0, 1 + surface.Width("oneoneone ") + surface.Width("two ") + surface.Width("thr"), 100);
    request.Point = QPoint(1 + surface.Width("three ") + surface.Width("four") / 2, gh + gh / 2);
    request.TestOnly = true;
    const TMarkupResult result = DrawMarkup(*surface.Canvas, markup, request);
    EXPECT_TRUE(result.AnchorAtPoint);
    EXPECT_EQ(result.PointAnchor, QStringLiteral("second"));
    EXPECT_EQ(result.PointAnchorIndex, 2);
    EXPECT_EQ(result.AnchorTotal, 2);
    EXPECT_EQ(result.PointAnchorRect, QRect(1, gh, surface.Width("three ") + surface.Width("four"), gh));
    EXPECT_EQ(ChangedArea(surface.Image), QRect()) << "a test call draws nothing";
}

TEST(MarkupHitTest, NothingFoundGivesNoAnchorAndTheEmptyRectangle)
{
    TMarkupSurface surface(300, 100);
    TMarkupRequest request = TestRequest();
    request.Point = QPoint(2, 5);
    request.TestOnly = true;
    const TMarkupResult result =
        DrawMarkup(*surface.Canvas, QStringLiteral("plain <A HREF=\"t\">link</A>"), request);
    EXPECT_FALSE(result.AnchorAtPoint);
    EXPECT_EQ(result.PointAnchor, QString());
    EXPECT_EQ(result.PointAnchorRect, QRect(QPoint(-1, -1), QPoint(-2, -2)));
    EXPECT_EQ(result.PointAnchorIndex, -1);
    EXPECT_EQ(result.AnchorTotal, 1);
}

struct PictureHitCase {
    const char* Name;
    bool TestOnly;
    QRgb Drawn; // the pixel under the point afterwards
};

class MarkupPictureHit : public ::testing::TestWithParam<PictureHitCase>
{
};

TEST_P(MarkupPictureHit, PictureInsideAnAnchorIsHitAndShowsItsAlt)
{
    TMarkupSurface surface(300, 100);
    const auto pictures = SolidList(40, 40, {0xFFFF0000u, 0xFF00FF00u});
    TMarkupRequest request = TestRequest();
    QString markup = QStringLiteral("<A HREF=\"pic\"><IMG SRC=\"IDX:0\" ALT=\"IDX:1\"></A>");
    request.Images = pictures.get();
    request.Point = QPoint(20, 20);
    request.TestOnly = GetParam().TestOnly;
    const TMarkupResult result = DrawMarkup(*surface.Canvas, markup, request);
    EXPECT_TRUE(result.AnchorAtPoint);
    EXPECT_EQ(result.PointAnchor, QStringLiteral("pic"));
    EXPECT_EQ(surface.Image.pixel(20, 20), GetParam().Drawn);
}

INSTANTIATE_TEST_SUITE_P(Cases, MarkupPictureHit,
                         ::testing::Values(PictureHitCase{"drawing call draws the ALT picture", false,
                                                          0xFF00FF00u},
                                           PictureHitCase{"test call draws nothing", true, White}),
                         CaseName<PictureHitCase>);

TEST(MarkupFocus, FocusIndexZeroOutlinesTheFirstAnchorOnePixelWider)
{
    TMarkupSurface plain(300, 60), focused(300, 60);
    const int gh = plain.LineHeight();
    TMarkupRequest request = TestRequest();
    QString markup = QStringLiteral("x <A HREF=\"f\">link</A> y");
    request.Area = QRect(0, 10, 300, 50);
    TMarkupResult result = DrawMarkup(*plain.Canvas, markup, request);
    request.FocusIndex = 0;
    result = DrawMarkup(*focused.Canvas, markup, request);
    EXPECT_EQ(result.FocusTarget, QStringLiteral("f"));
    QRect outline;
    for (int y = 0; y < plain.Image.height(); ++y)
        for (int x = 0; x < plain.Image.width(); ++x)
            if (plain.Image.pixel(x, y) != focused.Image.pixel(x, y))
                outline |= QRect(x, y, 1, 1);
    EXPECT_EQ(outline, QRect(plain.Width("x "), 9, plain.Width("link") + 2, gh + 2));
}

// ---------------------------------------------------------------------------
// Hidden text and shadows: where a colour shows and where it must not.

// The first line ends inside the hidden section, so its second pass starts
// hidden: its text before the section ("a") is not drawn either.
TEST(MarkupHidden, LineBreakInsideAHiddenSectionEndsTheLineAndHiddenTextIsNotDrawn)
{
    TMarkupSurface surface(300, 100);
    surface.Canvas->Font()->SetSize(16);
    const int big = surface.LineHeight();
    surface.Canvas->Font()->SetHeight(-11);
    TMarkupRequest request = TestRequest();
    QString markup = QStringLiteral("a<Z><FONT SIZE=\"5\" COLOR=\"clRed\">big<BR>more</FONT></Z>b");
    const TMarkupResult result = DrawMarkup(*surface.Canvas, markup, request);
    EXPECT_EQ(result.ExtentHeight, 2 * big);
    EXPECT_FALSE(MatchingArea(surface.Image, surface.Image.rect(), IsReddish).isValid());
    EXPECT_FALSE(MatchingArea(surface.Image, QRect(0, 0, 300, big), IsDark).isValid()) << "line 1 is hidden";
    EXPECT_TRUE(MatchingArea(surface.Image, QRect(0, big, 20, big), IsDark).isValid()) << "b is drawn";
}

TEST(MarkupShadow, ShadowOpenAtALineEndShadowsThatWholeLineAndNotTheNext)
{
    TMarkupSurface surface(300, 100);
    const int gh = surface.LineHeight();
    TMarkupRequest request = TestRequest();
    QString markup = QStringLiteral("aa <SH>bb cc</SH> dd");
    request.Area = QRect(0, 0, 1 + surface.Width("aa ") + surface.Width("bb ") + surface.Width("c"), 100);
    const TMarkupResult result = DrawMarkup(*surface.Canvas, markup, request);
    ASSERT_EQ(result.ExtentHeight, 2 * gh);
    const QRect before = QRect(1, 0, surface.Width("aa") + 2, gh + 2);
    EXPECT_TRUE(MatchingArea(surface.Image, before, IsReddish).isValid()) << "text before the start tag";
    EXPECT_FALSE(MatchingArea(surface.Image, QRect(0, gh + 3, 300, 60), IsReddish).isValid());
}

// ---------------------------------------------------------------------------
// Colours set by tags, and the switches that leave them alone.

struct ColorCase {
    const char* Name;
    QString Markup;
    bool KeepColors;
    bool BlinkVisible;
    bool Red;  // red text drawn
    bool Dark; // black text drawn
};

class MarkupColors : public ::testing::TestWithParam<ColorCase>
{
};

TEST_P(MarkupColors, TagsColourTheTextUnlessKept)
{
    const ColorCase& c = GetParam();
    TMarkupSurface surface(200, 40);
    TMarkupRequest request = TestRequest();
    QString markup = c.Markup;
    request.KeepColors = c.KeepColors;
    request.BlinkVisible = c.BlinkVisible;
    request.AnchorColor = clRed;
    const TMarkupResult result = DrawMarkup(*surface.Canvas, markup, request);
    EXPECT_EQ(MatchingArea(surface.Image, surface.Image.rect(), IsReddish).isValid(), c.Red);
    EXPECT_EQ(MatchingArea(surface.Image, surface.Image.rect(), IsDark).isValid(), c.Dark);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MarkupColors,
    ::testing::Values(ColorCase{"font colour", QStringLiteral("<FONT COLOR=\"#FF0000\">red</FONT>"), false,
                                true, true, false},
                      ColorCase{"font colour kept", QStringLiteral("<FONT COLOR=\"clRed\">red</FONT>"), true,
                                true, false, true},
                      ColorCase{"anchor colour", QStringLiteral("<A HREF=\"x\">link</A>"), false, true, true,
                                false},
                      ColorCase{"blink in its visible phase", QStringLiteral("<BLINK>on</BLINK>"), false,
                                true, false, true},
                      ColorCase{"blink hidden in the background", QStringLiteral("<BLINK>off</BLINK>"), false,
                                false, false, false}),
    CaseName<ColorCase>);

// ---------------------------------------------------------------------------
// Input that must neither crash, hang nor leave state behind.

class MarkupHostile : public ::testing::TestWithParam<QString>
{
};

TEST_P(MarkupHostile, ReturnsAndPutsTheCanvasBack)
{
    TMarkupSurface surface(200, 100);
    surface.Canvas->SetTextRotation(0);
    TMarkupRequest request = TestRequest();
    QString markup = GetParam();
    TMarkupResult result = DrawMarkup(*surface.Canvas, markup, request);
    request.MeasureOnly = true;
    result = DrawMarkup(*surface.Canvas, markup, request);
    EXPECT_GT(result.ExtentHeight, 0);
    EXPECT_EQ(surface.Canvas->Font()->Height(), -11);
    EXPECT_EQ(surface.Canvas->Font()->Color(), clBlack);
    EXPECT_EQ(surface.Canvas->TextRotation(), 0);
}

// The canvas a call found comes back, brush included, whatever the call
// did to it: two walks (several body colours), a rotation left open, a font
// and a solid background set by tags, a measuring or hit-testing call.
TEST(MarkupCanvasState, ACallLeavesTheCanvasAsItFoundIt)
{
    struct TCase {
        const char* Name;
        const char* Markup;
        bool MeasureOnly, TestOnly;
    } cases[] = {
        {"two body colours, so two walks", "<body bgcolor=\"clred\">a<br><body bgcolor=\"clblue\">b", false,
         false},
        {"rotation left open", "<R a=\"90\">turned", false, false},
        {"font and background by tags", "<FONT face=\"Arial\" size=\"20\" bgcolor=\"clLime\">big</FONT> x",
         false, false},
        {"measuring", "<B>bold <R a=\"45\">turned", true, false},
        {"hit testing", "<A HREF=\"x\"><FONT size=\"14\">link", false, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TMarkupSurface surface(200, 100);
        TCanvas& canvas = *surface.Canvas;
        canvas.Brush()->SetColor(clYellow);
        canvas.Brush()->SetStyle(TBrush::bsSolid);
        canvas.SetTextRotation(150);
        TMarkupRequest request = TestRequest();
        request.MeasureOnly = c.MeasureOnly;
        request.TestOnly = c.TestOnly;
        DrawMarkup(canvas, QString::fromLatin1(c.Markup), request);
        EXPECT_EQ(canvas.Brush()->Color(), clYellow);
        EXPECT_EQ(canvas.Brush()->Style(), TBrush::bsSolid);
        EXPECT_EQ(canvas.TextRotation(), 150);
        EXPECT_EQ(canvas.Font()->Name(), QStringLiteral("Tahoma"));
        EXPECT_EQ(canvas.Font()->Height(), -11);
        EXPECT_EQ(canvas.Font()->Style(), TFont::TFontStyles());
        EXPECT_EQ(canvas.Font()->Color(), clBlack);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, MarkupHostile,
    ::testing::Values(
        QStringLiteral("<"), QStringLiteral("a<"), QStringLiteral("</"), QStringLiteral("<<<<>"),
        QStringLiteral("a <B b c d"), QStringLiteral("<FONT SIZE=\"2147483647\">huge</FONT>"),
        QStringLiteral("<FONT SIZE=\"-2147483647\">tiny"), QStringLiteral("<OF x=\"2147483647\">a b c"),
        QStringLiteral("<IN x=\"2147483647\">a b"), QStringLiteral("<OF x=\"-2147483647\">a b"),
        QStringLiteral("<R a=\"2147483647\">turned"), QStringLiteral("<R a=\"90\">left open"),
        QStringLiteral("<IMG SRC=\"IDX:-1\"><IMG SRC=\"IDX:99\" WIDTH=\"2147483647\" HEIGHT=\"9\">"),
        QStringLiteral("<UL><UL><UL><LI><LI><LI></UL></A></A><A><A>x"), QString(5000, u'<'),
        QStringLiteral("<B>").repeated(3000) + QStringLiteral("x")),
    // The index keeps apart inputs made only of punctuation; the text is cut
    // so that the long ones stay short.
    [](const ::testing::TestParamInfo<QString>& Info) {
        const std::string text = TestNameFrom(Info.param.left(40).toStdString());
        return "input_" + std::to_string(Info.index) + (text.empty() ? "" : "_" + text);
    });

} // namespace
