#include "markup/gradient_fill.h"
#include "markup/rotated_font.h"
#include "markup/shell_icon_list.h"
#include "markup/shell_icons.h"

#include "tests/support/image_test_helpers.h"
#include "tests/support/test_data.h"
#include "toolkit/graphics/brush.h"
#include "toolkit/graphics/canvas.h"
#include "toolkit/graphics/font.h"

#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

namespace
{
int GreyAt(const QImage& Image, int X, int Y = 0)
{
    const QRgb pixel = Image.pixel(X, Y);
    EXPECT_TRUE(qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel)) << X << "," << Y;
    return qRed(pixel);
}
} // namespace

TEST(GradientFill, BandsStepFromColourToColour)
{
    const struct {
        const char* Name;
        int Extent;
        int Bands;
        bool Horizontal;
        std::vector<int> Expected; // grey per pixel along the gradient
    } cases[] = {
        {"64 bands over 64 pixels", 64, 64, true, {}},
        {"vertical, 4 bands over 8 pixels", 8, 4, false, {0, 0, 64, 64, 128, 128, 191, 191}},
        {"narrower than its bands: the last band at a place wins", 4, 8, true, {32, 64, 159, 191}},
        {"0 bands count as 1", 5, 0, true, {0, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        const QSize size = c.Horizontal ? QSize(c.Extent, 3) : QSize(3, c.Extent);
        QImage image = MakeImage(size.width() + 2, size.height() + 2, 0xFFFF0000u);
        TCanvas canvas(&image);
        GradientFill(canvas, clBlack, clWhite, c.Horizontal, QRect(QPoint(1, 1), size), c.Bands, clNone);
        std::vector<int> expected = c.Expected;
        if (expected.empty())
            for (int i = 0; i < c.Extent; ++i)
                expected.push_back(int(std::lrint(i * 255.0 / 64)));
        for (int i = 0; i < c.Extent; ++i)
            EXPECT_EQ(c.Horizontal ? GreyAt(image, 1 + i, 2) : GreyAt(image, 2, 1 + i),
                      expected[std::size_t(i)])
                << c.Name << " at " << i;
        EXPECT_EQ(ChangedArea(image, 0xFFFF0000u), QRect(QPoint(1, 1), size)) << c.Name;
    }
    // Band 32 of black to white over 64 is 127.5, rounded to the even 128.
    QImage image = MakeImage(64, 1);
    TCanvas canvas(&image);
    GradientFill(canvas, clBlack, clWhite, true, QRect(0, 0, 64, 1), 64, clNone);
    EXPECT_EQ(GreyAt(image, 32), 128);
    EXPECT_EQ(GreyAt(image, 63), 251);
}

TEST(GradientFill, FrameIsOutlinedWithAClearBrush)
{
    QImage image = MakeImage(10, 6);
    TCanvas canvas(&image);
    GradientFill(canvas, clWhite, clWhite, true, QRect(0, 0, 10, 6), 64, clRed);
    EXPECT_EQ(image.pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(image.pixel(9, 5), 0xFFFF0000u);
    EXPECT_EQ(image.pixel(5, 3), 0xFFFFFFFFu);
    EXPECT_FALSE(canvas.Brush()->IsSolid());
}

TEST(ShellIcons, NamesGiveIndicesAndIconsAreDrawnByIndex)
{
    QTemporaryDir dir;
    const QString png = TestDataPath(QStringLiteral("pictures/logo-blue-8x8.png"));
    const struct {
        const char* Name;
        QString Text;
        int Index;
    } cases[] = {
        {"number", "3", ShellIconList::iconFolder},
        {"empty name", "", ShellIconList::iconFile},
        {"existing folder", dir.path(), ShellIconList::iconFolder},
        {"existing file by content", png, ShellIconList::iconImage},
        {"a file type alone", ".txt", ShellIconList::iconText},
        {"a missing file by its name", "/nonexistent/song.mp3", ShellIconList::iconAudio},
        {"unknown kind", "no-such-thing.zz9", ShellIconList::iconFile},
        {"index beyond the list", "999", -1},
    };
    for (const bool large : {false, true}) {
        const int side = large ? 32 : 16;
        for (const auto& c : cases) {
            QImage drawn = MakeImage(40, 40);
            TCanvas canvas(&drawn);
            QSize size;
            DrawShellIcon(canvas, 2, 3, c.Text, large, true, false, 1.0, size);
            EXPECT_EQ(size, QSize(side, side)) << c.Name;
            QImage expected = MakeImage(40, 40);
            if (c.Index >= 0) {
                TCanvas reference(&expected);
                reference.DrawImage(QRect(2, 3, side, side), ShellIconList::Icon(c.Index, large), true);
                ASSERT_FALSE(ChangedArea(expected).isEmpty()) << c.Name;
            }
            EXPECT_EQ(drawn, expected) << c.Name << (large ? " large" : " small");
        }
    }
    // Not drawn: only the size. Scaled: the icon on white, Factor times larger.
    QImage image = MakeImage(40, 40, 0xFF000000u);
    TCanvas canvas(&image);
    QSize size;
    DrawShellIcon(canvas, 0, 0, QStringLiteral("3"), false, false, false, 1.0, size);
    EXPECT_EQ(ChangedArea(image, 0xFF000000u), QRect());
    DrawShellIcon(canvas, 1, 1, QStringLiteral("3"), false, true, true, 1.5, size);
    EXPECT_EQ(ChangedArea(image, 0xFF000000u), QRect(1, 1, 24, 24));
    EXPECT_EQ(size, QSize(16, 16));
}

TEST(RotatedFont, RestoreBringsBackTheFontStateItReplaced)
{
    const struct {
        int Before;
        int Angle;
        int Selected;
    } cases[] = {{0, 90, 900}, {450, 90, 900}, {0, -45, -450}, {0, 450, 900}, {0, 2147483647, 1270}};
    for (const auto& c : cases) {
        QImage image = MakeImage(80, 80);
        TCanvas canvas(&image);
        canvas.Font()->SetHeight(-14);
        canvas.SetTextRotation(c.Before);
        TRotatedFontState saved;
        SelectRotatedFont(canvas, c.Angle, saved);
        EXPECT_EQ(canvas.TextRotation(), c.Selected) << c.Angle;
        EXPECT_EQ(canvas.Font()->Height(), -14);
        RestoreRotatedFont(canvas, saved);
        EXPECT_EQ(canvas.TextRotation(), c.Before) << c.Angle;
        RestoreRotatedFont(canvas, saved); // nothing left to restore
        EXPECT_EQ(canvas.TextRotation(), c.Before) << c.Angle;
    }
}
