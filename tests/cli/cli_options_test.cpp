#include "cli/image_options.h"

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
    EXPECT_EQ(result.Image.Reflection.Size, 50);
    EXPECT_EQ(result.Image.Reflection.OpacityStart, 120);
    EXPECT_EQ(result.Image.Reflection.OpacityEnd, 1);
    EXPECT_EQ(result.Image.Reflection.Axis, 1);
    EXPECT_EQ(result.Image.Inputs, QStringList{QStringLiteral("a.png")});
}

TEST(CliOptions, ValuesInBothSpellings)
{
    const TCliParseResult result = Parse({"image", "--size=80", "--start", "255", "--end=0", "--axis", "-7",
                                          "-f", "JPEG", "-j", "3", "-o", "-", "-"});
    ASSERT_TRUE(result.Error.isEmpty()) << result.Error.toStdString();
    EXPECT_EQ(result.Image.Reflection.Size, 80);
    EXPECT_EQ(result.Image.Reflection.OpacityStart, 255);
    EXPECT_EQ(result.Image.Reflection.OpacityEnd, 0);
    EXPECT_EQ(result.Image.Reflection.Axis, -7);
    EXPECT_EQ(result.Image.Format, ImageSaveFormat::Jpeg);
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
        {{"image", "-f", "heic", "a.png"}, "unknown format"},
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

TEST(CliOptions, UsageErrorsQuoteTheArgumentAsTyped)
{
    struct Case {
        QStringList arguments;
        const char* error;
    } cases[] = {
        {{"--frobnicate=3"}, "unknown option \"--frobnicate\""},
        {{"-x"}, "unknown option \"-x\""},
        {{"-size", "5"}, "unknown option \"-size\""},
        {{"--help=yes"}, "unknown option \"--help\""},
        {{"-o"}, "option \"-o\" needs a value"},
        {{"--output-dir"}, "option \"--output-dir\" needs a value"},
        {{"-j", "x"}, "-j must be a whole number from 1 to 256, not \"x\""},
        {{"--jobs=300"}, "--jobs must be a whole number from 1 to 256, not \"300\""},
        {{"--size", "ten", "--start", "300"}, "--size must be a whole number from 0 to 1000000, not \"ten\""},
        {{"--size", "5", "--size", "-1"}, "--size must be a whole number from 0 to 1000000, not \"-1\""},
        {{"--format=JPE"}, "unknown format \"JPE\": expected png, jpg, gif, bmp, tiff or webp"},
        {{"--output="}, "the output name is empty"},
        {{"-ox.png"}, "unknown option \"-ox.png\""},
        {{"-j2"}, "unknown option \"-j2\""},
        {{"--o", "x.png"}, "unknown option \"--o\""},
        {{"-o=x.png"}, "unknown option \"-o=x.png\""},
    };
    for (const Case& c : cases) {
        const TCliParseResult result = ParseCliArguments(QStringList{"image", "a.png"} + c.arguments);
        EXPECT_EQ(result.Error.toStdString(), c.error) << c.arguments.join(' ').toStdString();
    }
}

TEST(CliOptions, LaterValuesWinAndOptionsMixWithFiles)
{
    const TCliParseResult result =
        Parse({"image", "a.png", "--size", "5", "-", "--size=6", "b.png", "--axis", "-3", "--", "--c.png"});
    ASSERT_TRUE(result.Error.isEmpty()) << result.Error.toStdString();
    EXPECT_EQ(result.Image.Reflection.Size, 6);
    EXPECT_EQ(result.Image.Reflection.Axis, -3);
    EXPECT_EQ(result.Image.Inputs, QStringList({"a.png", "-", "b.png", "--c.png"}));
}

TEST(CliOptions, OptionsAreReadInTheOrderTyped)
{
    struct Case {
        QStringList arguments;
        TCliAction action;
        const char* error;
    } cases[] = {
        {{"--help", "--frobnicate"}, TCliAction::Help, ""},
        {{"--frobnicate", "--help"}, TCliAction::Run, "unknown option \"--frobnicate\""},
        {{"--version", "--size"}, TCliAction::Version, ""},
        {{"--start", "300", "--frobnicate"},
         TCliAction::Run,
         "--start must be a whole number from 0 to 255, not \"300\""},
        {{"-o", "--help", "--frobnicate"}, TCliAction::Run, "unknown option \"--frobnicate\""},
    };
    for (const Case& c : cases) {
        const TCliParseResult result = ParseCliArguments(QStringList{"image", "a.png"} + c.arguments);
        EXPECT_EQ(result.Action, c.action) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(result.Error.toStdString(), c.error) << c.arguments.join(' ').toStdString();
    }
    const TCliParseResult masked =
        ParseCliArguments({"image", "-o", "-ox.png", "--axis", "-10", "--", "-j2"});
    EXPECT_EQ(masked.Image.Output, QStringLiteral("-ox.png"));
    EXPECT_EQ(masked.Image.Reflection.Axis, -10);
    EXPECT_EQ(masked.Image.Inputs, QStringList{QStringLiteral("-j2")});
}
