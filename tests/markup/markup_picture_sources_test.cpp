#include "markup/draw_markup.h"

#include "pictures/html_picture.h"
#include "pictures/html_picture_cache.h"
#include "pictures/picture_collection.h"
#include "pictures/picture_container.h"
#include "pictures/picture_item.h"
#include "toolkit/graphics/canvas.h"

#include "tests/markup/markup_run.h"
#include "tests/support/image_test_helpers.h"
#include "tests/support/test_data.h"

#include <gtest/gtest.h>

namespace
{

// The blue 8 x 8 fixture as the container's "Logo" and, by location, in the
// cache; a drive-letter path reaches neither.
struct SourceCase {
    const char* Name;
    QString Markup; // "%1" stands for the fixture's path
    int ExtentWidth;
    int PictureHeight; // 0: the line keeps the text height
    QPoint Painted;    // a pixel of the picture afterwards; x -1: nothing drawn, -2: not checked
};

class MarkupPictureSources : public ::testing::TestWithParam<SourceCase>
{
};

TEST_P(MarkupPictureSources, FindsPicturesByNameAndLocationOnly)
{
    const SourceCase& c = GetParam();
    const QString fixture = TestDataPath(QStringLiteral("pictures/logo-blue-8x8.png"));
    const QRgb blue = LoadTestImage(QStringLiteral("pictures/logo-blue-8x8.png")).pixel(4, 4);
    TPictureContainer container;
    TPictureItem* item = container.Items()->Add();
    item->SetName(QStringLiteral("Logo"));
    item->Picture()->LoadFile(fixture);
    THTMLPictureCache cache;

    TMarkupSurface surface(300, 100);
    TMarkupRequest request = TestRequest();
    QString markup = c.Markup.arg(fixture);
    request.PictureContainer = &container;
    request.PictureCache = &cache;
    const TMarkupResult result = DrawMarkup(*surface.Canvas, markup, request);
    EXPECT_EQ(result.ExtentWidth, c.ExtentWidth);
    EXPECT_EQ(result.ExtentHeight, qMax(surface.LineHeight(), c.PictureHeight));
    if (c.Painted.x() >= 0) {
        EXPECT_EQ(surface.Image.pixel(c.Painted), blue);
    } else if (c.Painted.x() == -1) {
        EXPECT_EQ(ChangedArea(surface.Image), QRect());
    } else {
        EXPECT_NE(ChangedArea(surface.Image), QRect());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MarkupPictureSources,
    ::testing::Values(
        SourceCase{"container by name in any case", QStringLiteral("<IMG SRC=\"LOGO\">"), 10, 8, {4, 4}},
        SourceCase{"container picture stretched",
                   QStringLiteral("<IMG SRC=\"logo\" WIDTH=\"30\" HEIGHT=\"20\">"),
                   32,
                   20,
                   {28, 18}},
        SourceCase{"cache by file location", QStringLiteral("<IMG SRC=\"FILE://%1\">"), 10, 8, {8, 7}},
        SourceCase{
            "drive-letter path finds nothing", QStringLiteral("<IMG SRC=\"C:\\logo.png\">"), 0, 0, {-1, -1}},
        SourceCase{"small shell icon", QStringLiteral("<IMG SRC=\"SSYS:3\">"), 18, 16, {-2, -2}},
        SourceCase{
            "large shell icon by file type", QStringLiteral("<IMG SRC=\"LSYS:.txt\">"), 34, 32, {-2, -2}},
        SourceCase{"unknown name finds nothing", QStringLiteral("<IMG SRC=\"nologo\">"), 0, 0, {-1, -1}},
        SourceCase{
            "body background tiles the area", QStringLiteral("<BODY BACKGROUND=\"LOGO\">"), 0, 0, {299, 99}},
        SourceCase{"body picture over the body colour",
                   QStringLiteral("<BODY BGCOLOR=\"clRed\" BGTOPLEFT=\"LOGO\">"),
                   0,
                   0,
                   {4, 4}},
        SourceCase{
            "body picture at the top right", QStringLiteral("<BODY BGTOPRIGHT=\"LOGO\">"), 0, 0, {292, 0}}),
    CaseName<SourceCase>);

TEST(MarkupPictureCache, LocationIsLoadedOnceAcrossCalls)
{
    const QString picture = QStringLiteral("<IMG SRC=\"FILE://%1\">")
                                .arg(TestDataPath(QStringLiteral("pictures/logo-blue-8x8.png")));
    THTMLPictureCache cache;
    TMarkupSurface surface(100, 40);
    TMarkupRequest request = TestRequest();
    const QString markup = picture + picture;
    request.PictureCache = &cache;
    DrawMarkup(*surface.Canvas, markup, request);
    const TMarkupResult result = DrawMarkup(*surface.Canvas, markup, request);
    EXPECT_EQ(cache.Count(), 1);
    EXPECT_EQ(result.ExtentWidth, 18);
}

} // namespace
