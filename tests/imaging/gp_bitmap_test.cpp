#include "imaging/gp_bitmap.h"

#include "imaging/gp_graphics.h"
#include "tests/support/gp_test_images.h"

#include <QPainter>
#include <gtest/gtest.h>

using namespace gp_test;

TEST(GpBitmap, ANewBitmapIsTransparentBlackEverywhere)
{
    TGPBitmap bitmap(7, 5, PixelFormat32bppARGB);
    ASSERT_EQ(bitmap.LastStatus(), TGpStatus::Ok);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            TArgb color = 0xDEADBEEF;
            ASSERT_EQ(bitmap.PixelAt(x, y, color), TGpStatus::Ok);
            EXPECT_EQ(color, 0u) << x << "," << y;
        }
}

TEST(GpBitmap, RefusesOtherPixelFormatsAndImpossibleSizes)
{
    EXPECT_EQ(TGPBitmap(4, 4, 0x00022009).LastStatus(), TGpStatus::InvalidParameter);
    EXPECT_EQ(TGPBitmap(0, 4).LastStatus(), TGpStatus::InvalidParameter);
    EXPECT_EQ(TGPBitmap(-3, 4).LastStatus(), TGpStatus::InvalidParameter);
    EXPECT_EQ(TGPBitmap(70000, 1).LastStatus(), TGpStatus::ValueOverflow);
    EXPECT_EQ(TGPBitmap(60000, 60000).LastStatus(), TGpStatus::OutOfMemory);
}

TEST(GpBitmap, LastStatusKeepsAFailureThroughLaterSuccesses)
{
    TGPBitmap bitmap(2, 2);
    ASSERT_EQ(bitmap.LastStatus(), TGpStatus::Ok);
    TArgb color = 0;
    EXPECT_EQ(bitmap.PixelAt(5, 0, color), TGpStatus::InvalidParameter);
    EXPECT_EQ(bitmap.PixelAt(1, 1, color), TGpStatus::Ok);
    EXPECT_EQ(bitmap.SetPixelAt(0, 0, 0xFF000000u), TGpStatus::Ok);
    EXPECT_EQ(bitmap.LastStatus(), TGpStatus::InvalidParameter);
    EXPECT_EQ(bitmap.RotateFlip(99), TGpStatus::InvalidParameter);
    EXPECT_EQ(bitmap.LastStatus(), TGpStatus::InvalidParameter);
}

TEST(GpBitmap, AFailedConstructionIsStoredAndLaterOperationsFail)
{
    TGPBitmap bitmap(QByteArray("not an image"));
    EXPECT_EQ(bitmap.LastStatus(), TGpStatus::UnknownImageFormat);
    TArgb color = 0;
    EXPECT_EQ(bitmap.PixelAt(0, 0, color), TGpStatus::InvalidParameter);
    EXPECT_EQ(bitmap.SetPixelAt(0, 0, 1), TGpStatus::InvalidParameter);
    EXPECT_EQ(bitmap.RotateFlip(RotateNoneFlipY), TGpStatus::InvalidParameter);
    EXPECT_EQ(bitmap.LastStatus(), TGpStatus::InvalidParameter);
}

struct PixelCase {
    const char* Name;
    TArgb Color;
};

class GpBitmapPixels : public ::testing::TestWithParam<PixelCase>
{
};

TEST_P(GpBitmapPixels, RoundTripWithoutPremultiplying)
{
    TGPBitmap bitmap(3, 2);
    ASSERT_EQ(bitmap.SetPixelAt(2, 1, GetParam().Color), TGpStatus::Ok);
    TArgb back = 0;
    ASSERT_EQ(bitmap.PixelAt(2, 1, back), TGpStatus::Ok);
    EXPECT_EQ(back, GetParam().Color);
    EXPECT_EQ(bitmap.Image().pixel(2, 1), GetParam().Color);
}

INSTANTIATE_TEST_SUITE_P(Cases, GpBitmapPixels,
                         ::testing::Values(PixelCase{"alpha_1_colour_200_100_50", MakeArgb(1, 200, 100, 50)},
                                           PixelCase{"alpha_0_with_colour", MakeArgb(0, 9, 8, 7)},
                                           PixelCase{"half_alpha", MakeArgb(0x80, 0x12, 0x34, 0x56)},
                                           PixelCase{"opaque_white", 0xFFFFFFFFu}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST(GpBitmap, OutOfRangePixelsAreRefusedAndLeaveTheResultAlone)
{
    TGPBitmap bitmap(3, 2);
    for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {3, 0}, {0, 2}}) {
        TArgb color = 0x12345678;
        EXPECT_EQ(bitmap.PixelAt(x, y, color), TGpStatus::InvalidParameter);
        EXPECT_EQ(color, 0x12345678u);
        EXPECT_EQ(bitmap.SetPixelAt(x, y, 0xFFFFFFFF), TGpStatus::InvalidParameter);
    }
}

struct FlipCase {
    const char* Name;
    int Type;
    QSize Size;
    QPoint WhereTopLeftGoes;
};

class GpBitmapRotateFlip : public ::testing::TestWithParam<FlipCase>
{
};

TEST_P(GpBitmapRotateFlip, MovesTheCornerPixelWhereExpected)
{
    // 3 wide, 2 high; only the top-left pixel is marked.
    TGPBitmap bitmap(3, 2);
    ASSERT_EQ(bitmap.SetPixelAt(0, 0, 0xFF112233u), TGpStatus::Ok);
    ASSERT_EQ(bitmap.RotateFlip(GetParam().Type), TGpStatus::Ok);
    ASSERT_EQ(QSize(int(bitmap.QueryWidth()), int(bitmap.QueryHeight())), GetParam().Size);
    EXPECT_EQ(bitmap.Image().format(), QImage::Format_ARGB32);
    for (int y = 0; y < GetParam().Size.height(); ++y)
        for (int x = 0; x < GetParam().Size.width(); ++x) {
            TArgb color = 0;
            ASSERT_EQ(bitmap.PixelAt(x, y, color), TGpStatus::Ok);
            EXPECT_EQ(color, QPoint(x, y) == GetParam().WhereTopLeftGoes ? 0xFF112233u : 0u) << x << "," << y;
        }
}

INSTANTIATE_TEST_SUITE_P(
    Types, GpBitmapRotateFlip,
    ::testing::Values(FlipCase{"none", RotateNoneFlipNone, {3, 2}, {0, 0}},
                      FlipCase{"quarter_turn_clockwise", Rotate90FlipNone, {2, 3}, {1, 0}},
                      FlipCase{"half_turn", Rotate180FlipNone, {3, 2}, {2, 1}},
                      FlipCase{"three_quarter_turn", Rotate270FlipNone, {2, 3}, {0, 2}},
                      FlipCase{"mirror_left_right", RotateNoneFlipX, {3, 2}, {2, 0}},
                      FlipCase{"quarter_turn_then_mirror", Rotate90FlipX, {2, 3}, {0, 0}},
                      FlipCase{"upside_down", RotateNoneFlipY, {3, 2}, {0, 1}},
                      FlipCase{"three_quarter_then_mirror", Rotate270FlipX, {2, 3}, {1, 2}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(GpBitmap, FlipYPutsTheBottomRowFirst)
{
    TGPBitmap bitmap(Encode(Quadrants(4, 4), "png"));
    ASSERT_EQ(bitmap.RotateFlip(RotateNoneFlipY), TGpStatus::Ok);
    TArgb color = 0;
    ASSERT_EQ(bitmap.PixelAt(0, 0, color), TGpStatus::Ok);
    EXPECT_EQ(color, 0xFF00FF00u); // was bottom-left
    ASSERT_EQ(bitmap.PixelAt(3, 3, color), TGpStatus::Ok);
    EXPECT_EQ(color, 0xFF0000FFu); // was top-right
}

TEST(GpGraphics, DrawImageAtBlendsSourceOverTheBitmap)
{
    TGPBitmap target(4, 4);
    target.Image().fill(QColor(0, 0, 255)); // opaque blue
    TGPBitmap source(2, 2);
    ASSERT_EQ(source.SetPixelAt(0, 0, MakeArgb(128, 255, 0, 0)), TGpStatus::Ok);
    ASSERT_EQ(source.SetPixelAt(1, 0, MakeArgb(255, 0, 255, 0)), TGpStatus::Ok);
    // (0,1) stays fully transparent; (1,1) half-transparent on a transparent target pixel below.
    ASSERT_EQ(source.SetPixelAt(1, 1, MakeArgb(128, 255, 255, 255)), TGpStatus::Ok);
    ASSERT_EQ(target.SetPixelAt(3, 3, 0), TGpStatus::Ok);
    {
        TGPGraphics graphics(&target);
        ASSERT_EQ(graphics.LastStatus(), TGpStatus::Ok);
        EXPECT_EQ(graphics.DrawImageAt(&source, 2, 2), TGpStatus::Ok);
    }
    TArgb color = 0;
    target.PixelAt(2, 2, color); // half red over blue
    EXPECT_EQ(ArgbAlpha(color), 255);
    EXPECT_NEAR(ArgbRed(color), 128, 2);
    EXPECT_NEAR(ArgbBlue(color), 127, 2);
    target.PixelAt(3, 2, color); // opaque green replaces
    EXPECT_EQ(color, 0xFF00FF00u);
    target.PixelAt(2, 3, color); // transparent source leaves blue
    EXPECT_EQ(color, 0xFF0000FFu);
    target.PixelAt(3, 3, color); // half white over nothing stays half white
    EXPECT_NEAR(ArgbAlpha(color), 128, 1);
    EXPECT_NEAR(ArgbRed(color), 255, 2);
    target.PixelAt(1, 1, color); // outside the drawn area
    EXPECT_EQ(color, 0xFF0000FFu);
}

TEST(GpGraphics, DrawImageInRectScalesIntoTheRectangle)
{
    TGPBitmap target(8, 8);
    TGPBitmap source(2, 2);
    source.Image().fill(QColor(10, 20, 30));
    {
        TGPGraphics graphics(&target);
        EXPECT_EQ(graphics.DrawImageInRect(&source, 2, 2, 4, 4), TGpStatus::Ok);
    }
    TArgb inside = 0, outside = 0;
    target.PixelAt(5, 5, inside);
    target.PixelAt(6, 6, outside);
    EXPECT_EQ(inside, 0xFF0A141Eu);
    EXPECT_EQ(outside, 0u);
}

TEST(GpGraphics, DrawsThroughSomeoneElsesPainterAndLeavesItsStateAlone)
{
    QImage device(4, 4, QImage::Format_ARGB32);
    device.fill(Qt::white);
    QPainter painter(&device);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    TGPBitmap source(1, 1);
    source.SetPixelAt(0, 0, MakeArgb(0, 0, 0, 0));
    {
        TGPGraphics graphics(&painter);
        ASSERT_EQ(graphics.LastStatus(), TGpStatus::Ok);
        EXPECT_EQ(graphics.DrawImageAt(&source, 1, 1), TGpStatus::Ok);
    }
    EXPECT_EQ(painter.compositionMode(), QPainter::CompositionMode_Source);
    painter.end();
    EXPECT_EQ(device.pixel(1, 1), 0xFFFFFFFFu); // blended, not copied
}

TEST(GpGraphics, MissingSurfaceOrImageGivesErrorsThatAreKept)
{
    TGPGraphics noBitmap(static_cast<TGPBitmap*>(nullptr));
    EXPECT_EQ(noBitmap.LastStatus(), TGpStatus::InvalidParameter);
    TGPBitmap source(1, 1);
    EXPECT_EQ(noBitmap.DrawImageAt(&source, 0, 0), TGpStatus::InvalidParameter);

    TGPGraphics noPainter(static_cast<QPainter*>(nullptr));
    EXPECT_EQ(noPainter.LastStatus(), TGpStatus::InvalidParameter);

    TGPBitmap target(2, 2);
    TGPGraphics graphics(&target);
    ASSERT_EQ(graphics.LastStatus(), TGpStatus::Ok);
    EXPECT_EQ(graphics.DrawImageAt(nullptr, 0, 0), TGpStatus::InvalidParameter);
    TGPBitmap broken(QByteArray("junk"));
    EXPECT_EQ(graphics.DrawImageInRect(&broken, 0, 0, 2, 2), TGpStatus::InvalidParameter);
    EXPECT_EQ(graphics.DrawImageAt(&source, 0, 0), TGpStatus::Ok);
    EXPECT_EQ(graphics.LastStatus(), TGpStatus::InvalidParameter);
}
