#include "toolkit/graphics/color.h"

#include <gtest/gtest.h>

TEST(Color, ExplicitColoursKeepTheirLowBytesAndSystemColoursResolve)
{
    EXPECT_EQ(ColorToRGB(clRed), 0x0000FF);
    EXPECT_EQ(ColorToRGB(clWindow), 0xFFFFFF);
    EXPECT_EQ(ColorToRGB(clWindowText), 0x000000);
    EXPECT_EQ(ColorToQColor(clBlue), QColor(0, 0, 255));
    EXPECT_EQ(ColorToQColor(RGBToColor(0x12, 0x34, 0x56)), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(ColorToQColor(clNone).alpha(), 0);
}
