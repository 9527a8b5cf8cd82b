#include "imaging/image_shrink.h"

#include "tests/support/test_data.h"

#include <gtest/gtest.h>

namespace
{
QImage Filled(int Width, int Height, QRgb Colour)
{
    QImage image(Width, Height, QImage::Format_ARGB32);
    image.fill(Colour);
    return image;
}
} // namespace

TEST(ShrinkByBoxes, EachPixelIsTheAlphaWeightedMeanOfItsBlock)
{
    // 5 x 3 by 2: blocks of 2 x 2, then the ragged last column and row.
    QImage picture = Filled(5, 3, qRgba(0, 255, 0, 0)); // transparent green lends no colour
    picture.setPixel(0, 0, qRgba(200, 0, 0, 255));
    picture.setPixel(2, 0, qRgba(100, 0, 0, 255));
    picture.setPixel(3, 0, qRgba(100, 0, 0, 255));
    picture.setPixel(2, 1, qRgba(10, 20, 30, 255));
    picture.setPixel(3, 1, qRgba(10, 20, 30, 255));
    picture.setPixel(4, 2, qRgba(0, 0, 250, 128));
    struct Case {
        int x, y;
        QRgb expected;
        const char* what;
    } cases[] = {
        {0, 0, qRgba(200, 0, 0, 64), "one opaque pixel of four: its colour at a quarter of the alpha"},
        {1, 0, qRgba(55, 10, 15, 255), "four opaque pixels: the plain mean"},
        {2, 0, 0, "a block of transparent pixels is transparent black"},
        {2, 1, qRgba(0, 0, 250, 128), "the last corner holds one pixel"},
        {0, 1, 0, "the last row's blocks hold two pixels"},
    };
    const QImage shrunk = ShrinkByBoxes(picture, 2);
    ASSERT_EQ(shrunk.size(), QSize(3, 2));
    ASSERT_EQ(shrunk.format(), QImage::Format_ARGB32);
    for (const Case& c : cases)
        EXPECT_EQ(shrunk.pixel(c.x, c.y), c.expected) << c.what;
}

TEST(ShrinkByBoxes, RealPhotoKeepsItsMeanColourAndFactorOneKeepsEveryPixel)
{
    const QImage photo = LoadTestImage(QStringLiteral("photo-opaque-320x240.jpg"));
    EXPECT_EQ(ShrinkByBoxes(photo, 1), photo.convertToFormat(QImage::Format_ARGB32));
    const QImage shrunk = ShrinkByBoxes(photo, 8);
    ASSERT_EQ(shrunk.size(), QSize(40, 30));
    // Block (3, 2) against the mean of its 64 pixels, computed plainly.
    int sums[3] = {};
    for (int y = 16; y < 24; ++y)
        for (int x = 24; x < 32; ++x) {
            sums[0] += qRed(photo.pixel(x, y));
            sums[1] += qGreen(photo.pixel(x, y));
            sums[2] += qBlue(photo.pixel(x, y));
        }
    const QRgb block = shrunk.pixel(3, 2);
    EXPECT_EQ(qRed(block), (sums[0] + 32) / 64);
    EXPECT_EQ(qGreen(block), (sums[1] + 32) / 64);
    EXPECT_EQ(qBlue(block), (sums[2] + 32) / 64);
    EXPECT_EQ(qAlpha(block), 255);
    EXPECT_TRUE(ShrinkByBoxes(QImage(), 4).isNull());
}
