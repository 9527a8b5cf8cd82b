#include "imaging/argb.h"
#include "imaging/gp_status.h"

#include <gtest/gtest.h>

TEST(Argb, PacksAlphaRedGreenBlueFromTheTopByteDown)
{
    constexpr TArgb color = MakeArgb(0x80, 0x12, 0x34, 0x56);
    static_assert(color == 0x80123456u);
    EXPECT_EQ(color, 0x80123456u);
    EXPECT_EQ(ArgbAlpha(color), 0x80);
    EXPECT_EQ(ArgbRed(color), 0x12);
    EXPECT_EQ(ArgbGreen(color), 0x34);
    EXPECT_EQ(ArgbBlue(color), 0x56);
}

TEST(Argb, ExtremesDoNotBleedIntoNeighbouringChannels)
{
    EXPECT_EQ(MakeArgb(0xFF, 0, 0, 0), 0xFF000000u);
    EXPECT_EQ(MakeArgb(0, 0, 0, 0xFF), 0x000000FFu);
    EXPECT_EQ(ArgbRed(0x00FF0000u), 0xFF);
    EXPECT_EQ(ArgbGreen(0x00FF0000u), 0x00);
}

TEST(Argb, ConstantsKeepTheirPublishedValues)
{
    EXPECT_EQ(PixelFormat32bppARGB, 0x0026200Au);
    EXPECT_EQ(RotateNoneFlipY, 6);
    EXPECT_EQ(StatusNumber(TGpStatus::UnknownImageFormat), 13);
    EXPECT_EQ(StatusNumber(TGpStatus::PropertyNotSupported), 20);
}
