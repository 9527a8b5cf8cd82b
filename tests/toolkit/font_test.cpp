#include "toolkit/graphics/font.h"

#include "toolkit/graphics/brush.h"
#include "toolkit/graphics/pen.h"

#include "tests/support/test_names.h"

#include <QFontMetrics>
#include <QMetaEnum>
#include <QMetaProperty>
#include <QStringList>
#include <gtest/gtest.h>

namespace
{

QStringList PropertyNames(const QMetaObject& Meta)
{
    QStringList names;
    for (int i = Meta.propertyOffset(); i < Meta.propertyCount(); ++i)
        names << QString::fromLatin1(Meta.property(i).name());
    return names;
}

TEST(FontDefaults, AreTheWindowFont)
{
    TFont font;
    EXPECT_EQ(font.Name(), QStringLiteral("Tahoma"));
    EXPECT_EQ(font.Height(), -11);
    EXPECT_EQ(font.Size(), 8);
    EXPECT_EQ(font.Charset(), 1);
    EXPECT_EQ(font.Color(), clWindowText);
    EXPECT_EQ(font.Style(), TFont::TFontStyles());
}

struct SizeCase {
    int Size, Height;
};

class FontSize : public ::testing::TestWithParam<SizeCase>
{
};

TEST_P(FontSize, SetsTheHeightAt96PixelsPerInch)
{
    TFont font;
    font.SetSize(GetParam().Size);
    EXPECT_EQ(font.Height(), GetParam().Height);
    EXPECT_EQ(font.Size(), GetParam().Size);
}

INSTANTIATE_TEST_SUITE_P(Points, FontSize,
                         ::testing::Values(SizeCase{8, -11}, SizeCase{9, -12}, SizeCase{10, -13},
                                           SizeCase{12, -16}, SizeCase{24, -32}, SizeCase{72, -96}),
                         [](const ::testing::TestParamInfo<SizeCase>& Info) {
                             return "points_" + TestNameOf(Info.param.Size);
                         });

struct HeightCase {
    int Height, Size;
};

class FontHeight : public ::testing::TestWithParam<HeightCase>
{
};

TEST_P(FontHeight, GivesTheRoundedSize)
{
    TFont font;
    font.SetHeight(GetParam().Height);
    EXPECT_EQ(font.Size(), GetParam().Size);
}

INSTANTIATE_TEST_SUITE_P(Pixels, FontHeight,
                         ::testing::Values(HeightCase{-13, 10}, HeightCase{-14, 11}, HeightCase{-15, 11},
                                           HeightCase{-20, 15}, HeightCase{16, -12}),
                         [](const ::testing::TestParamInfo<HeightCase>& Info) {
                             return "height_" + TestNameOf(Info.param.Height);
                         });

TEST(FontChange, FiresOncePerRealChange)
{
    TFont font;
    int changes = 0;
    font.OnChange = [&changes](TFont*) { ++changes; };
    font.SetSize(8); // already -11
    font.SetColor(clWindowText);
    EXPECT_EQ(changes, 0);
    font.SetSize(12);
    font.SetStyle(TFont::fsBold | TFont::fsItalic);
    font.SetName(QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(changes, 3);
    TFont copy;
    int copyChanges = 0;
    copy.OnChange = [&copyChanges](TFont*) { ++copyChanges; };
    copy.CopyFrom(&font);
    EXPECT_EQ(copyChanges, 1);
    EXPECT_TRUE(copy == font);
}

TEST(FontQFont, IsPixelSizedWithTheStyle)
{
    RegisterTahomaFont();
    TFont font;
    font.SetStyle(TFont::fsBold | TFont::fsUnderline | TFont::fsStrikeOut);
    const QFont q = font.ToQFont();
    EXPECT_EQ(q.pixelSize(), 11);
    EXPECT_TRUE(q.bold());
    EXPECT_FALSE(q.italic());
    EXPECT_TRUE(q.underline());
    EXPECT_TRUE(q.strikeOut());
    EXPECT_EQ(q.family(), QStringLiteral("Tahoma"));
}

TEST(FontQFont, PositiveHeightIsTheCellHeight)
{
    TFont font;
    font.SetName(QStringLiteral("DejaVu Sans"));
    font.SetHeight(30);
    const QFontMetrics metrics(font.ToQFont());
    EXPECT_NEAR(metrics.ascent() + metrics.descent(), 30, 1);
    EXPECT_LT(font.ToQFont().pixelSize(), 30);
}

TEST(FontProperties, ArePublishedInOrderWithNamedStyles)
{
    EXPECT_EQ(PropertyNames(TFont::staticMetaObject),
              (QStringList{"Charset", "Color", "Height", "Name", "Size", "Style"}));
    EXPECT_EQ(PropertyNames(TPen::staticMetaObject), (QStringList{"Color", "Style", "Width"}));
    EXPECT_EQ(PropertyNames(TBrush::staticMetaObject), (QStringList{"Color", "Style"}));
    const QMetaProperty style =
        TFont::staticMetaObject.property(TFont::staticMetaObject.indexOfProperty("Style"));
    ASSERT_TRUE(style.isFlagType());
    EXPECT_EQ(QByteArray(style.enumerator().valueToKeys(TFont::fsBold | TFont::fsStrikeOut)),
              QByteArray("fsBold|fsStrikeOut"));
    EXPECT_FALSE(
        TFont::staticMetaObject.property(TFont::staticMetaObject.indexOfProperty("Size")).isStored());
    const QMetaProperty penStyle =
        TPen::staticMetaObject.property(TPen::staticMetaObject.indexOfProperty("Style"));
    ASSERT_TRUE(penStyle.isEnumType());
    EXPECT_EQ(QByteArray(penStyle.enumerator().valueToKey(TPen::psDashDot)), QByteArray("psDashDot"));
}

TEST(BrushColour, NoneMakesItClearAndAColourSolid)
{
    TBrush brush;
    int changes = 0;
    brush.OnChange = [&changes](TBrush*) { ++changes; };
    brush.SetColor(clNone);
    EXPECT_EQ(brush.Style(), TBrush::bsClear);
    EXPECT_FALSE(brush.IsSolid());
    brush.SetColor(clBlue);
    EXPECT_EQ(brush.Style(), TBrush::bsSolid);
    EXPECT_TRUE(brush.IsSolid());
    EXPECT_EQ(changes, 2);
}

} // namespace

namespace
{

// The layout reader sets properties through the meta-object with plain
// integers and identifiers; the properties must accept them.
TEST(FontProperties, AcceptValuesThroughTheMetaObject)
{
    TFont font;
    EXPECT_TRUE(font.setProperty("Color", QVariant::fromValue<int>(clRed)));
    EXPECT_EQ(font.Color(), clRed);
    EXPECT_TRUE(font.setProperty("Style", QVariant::fromValue(TFont::TFontStyles(TFont::fsItalic))));
    EXPECT_EQ(font.Style(), TFont::TFontStyles(TFont::fsItalic));
    EXPECT_TRUE(font.setProperty("Size", 12));
    EXPECT_EQ(font.property("Height").toInt(), -16);
    TPen pen;
    EXPECT_TRUE(pen.setProperty("Style", QVariant::fromValue(TPen::psDot)));
    EXPECT_EQ(pen.Style(), TPen::psDot);
    TBrush brush;
    EXPECT_TRUE(brush.setProperty("Style", QStringLiteral("bsClear")));
    EXPECT_EQ(brush.Style(), TBrush::bsClear);
}

} // namespace
