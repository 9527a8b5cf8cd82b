#include "markup/tag_attributes.h"

#include "markup/text_helpers.h"

#include "tests/markup/qstring_printer.h"

#include <gtest/gtest.h>

namespace
{

struct TValueCase_ {
    const char* Name;
    QString Attributes;
    QString Attribute;
    TValueCase Case;
    QString Expected;
};

TEST(AttributeValue, TakesTheTextBetweenTheNextTwoQuotes)
{
    const TValueCase_ cases[] = {
        {"quoted value upper-cased", " FACE=\"Arial\"", "FACE", TValueCase::Upper, "ARIAL"},
        {"case kept for sources", " SRC=\"file://C/Pic.png\"", "SRC", TValueCase::AsWritten,
         "file://C/Pic.png"},
        {"name found in any case", " src=\"a.png\"", "SRC", TValueCase::AsWritten, "a.png"},
        {"blanks around the equals sign", " ALIGN = \"right\"", "ALIGN", TValueCase::Upper, "RIGHT"},
        {"unquoted value is empty", " ALIGN=right>", "ALIGN", TValueCase::Upper, ""},
        {"unquoted value reads the next quoted one", " ALIGN=right INDENT=\"5\"", "ALIGN", TValueCase::Upper,
         "5"},
        {"empty quoted value", " COLOR=\"\"", "COLOR", TValueCase::Upper, ""},
        {"one quote only", " COLOR=\"red>", "COLOR", TValueCase::Upper, ""},
        {"absent name", " FACE=\"Arial\"", "COLOR", TValueCase::Upper, ""},
        {"name inside another value wins", " ALT=\"SRC\" SRC=\"b\"", "SRC", TValueCase::AsWritten, " SRC="},
        {"BGCOLOR found inside BGCOLORTO", " BGCOLORTO=\"clBlue\" BGCOLOR=\"clRed\"", "BGCOLOR",
         TValueCase::Upper, "CLBLUE"},
        {"name at the very end", " WIDTH", "WIDTH", TValueCase::Upper, ""},
    };
    for (const TValueCase_& c : cases)
        EXPECT_EQ(AttributeValue(c.Attributes, c.Attribute, c.Case), c.Expected) << c.Name;
}

struct TSizeCase {
    const char* Name;
    QString Attributes;
    std::optional<int> Expected;
};

TEST(SizeAttribute, ReadsQuotedAndUnquotedNumbers)
{
    const TSizeCase cases[] = {
        {"unquoted", " SIZE=3>", 3},
        {"quoted", " SIZE=\"3\">", 3},
        {"blanks before the number", " SIZE= 4>", 4},
        {"unquoted followed by a quoted attribute reads that", " SIZE=3 COLOR=\"7\">", 7},
        {"without equals sign", " SIZE 5>", 5},
        {"not a number", " SIZE=\"big\">", 0},
        {"negative", " SIZE=\"-2\">", -2},
        {"absent", " COLOR=\"clRed\">", std::nullopt},
    };
    for (const TSizeCase& c : cases)
        EXPECT_EQ(SizeAttribute(c.Attributes), c.Expected) << c.Name;
}

TEST(FontSizeFromMarkup, MapsOneToFiveAndPassesOtherNumbers)
{
    const std::pair<int, int> cases[] = {{1, 8}, {2, 10}, {3, 12}, {4, 14},  {5, 16},
                                         {0, 0}, {6, 6},  {7, 7},  {-1, -1}, {36, 36}};
    for (const auto& [size, points] : cases)
        EXPECT_EQ(FontSizeFromMarkup(size), points) << "SIZE " << size;
}

struct TTextCase {
    const char* Name;
    QString Markup;
    QString Expected;
};

TEST(AnchorTarget, IsTheFirstQuotedTextOfTheTag)
{
    const TTextCase cases[] = {
        {"href", "<A HREF=\"http://Example.org/X\">link</A>", "http://Example.org/X"},
        {"without quotes the target is empty", "<A HREF=http://x>link</A>", ""},
        {"a quoted title before the target wins", "<A TITLE=\"Tip\" HREF=\"mailto:a@b\">", "Tip"},
        {"quotes after the tag do not count", "<A HREF=x>say \"hi\"", ""},
        {"tag without its >", "<A HREF=\"x\"", "x"},
    };
    for (const TTextCase& c : cases)
        EXPECT_EQ(AnchorTarget(c.Markup), c.Expected) << c.Name;
}

struct TLetterCase {
    const char* Name;
    QString Markup;
    char16_t Letter;
    QString Value;
    int Number;
    bool Whole;
};

TEST(LetterValue, ReadsTheQuotedTextAfterTheLetter)
{
    const TLetterCase cases[] = {
        {"indentation", "<IND x=\"50\">", u'x', "50", 50, true},
        {"upper-case letter", "<IND X=\"50\">", u'x', "50", 50, true},
        {"offset with unit", "<OF x=\"20px\">", u'x', "20px", 20, false},
        {"rotation", "<ROT a=\"90\">", u'a', "90", 90, true},
        {"negative rotation", "<R a=\"-45\">", u'a', "-45", -45, true},
        {"letter inside the name counts", "<INDEX x=\"5\">", u'x', "5", 5, true},
        {"letter inside the name of the rotation", "<ROTATE a=\"30\">", u'a', "30", 30, true},
        {"blanks around the equals sign", "<IND x = \"7\">", u'x', "7", 7, true},
        {"letter absent", "<IND y=\"7\">", u'x', "", 0, false},
        {"unquoted", "<IND x=7>", u'x', "", 0, false},
        {"empty quoted value", "<IND x=\"\">", u'x', "", 0, false},
        {"letter at the very end", "<INDx", u'x', "", 0, false},
        {"first two characters are not searched", "<X x=\"3\">", u'x', "3", 3, true},
    };
    for (const TLetterCase& c : cases) {
        const QString value = LetterValue(c.Markup, c.Letter);
        EXPECT_EQ(value, c.Value) << c.Name;
        bool whole = false;
        EXPECT_EQ(IntValue(value, &whole), c.Number) << c.Name;
        EXPECT_EQ(whole, c.Whole) << c.Name;
    }
}

} // namespace
