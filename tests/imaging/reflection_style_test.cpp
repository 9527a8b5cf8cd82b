#include "imaging/reflection/reflection_style.h"

#include "imaging/reflection/reflection_block.h"
#include "imaging/reflection/reflection_builder.h"
#include "tests/support/image_test_helpers.h"
#include "tests/support/naive_reflection.h"
#include "tests/support/test_data.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace
{
// Opaque black on the left half, opaque white on the right.
QImage SharpEdge(int Width, int Height)
{
    QImage image(Width, Height, QImage::Format_ARGB32);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            image.setPixel(x, y, x < Width / 2 ? 0xFF000000u : 0xFFFFFFFFu);
    return image;
}

// Columns of a row that are neither the black nor the white side: how far
// the blur has spread the edge.
int EdgeSpread(const QImage& Reflection, int Row)
{
    int spread = 0;
    for (int x = 0; x < Reflection.width(); ++x) {
        const int grey = qGreen(Reflection.pixel(x, Row));
        spread += grey > 2 && grey < 253;
    }
    return spread;
}

// Opaque rows whose grey level is the row number.
QImage GreyRamp(int Height)
{
    QImage image(4, Height, QImage::Format_ARGB32);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < 4; ++x)
            image.setPixel(x, y, qRgba(y % 256, y % 256, y % 256, 255));
    return image;
}

// Unfaded, so that the pixels show the style alone.
TReflectionParameters Unfaded(int Size, int Blur, int Scale)
{
    return {.Size = Size, .OpacityStart = 255, .OpacityEnd = 255, .Blur = Blur, .Scale = Scale};
}
} // namespace

struct NeutralCase {
    const char* Name;
    const char* File;
    int Size, Start, End;
};

class NeutralStyle : public ::testing::TestWithParam<NeutralCase>
{
};

// The style's own road, with blur 0 and scale 100, is the classic fade.
TEST_P(NeutralStyle, GivesTheClassicFadeOnReferencePictures)
{
    const NeutralCase& c = GetParam();
    const QImage picture = LoadTestImage(QString::fromLatin1(c.File));
    const TReflectionParameters parameters{.Size = c.Size, .OpacityStart = c.Start, .OpacityEnd = c.End};
    ASSERT_FALSE(HasReflectionStyle(parameters));
    // Only the rows that can show: below the size the classic fade keeps the
    // colour of pixels it made fully transparent, the style does not.
    const QRect shown(0, 0, picture.width(), std::min(c.Size, picture.height()));
    ExpectSameBits(BuildStyledReflection(picture, parameters, shown),
                   NaiveReflection(picture, c.Size, c.Start, c.End).copy(shown));
}

INSTANTIATE_TEST_SUITE_P(
    ReferencePictures, NeutralStyle,
    ::testing::Values(NeutralCase{"photo", "photo-opaque-320x240.jpg", 100, 255, 0},
                      NeutralCase{"soft_edges", "soft-edges-rgba-200x150.png", 50, 120, 1},
                      NeutralCase{"rounded_beyond_height", "rounded-rgba-130x110.png", 300, 10, 250},
                      NeutralCase{"markup_styles", "markup/styles.png", 20, 128, 0},
                      NeutralCase{"one_row", "rounded-rgba-130x110.png", 1, 255, 255}),
    CaseName<NeutralCase>);

struct SpreadCase {
    const char* Name;
    int Blur, Scale;
};

class BlurSpread : public ::testing::TestWithParam<SpreadCase>
{
};

TEST_P(BlurSpread, WidensRowByRowFromASharpFirstRow)
{
    const SpreadCase& c = GetParam();
    const QImage reflection = BuildReflectionImage(SharpEdge(160, 120), Unfaded(1000, c.Blur, c.Scale));
    ASSERT_FALSE(reflection.isNull());
    EXPECT_EQ(EdgeSpread(reflection, 0), 0) << "the first row is not blurred";
    int previous = 0;
    for (int y = 1; y < reflection.height(); ++y) {
        const int spread = EdgeSpread(reflection, y);
        ASSERT_GE(spread, previous) << "row " << y;
        previous = spread;
    }
    // Three boxes of half-width Blur / 3 reach about Blur on each side.
    EXPECT_GE(previous, c.Blur / 2) << "the last row";
    EXPECT_LE(previous, 2 * c.Blur + 2) << "the last row";
}

INSTANTIATE_TEST_SUITE_P(Blurs, BlurSpread,
                         ::testing::Values(SpreadCase{"slight", 4, 100}, SpreadCase{"medium", 20, 100},
                                           SpreadCase{"strongest", 100, 100},
                                           SpreadCase{"squashed_by_half", 20, 50},
                                           SpreadCase{"squashed_most", 30, 10}),
                         CaseName<SpreadCase>);

struct TransparencyCase {
    const char* Name;
    int Blur, Scale;
};

class BlurOverTransparency : public ::testing::TestWithParam<TransparencyCase>
{
};

// Transparent pixels that hold red beside opaque and half-transparent blue
// ones: a blurred or squashed mirror shows blue only, never a red tint.
TEST_P(BlurOverTransparency, TakesNoColourFromTransparentPixels)
{
    QImage picture(90, 60, QImage::Format_ARGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y,
                             (x / 10 + y / 10) % 2 ? 0x00FF0000u : (x < 45 ? 0xFF0000FFu : 0x400000FFu));
    const TransparencyCase& c = GetParam();
    const QImage reflection = BuildReflectionImage(picture, Unfaded(60, c.Blur, c.Scale));
    int visible = 0;
    for (int y = 0; y < reflection.height(); ++y)
        for (int x = 0; x < reflection.width(); ++x) {
            const QRgb pixel = reflection.pixel(x, y);
            if (qAlpha(pixel) == 0)
                continue;
            ++visible;
            ASSERT_EQ(pixel & 0x00FFFFFFu, 0x0000FFu) << "at " << x << ", " << y;
        }
    EXPECT_GT(visible, 0);
}

INSTANTIATE_TEST_SUITE_P(Styles, BlurOverTransparency,
                         ::testing::Values(TransparencyCase{"blur", 30, 100},
                                           TransparencyCase{"squash", 0, 35},
                                           TransparencyCase{"blur_and_squash", 12, 50}),
                         CaseName<TransparencyCase>);

struct SquashCase {
    const char* Name;
    int Height, Size, Scale;
    int ExpectedRows, ExpectedVisible;
};

class Squash : public ::testing::TestWithParam<SquashCase>
{
};

TEST_P(Squash, KeepsThatShareOfTheMirrorsRows)
{
    const SquashCase& c = GetParam();
    const TReflectionParameters parameters = Unfaded(c.Size, 0, c.Scale);
    const QImage reflection = BuildReflectionImage(GreyRamp(c.Height), parameters);
    ASSERT_EQ(reflection.height(), c.ExpectedRows);
    EXPECT_EQ(VisibleReflectionRows(c.Height, parameters), c.ExpectedVisible);
    // Each squashed row averages the mirror rows it covers: its grey is the
    // mean of their row numbers, and rows beyond the size are transparent.
    const double rowsPerRow = double(c.Height) / c.ExpectedRows;
    for (int y = 0; y < reflection.height(); ++y) {
        const QRgb pixel = reflection.pixel(1, y);
        if (y >= c.ExpectedVisible) {
            EXPECT_EQ(qAlpha(pixel), 0) << "row " << y;
            continue;
        }
        const double centre = (y + 0.5) * rowsPerRow - 0.5; // in mirror rows
        EXPECT_NEAR(qGreen(pixel), c.Height - 1 - centre, 0.51) << "row " << y;
        EXPECT_EQ(qAlpha(pixel), 255) << "row " << y;
    }
}

INSTANTIATE_TEST_SUITE_P(Scales, Squash,
                         ::testing::Values(SquashCase{"half", 100, 100, 50, 50, 50},
                                           SquashCase{"half_of_odd_rounds_up", 101, 200, 50, 51, 51},
                                           SquashCase{"a_quarter", 200, 30, 25, 50, 30},
                                           SquashCase{"a_tenth_keeps_one_row", 7, 10, 10, 1, 1},
                                           SquashCase{"not_squashed", 60, 40, 100, 60, 40}),
                         CaseName<SquashCase>);

struct BlockCase {
    const char* Name;
    TReflectionParameters Parameters;
    QRect Area;
};

class StyledBlock : public ::testing::TestWithParam<BlockCase>
{
};

// What the screen builds of a part of the reflection is that part of the
// whole: the window shows what is saved.
TEST_P(StyledBlock, EqualsThatPartOfTheWholeReflection)
{
    const BlockCase& c = GetParam();
    const QImage picture = LoadTestImage(QStringLiteral("soft-edges-rgba-200x150.png"));
    const QImage whole = BuildReflectionImage(picture, c.Parameters);
    const QRect area = c.Area.intersected(
        QRect(0, 0, picture.width(), SquashedMirrorHeight(picture.height(), c.Parameters)));
    const QImage block = BuildReflectionBlock(picture, c.Parameters, c.Area);
    const QImage expected = whole.copy(area).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    ASSERT_EQ(block.size(), expected.size());
    ASSERT_EQ(block.format(), expected.format());
    for (int y = 0; y < block.height(); ++y)
        for (int x = 0; x < block.width(); ++x)
            ASSERT_EQ(block.pixel(x, y), expected.pixel(x, y)) << "at " << x << ", " << y;
}

INSTANTIATE_TEST_SUITE_P(
    Areas, StyledBlock,
    ::testing::Values(BlockCase{"inner_part",
                                {.Size = 150, .OpacityStart = 200, .OpacityEnd = 10, .Blur = 25},
                                {60, 40, 50, 70}},
                      BlockCase{"left_edge",
                                {.Size = 120, .OpacityStart = 255, .OpacityEnd = 0, .Blur = 9},
                                {0, 80, 30, 40}},
                      BlockCase{"squashed_bottom_cut",
                                {.Size = 300, .OpacityStart = 255, .OpacityEnd = 60, .Blur = 40, .Scale = 40},
                                {100, 30, 150, 100}},
                      BlockCase{"one_row",
                                {.Size = 90, .OpacityStart = 255, .OpacityEnd = 0, .Blur = 100, .Scale = 70},
                                {7, 61, 120, 1}}),
    CaseName<BlockCase>);

TEST(MirrorRowsNeeded, CoverTheBlurAndTheSquashAndNothingBeyondTheVisibleRows)
{
    // 100 rows squashed to 50, 40 visible; blur 6 at most: half-width 2, margin 9.
    const TReflectionParameters parameters = Unfaded(40, 6, 50);
    EXPECT_EQ(MirrorRowsNeeded(100, parameters, {10, 20}), (TLineSpan{2, 58}));
    EXPECT_EQ(MirrorRowsNeeded(100, parameters, {35, 60}), (TLineSpan{52, 80}));
    EXPECT_TRUE(MirrorRowsNeeded(100, parameters, {40, 50}).IsEmpty());
    EXPECT_EQ(MirrorRowsNeeded(100, Unfaded(40, 0, 100), {10, 20}), (TLineSpan{10, 20}));
}
