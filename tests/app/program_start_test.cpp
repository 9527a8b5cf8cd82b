// What "lumivex" answers on its command line before any window exists.
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

namespace
{
struct StartCase {
    const char* Name;
    QStringList Arguments;
    int ExitCode;
    const char* Stdout; // what the standard output starts with
    const char* Stderr; // what the error output starts with
};

TEST(ProgramStart, HelpAndVersionPrintAndExitWithoutAWindow)
{
    const StartCase cases[] = {
        {"help", {"--help"}, 0, "Usage: lumivex [QT-OPTION ...] [FILE]\n", ""},
        {"short help", {"-h"}, 0, "Usage: lumivex [QT-OPTION ...] [FILE]\n", ""},
        {"version", {"--version"}, 0, "lumivex 1.", ""},
        {"help before a file", {"--help", "picture.png"}, 0, "Usage: lumivex", ""},
        {"unknown option", {"--bogus"}, 2, "", "lumivex: unknown option --bogus\nUsage: lumivex"},
        // Qt's own options, as every Qt program takes them, are not ours to refuse.
        {"Qt's style before the help", {"-style", "fusion", "--help"}, 0, "Usage: lumivex", ""},
        {"Qt's options in both spellings before an unknown one",
         {"-reverse", "-platform", "offscreen", "--stylesheet=a.qss", "-style", "fusion", "--bogus"},
         2,
         "",
         "lumivex: unknown option --bogus"},
    };
    for (const StartCase& c : cases) {
        SCOPED_TRACE(c.Name);
        QProcess process;
        // No display at all: a window attempt would fail instead of printing.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(LUMIVEX_BINARY_DIR "/app/lumivex"), c.Arguments);
        ASSERT_TRUE(process.waitForFinished(30000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), c.ExitCode);
        const QString out = QString::fromLocal8Bit(process.readAllStandardOutput());
        const QString err = QString::fromLocal8Bit(process.readAllStandardError());
        EXPECT_EQ(out.left(qsizetype(qstrlen(c.Stdout))), QLatin1String(c.Stdout)) << out.toStdString();
        EXPECT_EQ(err.left(qsizetype(qstrlen(c.Stderr))), QLatin1String(c.Stderr)) << err.toStdString();
        if (!*c.Stdout) {
            EXPECT_TRUE(out.isEmpty()) << out.toStdString();
        }
    }
}
} // namespace
