#include "toolkit/ascii_text.h"
#include "toolkit/product_version.h"

#include <gtest/gtest.h>

TEST(UpperCaseAscii, TouchesOnlyAsciiLettersAndKeepsTheLength)
{
    struct Case {
        const char* text;
        const char* expected;
        const char* why;
    } cases[] = {
        {"out.jpg", "OUT.JPG", "plain ASCII"},
        {"Mixed-Case_09@[`{", "MIXED-CASE_09@[`{", "neighbours of the letter ranges stay"},
        {"ärger ß", "äRGER ß", "no Unicode folding: ß would grow to SS"},
        {"ıi ﬀ", "ıI ﬀ", "dotless i and ligatures stay as they are"},
        {"", "", "empty"},
    };
    for (const Case& c : cases) {
        const QString upper = UpperCaseAscii(QString::fromUtf8(c.text));
        EXPECT_EQ(upper, QString::fromUtf8(c.expected)) << c.why;
        EXPECT_EQ(upper.size(), QString::fromUtf8(c.text).size()) << c.why;
    }
}

TEST(PackedVersionText, WritesEachByteFromTheTopDown)
{
    struct Case {
        std::uint32_t number;
        const char* expected;
    } cases[] = {
        {PackVersion(1, 5, 0, 0), "1.5.0.0"},
        {PackVersion(255, 128, 7, 254), "255.128.7.254"},
        {0, "0.0.0.0"},
        {0xFFFFFFFFu, "255.255.255.255"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PackedVersionText(c.number), QString::fromLatin1(c.expected)) << c.expected;
}
