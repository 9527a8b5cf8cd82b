// "lumivex-cli text" reads colours as the markup names them and the window's
// two picture choices as options.
#include "cli/text_options.h"

#include <gtest/gtest.h>

namespace
{
struct ColourCase {
    const char* Name;
    const char* Text;
    bool Known;
    TColor Expected; // red in the low byte
};

TEST(TextColourOption, ReadsTheMarkupsNamesInAnyCaseAndHexTriples)
{
    const ColourCase cases[] = {
        {"web name", "red", true, clRed},
        {"web name in mixed case", "RebeccaPurple", true, TColor(0x993366)},
        {"web name only the web knows", "darkorange", true, TColor(0x008CFF)},
        {"table name", "clNavy", true, clNavy},
        {"table name without its prefix", "btnface", true, clBtnFace},
        {"black by name", "Black", true, clBlack},
        {"hex triple", "#FF8000", true, TColor(0x0080FF)},
        {"lower-case hex triple", "#ff8000", true, TColor(0x0080FF)},
        {"unknown name", "reddish", false, {}},
        {"short hex", "#12345", false, {}},
        {"not a colour keyword of ours", "transparent", false, {}},
        {"empty", "", false, {}},
    };
    for (const ColourCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TColor colour = clFuchsia;
        EXPECT_EQ(ParseColorOption(QString::fromLatin1(c.Text), colour), c.Known);
        EXPECT_EQ(colour, c.Known ? c.Expected : clFuchsia);
    }
}

struct PictureOptionCase {
    const char* Name;
    QStringList Arguments;
    bool Trim, Transparent;
    TColor Text, Background;
};

TEST(TextPictureOptions, TrimTransparentAndColourNamesReachTheOptions)
{
    const PictureOptionCase cases[] = {
        {"neither", {}, false, false, clWindowText, clWhite},
        {"trimmed", {"--trim"}, true, false, clWindowText, clWhite},
        {"transparent", {"--transparent"}, false, true, clWindowText, clWhite},
        {"both, with web colours",
         {"--transparent", "--trim", "--color", "navy", "--background", "LightYellow"},
         true,
         true,
         clNavy,
         TColor(0xE0FFFF)},
    };
    for (const PictureOptionCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TTextParseResult parsed = ParseTextArguments(
            c.Arguments + QStringList{QStringLiteral("-o"), QStringLiteral("x.png"), "Hi"});
        ASSERT_TRUE(parsed.Error.isEmpty()) << parsed.Error.toStdString();
        EXPECT_EQ(parsed.Options.Trim, c.Trim);
        EXPECT_EQ(parsed.Options.Transparent, c.Transparent);
        EXPECT_EQ(parsed.Options.TextColor, c.Text);
        EXPECT_EQ(parsed.Options.Background, c.Background);
    }
}
} // namespace
