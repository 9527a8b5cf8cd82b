#include "app/cli_options.h"

#include <gtest/gtest.h>

namespace
{
TCliParseResult Parse(std::initializer_list<const char*> arguments)
{
    QStringList list;
    for (const char* argument : arguments)
        list << QString::fromUtf8(argument);
    return ParseCliArguments(list);
}
} // namespace

TEST(CliOptions, DefaultsAreTheWindowsStartValues)
{
    const TCliParseResult result = Parse({"image", "a.png"});
    ASSERT_TRUE(result.Error.isEmpty()) << result.Error.toStdString();
    EXPECT_EQ(result.Image.Size, 50);
    EXPECT_EQ(result.Image.Start, 120);
    EXPECT_EQ(result.Image.End, 1);
    EXPECT_EQ(result.Image.Axis, 1);
    EXPECT_EQ(result.Image.Inputs, QStringList{QStringLiteral("a.png")});
}

TEST(CliOptions, ValuesInBothSpellings)
{
    const TCliParseResult result = Parse({"image", "--size=80", "--start", "255", "--end=0", "--axis", "-7",
                                          "-f", "JPEG", "-j", "3", "-o", "-", "-"});
    ASSERT_TRUE(result.Error.isEmpty()) << result.Error.toStdString();
    EXPECT_EQ(result.Image.Size, 80);
    EXPECT_EQ(result.Image.Start, 255);
    EXPECT_EQ(result.Image.End, 0);
    EXPECT_EQ(result.Image.Axis, -7);
    EXPECT_EQ(result.Image.Format, QStringLiteral("jpg"));
    EXPECT_EQ(result.Image.Jobs, 3);
    EXPECT_EQ(result.Image.Output, QStringLiteral("-"));
    EXPECT_EQ(result.Image.Inputs, QStringList{QStringLiteral("-")});
}

TEST(CliOptions, UsageErrorsNameTheProblem)
{
    struct Case {
        std::initializer_list<const char*> arguments;
        const char* mentions;
    } cases[] = {
        {{}, "missing command"},
        {{"paint", "a.png"}, "unknown command"},
        {{"image"}, "no input files"},
        {{"image", "--start", "300", "a.png"}, "--start must be a whole number from 0 to 255"},
        {{"image", "--end", "-1", "a.png"}, "--end must be"},
        {{"image", "--size", "-5", "a.png"}, "--size must be"},
        {{"image", "--size", "ten", "a.png"}, "--size must be"},
        {{"image", "--jobs", "0", "a.png"}, "--jobs must be"},
        {{"image", "-f", "webp", "a.png"}, "unknown format"},
        {{"image", "--frobnicate", "a.png"}, "unknown option"},
        {{"image", "a.png", "--size"}, "needs a value"},
        {{"image", "-o", "x.png", "a.png", "b.png"}, "single input"},
        {{"image", "-o", "x.png", "-d", "out", "a.png"}, "cannot be used together"},
        {{"image", "-", "-"}, "standard input"},
    };
    for (const Case& c : cases) {
        QStringList list;
        for (const char* argument : c.arguments)
            list << QString::fromUtf8(argument);
        const TCliParseResult result = ParseCliArguments(list);
        EXPECT_TRUE(result.Error.contains(QString::fromUtf8(c.mentions)))
            << list.join(' ').toStdString() << " gave \"" << result.Error.toStdString() << "\"";
    }
}

TEST(CliOptions, HelpAndVersionWin)
{
    EXPECT_EQ(Parse({"--help"}).Action, TCliAction::Help);
    EXPECT_EQ(Parse({"image", "a.png", "--help"}).Action, TCliAction::Help);
    EXPECT_EQ(Parse({"--version"}).Action, TCliAction::Version);
}

TEST(CliOptions, DoubleDashTakesTheRestAsFiles)
{
    const TCliParseResult result = Parse({"image", "--", "--odd-name.png"});
    ASSERT_TRUE(result.Error.isEmpty());
    EXPECT_EQ(result.Image.Inputs, QStringList{QStringLiteral("--odd-name.png")});
}
