#include "markup/markup_colors.h"

#include "tests/markup/qstring_printer.h"

#include <gtest/gtest.h>

namespace
{

struct TColorCase {
    const char* Name;
    QString Value;
    TColor Expected;
};

TEST(HexMarkupColor, FollowsTheFormulaWithoutValidating)
{
    const TColorCase cases[] = {
        {"red triple", "#FF0000", TColor(0x0000FF)},
        {"blue triple", "#0000FF", TColor(0xFF0000)},
        {"mixed triple", "#123456", TColor(0x563412)},
        {"lower-case green spills into blue", "#00ff00", TColor(0x031F00)},
        {"lower-case red spills into green", "#ff0000", TColor(0x00031F)},
        {"ends after one pair", "#FF", TColor(0x0000FF)},
        {"last pair cut short counts 0", "#FFFFF", TColor(0x00FFFF)},
        {"hash alone", "#", TColor(0)},
        {"letters past F", "#GG0000", TColor(16 * 16 + 16)},
        {"blanks give negative digits", "#  0000", TColor(16 * -16 + -16)},
        {"extra characters ignored", "#0000FF00", TColor(0xFF0000)},
    };
    for (const TColorCase& c : cases)
        EXPECT_EQ(HexMarkupColor(c.Value), c.Expected) << c.Name;
}

TEST(HexMarkupColor, CountsCharactersByTheirCodePage1252Codes)
{
    // The euro sign is 0x80 there, worth 128 - 55 = 73 as a digit; a character
    // the code page lacks counts as "?", worth 63 - 48 = 15.
    const TColorCase cases[] = {
        {"euro signs", QStringLiteral("#\u20AC\u20AC"), TColor(16 * 73 + 73)},
        {"Latin-1 letter", QStringLiteral("#00\u00FF0"), TColor(256 * (16 * 200))},
        {"character outside the code page", QStringLiteral("#0000\uFFFF\u4E00"), TColor(65536 * 255)},
    };
    for (const TColorCase& c : cases)
        EXPECT_EQ(HexMarkupColor(c.Value), c.Expected) << c.Name;
}

TEST(NamedMarkupColor, GivesExplicitAndSystemColours)
{
    const TColorCase cases[] = {
        {"explicit colour, red in the low byte", "clred", 0x0000FF},
        {"navy", "clnavy", 0x800000},
        {"black", "clblack", 0x000000},
        {"first system colour", "clbackground", TColor(0xFF000001)},
        {"three-D name with a digit", "cl3ddkshadow", TColor(0xFF000015)},
        {"last system colour of the table", "clinfobk", TColor(0xFF000018)},
    };
    for (const TColorCase& c : cases)
        EXPECT_EQ(NamedMarkupColor(c.Value), c.Expected) << c.Name;
}

TEST(NamedMarkupColor, MatchesExactlyAndGivesBlackOtherwise)
{
    const TColorCase cases[] = {
        {"upper case is not in the table", "CLRED", clBlack},
        {"unknown web-like name", "reddish", clBlack},
        {"trailing blank", "clred ", clBlack},
        {"empty", "", clBlack},
    };
    for (const TColorCase& c : cases)
        EXPECT_EQ(NamedMarkupColor(c.Value), c.Expected) << c.Name;
}

// The toolkit's table is searched first; the web keywords follow, with red
// in the low byte like every explicit colour.
TEST(NamedMarkupColor, FindsTheWebColourKeywordsAfterTheTable)
{
    const TColorCase cases[] = {
        {"first keyword", "aliceblue", TColor(0xFFF8F0)},
        {"last keyword", "yellowgreen", TColor(0x32CD9A)},
        {"orange", "orange", TColor(0x00A5FF)},
        {"navy agrees with the table's", "navy", clNavy},
        {"grey spelled the British way", "grey", clGray},
        {"newest keyword", "rebeccapurple", TColor(0x993366)},
        {"keyword with the table's prefix", "clorange", clBlack},
        {"keyword run together with another", "redblue", clBlack},
        {"blank inside a keyword", "light blue", clBlack},
    };
    for (const TColorCase& c : cases)
        EXPECT_EQ(NamedMarkupColor(c.Value), c.Expected) << c.Name;
}

TEST(MarkupColor, DispatchesOnTheValue)
{
    const TColorCase cases[] = {
        {"empty gives none", "", clNone},
        {"mixed-case name", "clRed", clRed},
        {"upper-case name", "CLRED", clRed},
        {"web colour name in capitals", "RED", clRed},
        {"web colour name in mixed case", "RebeccaPurple", TColor(0x993366)},
        {"system colour name", "clBtnFace", clBtnFace},
        {"hexadecimal triple", "#00FF00", clLime},
        {"lower-case hexadecimal goes through the formula", "#00ff00", TColor(0x031F00)},
        {"unknown name", "#", TColor(0)},
        {"garbage", "not a colour", clBlack},
    };
    for (const TColorCase& c : cases)
        EXPECT_EQ(MarkupColor(c.Value), c.Expected) << c.Name;
}

} // namespace
