#include "imaging/reflection/reflection_builder.h"
#include "imaging/reflection/reflection_fade.h"

#include "tests/support/naive_reflection.h"
#include "tests/support/test_data.h"

#include <cmath>
#include <gtest/gtest.h>

namespace
{
QImage OpaqueColumn(int height)
{
    QImage image(3, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < 3; ++x)
            image.setPixel(x, y, qRgba(10 * x, y % 256, 200, 255));
    return image;
}
} // namespace

TEST(ReflectionRowOpacity, FadesFromStartToEndWithHalvesToEven)
{
    struct Case {
        int row, size, start, end, expected;
        const char* what;
    } cases[] = {
        {0, 100, 255, 0, 255, "row 0 is the start opacity"},
        {50, 100, 255, 0, 128, "127.5 goes to the even neighbour"},
        {99, 100, 255, 0, 3, "2.55 rounds up"},
        {100, 100, 255, 0, 0, "row n is transparent"},
        {150, 100, 255, 0, 0, "rows past n are transparent"},
        {0, 0, 255, 0, 0, "size 0 has no visible rows"},
        {0, -5, 255, 0, 0, "negative size has no visible rows"},
        {1, 4, 0, 2, 0, "0.5 goes down to 0"},
        {3, 4, 0, 2, 2, "1.5 goes up to 2"},
        {0, 50, 120, 1, 120, "window start values, row 0"},
        {49, 50, 120, 1, 3, "window start values, last row: 2.4 + 0.98"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReflectionRowOpacity(c.row, {.Size = c.size, .OpacityStart = c.start, .OpacityEnd = c.end}),
                  c.expected)
            << c.what;
}

TEST(ReflectionRowOpacity, SizeBeyondPictureKeepsFadingOverTheWholeSize)
{
    // Row H-1 of a 10-row picture with n = 40: (31/40)*255 + (9/40)*0 = 197.625
    EXPECT_EQ(ReflectionRowOpacity(9, {.Size = 40, .OpacityStart = 255, .OpacityEnd = 0}), 198);
}

TEST(BuildReflectionImage, WorkedRowsOfAnOpaquePicture)
{
    const QImage picture = OpaqueColumn(120);
    const QImage reflection =
        BuildReflectionImage(picture, {.Size = 100, .OpacityStart = 255, .OpacityEnd = 0});
    ASSERT_EQ(reflection.size(), picture.size());
    EXPECT_EQ(qAlpha(reflection.pixel(0, 0)), 255);
    EXPECT_EQ(qAlpha(reflection.pixel(0, 50)), 128);
    EXPECT_EQ(qAlpha(reflection.pixel(0, 99)), 3);
    for (int y = 100; y < 120; ++y)
        EXPECT_EQ(qAlpha(reflection.pixel(1, y)), 0) << y;
    // Row y mirrors picture row H - 1 - y, colours untouched.
    EXPECT_EQ(reflection.pixel(2, 0) & 0xFFFFFF, picture.pixel(2, 119) & 0xFFFFFF);
    EXPECT_EQ(reflection.pixel(1, 30) & 0xFFFFFF, picture.pixel(1, 89) & 0xFFFFFF);
}

TEST(BuildReflectionImage, TransparentSourcePixelsStayTransparentAndColoursAreKept)
{
    QImage picture(4, 4, QImage::Format_ARGB32);
    picture.fill(0);
    picture.setPixel(1, 3, qRgba(200, 100, 50, 1)); // faintest visible pixel
    picture.setPixel(2, 3, qRgba(17, 34, 51, 0));   // invisible but coloured
    picture.setPixel(3, 3, qRgba(250, 251, 252, 255));
    const QImage reflection =
        BuildReflectionImage(picture, {.Size = 2, .OpacityStart = 255, .OpacityEnd = 255});
    EXPECT_EQ(reflection.pixel(1, 0), qRgba(200, 100, 50, 1));
    EXPECT_EQ(reflection.pixel(2, 0), 0u) << "a fully transparent source pixel is left untouched";
    EXPECT_EQ(reflection.pixel(3, 0), qRgba(250, 251, 252, 255));
    for (int y = 1; y < 4; ++y)
        EXPECT_EQ(reflection.pixel(0, y), 0u);
}

TEST(BuildReflectionImage, SizeZeroAndNegativeLeaveOnlyInvisibleRows)
{
    const QImage picture = OpaqueColumn(10);
    for (int size : {0, -1, -100}) {
        const QImage reflection =
            BuildReflectionImage(picture, {.Size = size, .OpacityStart = 255, .OpacityEnd = 255});
        for (int y = 0; y < 10; ++y)
            EXPECT_EQ(qAlpha(reflection.pixel(0, y)), 0) << "size " << size << " row " << y;
    }
}

TEST(BuildReflectionImage, SizeGreaterThanHeightKeepsTheLastRowVisible)
{
    const QImage picture = OpaqueColumn(10);
    const QImage reflection =
        BuildReflectionImage(picture, {.Size = 40, .OpacityStart = 255, .OpacityEnd = 0});
    EXPECT_EQ(qAlpha(reflection.pixel(0, 9)), 198);
}

TEST(BuildReflectionImage, MatchesThePlainFormulaOnRealImages)
{
    struct Case {
        const char* file;
        int size, start, end;
    } cases[] = {
        {"photo-opaque-320x240.jpg", 100, 255, 0},    {"photo-opaque-320x240.jpg", 50, 120, 1},
        {"photo-opaque-320x240.jpg", 400, 17, 230},   {"soft-edges-rgba-200x150.png", 100, 255, 0},
        {"soft-edges-rgba-200x150.png", 150, 128, 0}, {"soft-edges-rgba-200x150.png", 7, 3, 255},
        {"soft-edges-rgba-200x150.png", 0, 255, 255},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " size " + std::to_string(c.size));
        const QImage picture = LoadTestImage(QString::fromLatin1(c.file));
        ExpectSameBits(
            BuildReflectionImage(picture, {.Size = c.size, .OpacityStart = c.start, .OpacityEnd = c.end}),
            NaiveReflection(picture, c.size, c.start, c.end));
    }
}

TEST(BuildReflectionImage, LargePictureBuiltInBandsMatchesTheFormula)
{
    // Large enough to be split over threads; the band borders must not show.
    QImage picture(1500, 900, QImage::Format_ARGB32);
    for (int y = 0; y < picture.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            row[x] = qRgba(x % 256, y % 256, (x * y) % 256, (x + 3 * y) % 256);
    }
    ExpectSameBits(BuildReflectionImage(picture, {.Size = 700, .OpacityStart = 200, .OpacityEnd = 20}),
                   NaiveReflection(picture, 700, 200, 20));
}

TEST(BuildReflectionImage, NullPictureGivesNullImage)
{
    EXPECT_TRUE(BuildReflectionImage(QImage(), {.Size = 100, .OpacityStart = 255, .OpacityEnd = 0}).isNull());
}
