// Without the optional module lumivex_heif the program refuses HEIC and AVIF
// in its own words, writes nothing for them, and reads and writes every
// other format as before.
#include "cli_run.h"

#include "tests/support/test_data.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(HeifModuleMissing, HeicAndAvifAreRefusedSayingWhyAndTheRestWorks)
{
    QTemporaryDir dir, emptyModuleDir;
    ASSERT_TRUE(dir.isValid() && emptyModuleDir.isValid());
    // Looked for only there: the built module stays out of reach.
    qputenv("LUMIVEX_HEIF_MODULE_DIR", emptyModuleDir.path().toLocal8Bit());
    struct TRestore {
        ~TRestore() { qunsetenv("LUMIVEX_HEIF_MODULE_DIR"); }
    } restore;
    struct Case {
        const char* Input;
        const char* Output;
        int Exit;
    } cases[] = {
        {"pictures/photo-48x36.heic", "heic.png", 1},
        {"pictures/edge-rgba-37x23.avif", "avif.png", 1},
        {"pictures/edge-rgba-37x23.png", "out.avif", 1},
        {"pictures/edge-rgba-37x23.png", "out.png", 0},
    };
    for (const Case& c : cases) {
        const QString output = dir.filePath(QString::fromLatin1(c.Output));
        const TCliRun run = RunCli({"image", "-o", output, TestDataPath(QString::fromLatin1(c.Input))});
        EXPECT_FALSE(run.Crashed) << c.Output;
        EXPECT_EQ(run.ExitCode, c.Exit) << c.Output << ": " << run.Stderr.toStdString();
        EXPECT_EQ(QFileInfo::exists(output), c.Exit == 0) << c.Output;
        EXPECT_EQ(run.Stderr.contains(QStringLiteral(
                      "HEIC and AVIF need the optional module lumivex_heif, which is not installed")),
                  c.Exit != 0)
            << c.Output << ": " << run.Stderr.toStdString();
    }
}
