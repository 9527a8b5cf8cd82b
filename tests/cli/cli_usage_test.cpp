// Usage errors through the built program: status 2, a message, nothing written.
#include "cli_run.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(CliUsage, ErrorsExitTwoWithAMessageAndWriteNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(SoftEdgedPicture(16, 16).save(dir.filePath("a.png"), "PNG"));
    struct Case {
        QStringList arguments;
        const char* message;
    } cases[] = {
        {{}, "missing command"},
        {{"picture", "a.png"}, "unknown command"},
        {{"image"}, "no input files"},
        {{"image", "--start", "300", "a.png"}, "--start must be a whole number from 0 to 255"},
        {{"image", "--end", "256", "a.png"}, "--end must be"},
        {{"image", "--size", "-1", "a.png"}, "--size must be"},
        {{"image", "--axis", "x", "a.png"}, "--axis must be"},
        {{"image", "-j", "0", "a.png"}, "-j must be a whole number from 1 to 256"},
        {{"image", "-f", "heic", "a.png"}, "unknown format"},
        {{"image", "--opacity", "3", "a.png"}, "unknown option"},
        {{"image", "a.png", "-o"}, "needs a value"},
        {{"image", "-o", "x.png", "a.png", "a.png"}, "single input"},
    };
    for (const Case& c : cases) {
        const TCliRun run = RunCli(c.arguments, dir.path());
        const std::string command = c.arguments.join(' ').toStdString();
        EXPECT_EQ(run.ExitCode, 2) << command;
        EXPECT_TRUE(run.Stderr.contains(QString::fromLatin1(c.message)))
            << command << ": " << run.Stderr.toStdString();
        EXPECT_TRUE(run.Stderr.contains(QStringLiteral("--help"))) << command;
        EXPECT_TRUE(run.Stdout.isEmpty()) << command;
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("a.png")});
}

TEST(CliUsage, HelpAndVersionGoToStandardOutput)
{
    const TCliRun help = RunCli({"--help"});
    EXPECT_EQ(help.ExitCode, 0);
    EXPECT_TRUE(help.Stdout.startsWith("Usage: lumivex-cli image"));
    const TCliRun version = RunCli({"image", "--version"});
    EXPECT_EQ(version.ExitCode, 0);
    EXPECT_EQ(version.Stdout, QByteArray("lumivex-cli 1.5.0.0\n"));
}
