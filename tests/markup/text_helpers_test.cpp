#include "markup/text_helpers.h"

#include "tests/markup/qstring_printer.h"

#include <gtest/gtest.h>

#include <climits>

namespace
{

struct TIndexCase {
    const char* Name;
    QString Pattern;
    QString Text;
    int Expected;
};

TEST(IndexOfText, FindsTheFirstOccurrenceIgnoringAsciiCase)
{
    const TIndexCase cases[] = {
        {"lower pattern in mixed text", "b", "aBcb", 2},
        {"upper pattern in lower text", "ABC", "xxabc", 3},
        {"empty pattern is never found", "", "abc", 0},
        {"absent", "z", "abc", 0},
        {"pattern longer than text", "abcd", "abc", 0},
        {"accented letters are not folded", QString::fromUtf8("é"), QString::fromUtf8("É"), 0},
        {"sharp s keeps its length", QString::fromUtf8("ßX"), QString::fromUtf8("aßx"), 2},
    };
    for (const TIndexCase& c : cases)
        EXPECT_EQ(IndexOfText(c.Pattern, c.Text), c.Expected) << c.Name;
}

struct TReplaceCase {
    const char* Name;
    QString Pattern;
    QString Replacement;
    QString Text;
    bool Expected;
    QString After;
};

TEST(ReplaceFirstText, ReplacesOnlyTheFirstCaseInsensitiveOccurrence)
{
    const TReplaceCase cases[] = {
        {"upper-case occurrence first", "amp", "!", "x AMP y amp", true, "x ! y amp"},
        {"replacement longer than pattern", "<br>", "\r\n\r\n", "a<Br>b", true, "a\r\n\r\nb"},
        {"at the very end", "end", "", "the END", true, "the "},
        {"absent leaves the text", "zz", "!", "abc", false, "abc"},
        {"empty pattern leaves the text", "", "!", "abc", false, "abc"},
    };
    for (const TReplaceCase& c : cases) {
        QString text = c.Text;
        EXPECT_EQ(ReplaceFirstText(c.Pattern, c.Replacement, text), c.Expected) << c.Name;
        EXPECT_EQ(text, c.After) << c.Name;
    }
}

struct TIntCase {
    const char* Name;
    QString Text;
    int Value;
    bool Whole;
};

TEST(IntValue, ReadsUpToTheFirstCharacterThatDoesNotBelong)
{
    const TIntCase cases[] = {
        {"empty", "", 0, false},
        {"plain number", "12", 12, true},
        {"leading blanks", "   12", 12, true},
        {"leading zeros", "007", 7, true},
        {"minus", "-7", -7, true},
        {"plus", "+7", 7, true},
        {"unit after the number", "12px", 12, false},
        {"trailing blank", "12 ", 12, false},
        {"decimal point", "3.5", 3, false},
        {"hexadecimal", "$1F", 31, true},
        {"hexadecimal lower case", "$ff", 255, true},
        {"negative hexadecimal", "-$10", -16, true},
        {"dollar without digits", "$", 0, false},
        {"sign without digits", "-", 0, false},
        {"letters", "abc", 0, false},
        {"tab is not a blank", "\t5", 0, false},
        {"C hexadecimal prefix is not read", "0x10", 0, false},
        {"blank between sign and digits", "- 5", 0, false},
        {"largest", "2147483647", INT_MAX, true},
        {"smallest", "-2147483648", INT_MIN, true},
        {"overflow stops before the digit", "2147483648", 214748364, false},
        {"long run of digits", "99999999999999999999", 999999999, false},
        {"hexadecimal fills 32 bits", "$FFFFFFFF", -1, true},
        {"hexadecimal overflow", "$100000000", 0x10000000, false},
    };
    for (const TIntCase& c : cases) {
        bool whole = !c.Whole;
        EXPECT_EQ(IntValue(c.Text, &whole), c.Value) << c.Name;
        EXPECT_EQ(whole, c.Whole) << c.Name;
        EXPECT_EQ(IntValue(c.Text), c.Value) << c.Name << " without the completeness flag";
    }
}

struct TLineBreakCase {
    const char* Name;
    QString Text;
    bool Convert;
    QString Expected;
};

TEST(LineBreaksToMarkup, CarriageReturnsBecomeLineBreakTagsOnlyWhenConverting)
{
    const TLineBreakCase cases[] = {
        {"CR LF converted", "one\r\ntwo", true, "one<BR>two"},
        {"CR LF dropped", "one\r\ntwo", false, "onetwo"},
        {"lone LF always dropped", "a\nb", true, "ab"},
        {"lone CRs converted", "a\rb\r", true, "a<BR>b<BR>"},
        {"LF CR converted once", "a\n\rb", true, "a<BR>b"},
        {"no line breaks", "plain", true, "plain"},
    };
    for (const TLineBreakCase& c : cases)
        EXPECT_EQ(LineBreaksToMarkup(c.Text, c.Convert), c.Expected) << c.Name;
}

struct TTextCase {
    const char* Name;
    QString Text;
    QString Expected;
};

TEST(UnwrapHashTag, ShowsTheFirstHashConstructWithoutItsBrackets)
{
    const TTextCase cases[] = {
        {"name shown with its hash", "see <#Name> here", "see #Name here"},
        {"only the first one", "<#a> <#b>", "#a <#b>"},
        {"no closing bracket", "x <#open", "x #open"},
        {"bracket before it stays", "a > <#b>c>", "a > #bc>"},
        {"nothing to unwrap", "no <b>tag</b>", "no <b>tag</b>"},
    };
    for (const TTextCase& c : cases)
        EXPECT_EQ(UnwrapHashTag(c.Text), c.Expected) << c.Name;
}

TEST(StripMarkup, GivesThePlainText)
{
    const TTextCase cases[] = {
        {"line break becomes CR LF", "one<BR>two", "one\r\ntwo"},
        {"line break and rule in any case", "one<br>two<hR>three", "one\r\ntwo\r\nthree"},
        {"upper-case hidden section removed", "a<Z>hidden</Z>b", "ab"},
        {"lower-case hidden section removed", "a<z>hidden</z>b", "ab"},
        {"both kinds of hidden section", "<z>h</z>m<Z>H</Z>e", "me"},
        {"section opened and closed in different case is not hidden", "a<z>x</Z>b", "axb"},
        {"unclosed hidden section keeps its text", "a<Z>never closed", "anever closed"},
        {"closing tag before the opening one", "</z>a<z>b</z>c", "ac"},
        {"tags removed", "x<b>bold</b>y", "xboldy"},
        {"a < without > keeps the rest", "a<b", "a<b"},
        {"text after an unclosed < is kept with its tags", "ok<i>x</i> 1 < 2", "okx 1 < 2"},
        {"> before a tag stays", "a>b<i>c", "a>bc"},
        {"tags before a hidden section are removed too", "<b>x</b><Z>h</Z>y", "xy"},
        {"empty", "", ""},
    };
    for (const TTextCase& c : cases)
        EXPECT_EQ(StripMarkup(c.Text), c.Expected) << c.Name;
}

TEST(RemoveBlanks, RemovesSpacesOnly)
{
    const TTextCase cases[] = {
        {"spaces", " align = \"center\" ", "align=\"center\""},
        {"other white space stays", "a\tb\r\nc d", "a\tb\r\ncd"},
        {"non-breaking space stays", QString::fromUtf8("a\u00A0b"), QString::fromUtf8("a\u00A0b")},
        {"empty", "", ""},
    };
    for (const TTextCase& c : cases)
        EXPECT_EQ(RemoveBlanks(c.Text), c.Expected) << c.Name;
}

} // namespace
