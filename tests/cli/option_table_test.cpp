// The usage text is read from the option tables: its layout, and what the
// text command makes of its table's rows.
#include "cli/option_table.h"
#include "cli/text_options.h"

#include <QDir>
#include <gtest/gtest.h>

namespace
{
TCliOption Row(QStringList Names, QString ValueName, QString Help)
{
    return {std::move(Names), std::move(ValueName), std::move(Help), {}};
}

TEST(OptionUsageLines, LetterWordValueAndWrappedHelpEachKeepTheirColumn)
{
    const TCliOptionTable table{
        Row({"o", "output"}, "FILE", "output file"),
        Row({"trim"}, "", "only the text,\nand its reflection"),
        Row({"background"}, "COLOR", "as --color"),
    };
    EXPECT_EQ(OptionUsageLines(table).toStdString(), "  -o, --output FILE      output file\n"
                                                     "      --trim             only the text,\n"
                                                     "                         and its reflection\n"
                                                     "      --background COLOR as --color\n");
}

struct TTextReadingCase {
    const char* Name;
    QStringList Arguments; // before "-o x.png Hi"
    bool Help;
    const char* Error;
};

TEST(TextOptionReading, HelpWinsTheLastValueCountsAndEveryFolderIsChecked)
{
    const QString folder = QDir::currentPath();
    const TTextReadingCase cases[] = {
        {"help after a bad value", {"--width", "0", "--help"}, true, ""},
        {"help before a bad value", {"-h", "--font", "x"}, true, ""},
        {"a bad value replaced", {"--width", "abc", "--width", "5"}, false, ""},
        {"a good value replaced by a bad one",
         {"--width", "5", "--width", "abc"},
         false,
         "--width must be a whole number from 1 to 32767, not \"abc\""},
        {"a missing folder before a real one",
         {"--allow-files", "no-such-folder", "--allow-files", folder},
         false,
         "--allow-files: \"no-such-folder\" is not a folder"},
        {"quality out of range",
         {"--quality", "0"},
         false,
         "--quality must be a whole number from 1 to 100, not \"0\""},
    };
    for (const TTextReadingCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TTextParseResult parsed = ParseTextArguments(
            c.Arguments + QStringList{QStringLiteral("-o"), QStringLiteral("x.png"), "Hi"});
        EXPECT_EQ(parsed.Help, c.Help);
        EXPECT_EQ(parsed.Error.toStdString(), c.Error);
    }
}

TEST(TextOptionReading, EveryAllowedFolderIsKeptInTheOrderGiven)
{
    const QString first = QDir::currentPath(), second = QDir::tempPath();
    const TTextParseResult parsed = ParseTextArguments(
        {"--allow-files", first, "-o", "x.png", "--allow-files", second, "--quality", "40", "Hi"});
    ASSERT_TRUE(parsed.Error.isEmpty()) << parsed.Error.toStdString();
    EXPECT_EQ(parsed.Options.AllowedFolders, (QStringList{first, second}));
    EXPECT_EQ(parsed.Options.Quality, 40);
}
} // namespace
