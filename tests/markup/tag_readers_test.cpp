#include "markup/tag_readers.h"

#include "tests/markup/qstring_printer.h"

#include <gtest/gtest.h>

namespace
{

struct TFontCase {
    const char* Name;
    QString Markup;
    std::optional<QString> Face;
    std::optional<TColor> Color;
    bool HasBackground;
    std::optional<TColor> Background;
    std::optional<int> Size;
};

TEST(ReadFontTag, ReadsFaceColourBackgroundAndSize)
{
    const TFontCase cases[] = {
        {"face upper-cased", "<FONT FACE=\"Tahoma\">", "TAHOMA", {}, false, {}, {}},
        {"lower-case hex digits give green through the tag",
         "<FONT COLOR=\"#00ff00\">",
         {},
         clLime,
         false,
         {},
         {}},
        {"mixed-case colour name", "<FONT COLOR=\"clRed\">", {}, clRed, false, {}, {}},
        {"upper-case colour name", "<font color=\"CLRED\">", {}, clRed, false, {}, {}},
        {"web colour name", "<FONT COLOR=\"red\">", {}, clRed, false, {}, {}},
        {"web colour name as background", "<font bgcolor=\"Orange\">", {}, {}, true, TColor(0x00A5FF), {}},
        {"unknown colour name is black", "<FONT COLOR=\"reddish\">", {}, clBlack, false, {}, {}},
        {"empty colour leaves the font colour", "<FONT COLOR=\"\">", {}, {}, false, {}, {}},
        {"BGCOLOR is not the text colour", "<FONT BGCOLOR=\"clYellow\">", {}, {}, true, clYellow, {}},
        {"empty background still saves the brush", "<FONT BGCOLOR=\"\">", {}, {}, true, {}, {}},
        {"both colours", "<FONT BGCOLOR=\"#0000FF\" COLOR=\"#FF0000\">", {}, clRed, true, clBlue, {}},
        {"SIZE 7 gives 7 points", "<FONT SIZE=\"7\">", {}, {}, false, {}, 7},
        {"SIZE 3 gives 12 points", "<FONT SIZE=3>", {}, {}, false, {}, 12},
        {"SIZE 0 gives 0", "<FONT SIZE=\"0\">", {}, {}, false, {}, 0},
        {"the first five characters are not searched", "<F COLOR=\"clRed\">", {}, {}, false, {}, {}},
        {"attributes after the tag do not count", "<FONT>x COLOR=\"clRed\"", {}, {}, false, {}, {}},
    };
    for (const TFontCase& c : cases) {
        const TFontTag tag = ReadFontTag(c.Markup);
        EXPECT_EQ(tag.Face, c.Face) << c.Name;
        EXPECT_EQ(tag.Color, c.Color) << c.Name;
        EXPECT_EQ(tag.HasBackground, c.HasBackground) << c.Name;
        EXPECT_EQ(tag.Background, c.Background) << c.Name;
        EXPECT_EQ(tag.Size, c.Size) << c.Name;
    }
}

struct TParagraphCase {
    const char* Name;
    QString Markup;
    std::optional<TParagraphAlignment> Alignment;
    std::optional<int> Indent;
    bool HasBackground;
    TColor From;
    bool HasGradient;
    TColor To;
};

TEST(ReadParagraphTag, ReadsAlignmentIndentAndBackground)
{
    using A = TParagraphAlignment;
    const TParagraphCase cases[] = {
        {"right", "<P ALIGN=\"right\">", A::Right, {}, false, clNone, false, clNone},
        {"center", "<P align=\"center\">", A::Center, {}, false, clNone, false, clNone},
        {"left", "<P ALIGN=\"LEFT\">", A::Left, {}, false, clNone, false, clNone},
        {"later match overrides", "<P ALIGN=\"rightcenter\">", A::Center, {}, false, clNone, false, clNone},
        {"left overrides right", "<P ALIGN=\"right-left\">", A::Left, {}, false, clNone, false, clNone},
        {"unknown alignment changes nothing", "<P ALIGN=\"justify\">", {}, {}, false, clNone, false, clNone},
        {"indent", "<P INDENT=\"24\">", {}, 24, false, clNone, false, clNone},
        {"indent not a number", "<P INDENT=\"wide\">", {}, 0, false, clNone, false, clNone},
        {"background", "<P BGCOLOR=\"clAqua\">", {}, {}, true, clAqua, false, clNone},
        {"empty background is none", "<P BGCOLOR=\"\">", {}, {}, true, clNone, false, clNone},
        {"gradient", "<P BGCOLOR=\"#FF0000\" BGCOLORTO=\"#0000FF\">", {}, {}, true, clRed, true, clBlue},
        {"BGCOLORTO before BGCOLOR gives its colour to both",
         "<P BGCOLORTO=\"#0000FF\" BGCOLOR=\"#FF0000\">",
         {},
         {},
         true,
         clBlue,
         true,
         clBlue},
    };
    for (const TParagraphCase& c : cases) {
        const TParagraphTag tag = ReadParagraphTag(c.Markup);
        EXPECT_EQ(tag.Alignment, c.Alignment) << c.Name;
        EXPECT_EQ(tag.Indent, c.Indent) << c.Name;
        EXPECT_EQ(tag.HasBackground, c.HasBackground) << c.Name;
        EXPECT_EQ(tag.BackgroundFrom, c.From) << c.Name;
        EXPECT_EQ(tag.HasGradient, c.HasGradient) << c.Name;
        EXPECT_EQ(tag.BackgroundTo, c.To) << c.Name;
    }
}

TEST(ReadBodyTag, ReadsPicturesColoursAndDirection)
{
    const TBodyTag pictures =
        ReadBodyTag("<BODY BACKGROUND=\"tile\" BGTOPLEFT=\"idx:1\" BGTOPRIGHT=\"Logo\">text");
    // Picture names keep their case: they may be paths.
    EXPECT_EQ(pictures.Background, QString("tile"));
    EXPECT_EQ(pictures.TopLeft, QString("idx:1"));
    EXPECT_EQ(pictures.TopRight, QString("Logo"));
    EXPECT_FALSE(pictures.HasBackground);

    const TBodyTag horizontal = ReadBodyTag("<BODY BGCOLOR=\"clWhite\" BGCOLORTO=\"clNavy\">");
    EXPECT_TRUE(horizontal.HasBackground);
    EXPECT_EQ(horizontal.BackgroundFrom, clWhite);
    EXPECT_TRUE(horizontal.HasGradient);
    EXPECT_EQ(horizontal.BackgroundTo, clNavy);
    EXPECT_FALSE(horizontal.VerticalGradient);

    EXPECT_FALSE(ReadBodyTag("<BODY BGCOLOR=\"clWhite\" BGCOLORTO=\"clNavy\" DIR=\"h\">").VerticalGradient);
    EXPECT_TRUE(ReadBodyTag("<BODY BGCOLOR=\"clWhite\" BGCOLORTO=\"clNavy\" DIR=\"V\">").VerticalGradient);
    EXPECT_TRUE(ReadBodyTag("<BODY BGCOLOR=\"clWhite\" DIR=\"\">").VerticalGradient);

    // A start tag named BOLD is the body tag: without background attributes
    // it carries nothing.
    const TBodyTag bold = ReadBodyTag("<BOLD>text</BOLD>");
    EXPECT_FALSE(bold.Background || bold.TopLeft || bold.TopRight || bold.HasBackground || bold.HasGradient);
}

TEST(ReadImageTag, ReadsSourceSizeAlignmentAndWrap)
{
    const TImageTag image = ReadImageTag(
        "<IMG SRC=\"file:///Pics/Logo.png\" ALT=\"hover\" WIDTH=\"32\" HEIGHT=\"16\" ALIGN=\"top\">");
    EXPECT_EQ(image.Source, "file:///Pics/Logo.png");
    EXPECT_EQ(image.Alt, QString("hover"));
    EXPECT_EQ(image.Width, 32);
    EXPECT_EQ(image.Height, 16);
    EXPECT_TRUE(image.AlignTop);
    EXPECT_FALSE(image.AlignMiddle);
    EXPECT_FALSE(image.Wrap);

    const TImageTag middle = ReadImageTag("<IMG SRC=\"idx:2\" ALIGN=\"middle\" WRAP>");
    EXPECT_EQ(middle.Source, "idx:2");
    EXPECT_FALSE(middle.Alt);
    EXPECT_EQ(middle.Width, 0);
    EXPECT_EQ(middle.Height, 0);
    EXPECT_FALSE(middle.AlignTop);
    EXPECT_TRUE(middle.AlignMiddle);
    EXPECT_TRUE(middle.Wrap);

    // Without a double quote directly before TOP the alignment is not read.
    const TImageTag unquoted = ReadImageTag("<IMG SRC=\"a\" ALIGN=top>");
    EXPECT_FALSE(unquoted.AlignTop);
    EXPECT_FALSE(unquoted.AlignMiddle);
}

} // namespace
