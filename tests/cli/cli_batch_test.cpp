// Batches through the built program: every file independent, failures named
// with their reasons, the rest still written.
#include "cli_run.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace
{
class CliBatch : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(FDir.isValid());
        ASSERT_TRUE(SoftEdgedPicture(64, 48).save(Path("first.png"), "PNG"));
        ASSERT_TRUE(
            SoftEdgedPicture(40, 30).convertToFormat(QImage::Format_RGB32).save(Path("third.jpg"), "JPEG"));
    }

    QString Path(const QString& Name) const { return FDir.filePath(Name); }

    void WriteFile(const QString& Name, const QByteArray& Bytes)
    {
        QFile file(Path(Name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(Bytes);
    }

    QTemporaryDir FDir;
};
} // namespace

TEST_F(CliBatch, OneUnreadableOfThreeWritesTwoAndNamesTheThird)
{
    struct Case {
        const char* name;
        QByteArray content; // empty: the file does not exist
        const char* reason;
    } cases[] = {
        {"missing.png", {}, "No such file"},
        {"text.png", "this is not a picture at all", "unknown image format"},
        {"cut-off.png", ReadAll(QStringLiteral(LUMIVEX_TEST_DATA "/soft-edges-rgba-200x150.png")).left(300),
         "damaged image"},
        {"folder.png", {}, "folder"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString out = Path(QStringLiteral("out-%1").arg(QString::fromLatin1(c.name)));
        if (QString::fromLatin1(c.name) == QLatin1String("folder.png"))
            ASSERT_TRUE(QDir().mkpath(Path(c.name)));
        else if (!c.content.isEmpty())
            WriteFile(c.name, c.content);

        const TCliRun run =
            RunCli({"image", "-j", "2", "-d", out, Path("first.png"), Path(c.name), Path("third.jpg")});
        EXPECT_FALSE(run.Crashed);
        EXPECT_EQ(run.ExitCode, 1) << run.Stderr.toStdString();
        EXPECT_TRUE(QImage(QDir(out).filePath("first-reflection.png")).size() == QSize(64, 48 + 51));
        EXPECT_TRUE(QImage(QDir(out).filePath("third-reflection.png")).size() == QSize(40, 30 + 51));
        EXPECT_EQ(QDir(out).entryList(QDir::Files).size(), 2);

        // The failure line names the file and its reason, on one line.
        const QStringList lines = run.Stderr.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        const auto failure = std::find_if(lines.begin(), lines.end(), [&](const QString& line) {
            return line.contains(QString::fromLatin1(c.name));
        });
        ASSERT_NE(failure, lines.end()) << run.Stderr.toStdString();
        EXPECT_TRUE(failure->contains(QString::fromLatin1(c.reason), Qt::CaseInsensitive))
            << failure->toStdString();
        EXPECT_TRUE(lines.last().contains(QStringLiteral("2 of 3 reflections written, 1 failed")))
            << run.Stderr.toStdString();
    }
}

TEST_F(CliBatch, AllWrittenExitsZeroWithASummary)
{
    ASSERT_TRUE(QFile::copy(Path("first.png"), Path("second.png")));
    const TCliRun run = RunCli(
        {"image", "-f", "tiff", "-d", Path("out"), Path("first.png"), Path("second.png"), Path("third.jpg")});
    EXPECT_EQ(run.ExitCode, 0) << run.Stderr.toStdString();
    EXPECT_TRUE(run.Stderr.contains(QStringLiteral("3 of 3 reflections written")))
        << run.Stderr.toStdString();
    // Not a terminal: no progress lines, only the summary.
    EXPECT_EQ(run.Stderr.count(QLatin1Char('\n')), 1) << run.Stderr.toStdString();
    for (const char* name : {"first-reflection.tif", "second-reflection.tif", "third-reflection.tif"})
        EXPECT_EQ(SniffFormat(ReadAll(QDir(Path("out")).filePath(name))), QStringLiteral("tiff")) << name;
    EXPECT_TRUE(run.Stdout.isEmpty());
}

TEST_F(CliBatch, WithoutAFolderEachOutputGoesBesideItsInput)
{
    const TCliRun run = RunCli({"image", "first.png", "third.jpg"}, FDir.path());
    EXPECT_EQ(run.ExitCode, 0) << run.Stderr.toStdString();
    EXPECT_EQ(SniffFormat(ReadAll(Path("first-reflection.png"))), QStringLiteral("png"));
    EXPECT_EQ(SniffFormat(ReadAll(Path("third-reflection.png"))), QStringLiteral("png"));
}

TEST_F(CliBatch, InputsSharingAnOutputNameDoNotOverwriteEachOther)
{
    ASSERT_TRUE(QDir().mkpath(Path("other")));
    ASSERT_TRUE(SoftEdgedPicture(10, 10).save(Path("other/first.png"), "PNG"));
    const TCliRun run = RunCli({"image", "-d", Path("out"), Path("first.png"), Path("other/first.png")});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.Stderr.contains(QStringLiteral("already the output of"))) << run.Stderr.toStdString();
    // The first input's reflection is intact.
    EXPECT_EQ(QImage(Path("out/first-reflection.png")).size(), QSize(64, 99));
}

TEST_F(CliBatch, AnOutputNeverReplacesAnotherInput)
{
    ASSERT_TRUE(QFile::copy(Path("first.png"), Path("first-reflection.png")));
    const QByteArray before = ReadAll(Path("first-reflection.png"));
    const TCliRun run = RunCli({"image", "first.png", "first-reflection.png"}, FDir.path());
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.Stderr.contains(QStringLiteral("would replace the input"))) << run.Stderr.toStdString();
    EXPECT_EQ(ReadAll(Path("first-reflection.png")), before);
    EXPECT_EQ(SniffFormat(ReadAll(Path("first-reflection-reflection.png"))), QStringLiteral("png"));
}

TEST_F(CliBatch, APictureIsNeverReplacedByItsOwnReflection)
{
    ASSERT_TRUE(QDir().mkpath(Path("sub")));
    ASSERT_TRUE(QFile::link(Path("first.png"), Path("link.png")));
    ASSERT_EQ(::link(QFile::encodeName(Path("first.png")).constData(),
                     QFile::encodeName(Path("hard.png")).constData()),
              0);
    const QByteArray before = ReadAll(Path("first.png"));
    // The same file as the output under every spelling: the name itself,
    // "./", "..", a symbolic and a hard link; one picture and a batch.
    const struct {
        const char* Name;
        QStringList Arguments;
    } cases[] = {
        {"the same name", {"image", "first.png", "-o", "first.png"}},
        {"./ before it", {"image", "first.png", "-o", "./first.png"}},
        {"through ..", {"image", "first.png", "-o", "sub/../first.png"}},
        {"a symbolic link to it", {"image", "first.png", "-o", "link.png"}},
        {"a hard link to it", {"image", "hard.png", "-o", "first.png"}},
        {"its full path, another format", {"image", "first.png", "-f", "png", "-o", Path("first.png")}},
    };
    for (const auto& c : cases) {
        const TCliRun run = RunCli(c.Arguments, FDir.path());
        EXPECT_EQ(run.ExitCode, 1) << c.Name;
        EXPECT_TRUE(run.Stderr.contains(QStringLiteral("write it elsewhere: -o OTHER_FILE, or -d DIR")))
            << c.Name << ": " << run.Stderr.toStdString();
        EXPECT_EQ(ReadAll(Path("first.png")), before) << c.Name;
    }
}

TEST_F(CliBatch, ANameWithControlCharactersStaysOnItsOneLine)
{
    const struct {
        const char* Name;
        QString Input;
        const char* Shown;
    } cases[] = {
        {"a newline", QStringLiteral("two\nlines.png"), "lumivex-cli: \"two\\nlines.png\": "},
        {"a tab and an escape", QStringLiteral("a\tb\x1b.png"), "lumivex-cli: \"a\\tb\\033.png\": "},
        {"a plain name stays plain", QStringLiteral("plain.png"), "lumivex-cli: plain.png: "},
    };
    for (const auto& c : cases) {
        const TCliRun run = RunCli({"image", c.Input, "-o", "out.png"}, FDir.path());
        EXPECT_EQ(run.ExitCode, 1) << c.Name;
        const QStringList lines = run.Stderr.split(u'\n', Qt::SkipEmptyParts);
        ASSERT_FALSE(lines.isEmpty()) << c.Name;
        EXPECT_TRUE(lines.first().startsWith(QString::fromUtf8(c.Shown)))
            << c.Name << ": " << run.Stderr.toStdString();
    }
}

TEST_F(CliBatch, ManyFilesOnManyWorkersAllArrive)
{
    QStringList arguments{"image", "-j", "4", "-d", Path("many")};
    for (int i = 0; i < 12; ++i) {
        const QString name = Path(QStringLiteral("p%1.png").arg(i));
        ASSERT_TRUE(SoftEdgedPicture(20 + i, 10 + i).save(name, "PNG"));
        arguments << name;
    }
    arguments << Path("missing-a.png") << Path("missing-b.png");
    const TCliRun run = RunCli(arguments);
    EXPECT_EQ(run.ExitCode, 1);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(QImage(Path(QStringLiteral("many/p%1-reflection.png").arg(i))).size(),
                  QSize(20 + i, 10 + i + 51));
    // Whole lines only: each failure line starts with the program's name.
    const QStringList lines = run.Stderr.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << run.Stderr.toStdString();
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("lumivex-cli: ")));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("lumivex-cli: ")));
    EXPECT_EQ(lines[2], QStringLiteral("12 of 14 reflections written, 2 failed"));
}

TEST_F(CliBatch, ProgressOnlyOnATerminal)
{
    // util-linux "script" gives the program a terminal for its output.
    const QString script = QStandardPaths::findExecutable(QStringLiteral("script"));
    if (script.isEmpty())
        GTEST_SKIP() << "no \"script\" to provide a terminal";
    QProcess process;
    process.setWorkingDirectory(FDir.path());
    process.start(script, {"-qec",
                           QStringLiteral(LUMIVEX_BINARY_DIR
                                          "/cli/lumivex-cli image -d out first.png missing.png third.jpg"),
                           "/dev/null"});
    ASSERT_TRUE(process.waitForFinished(60000));
    const QString shown = QString::fromLocal8Bit(process.readAllStandardOutput()).remove(QLatin1Char('\r'));
    EXPECT_EQ(process.exitCode(), 1) << shown.toStdString();
    for (const char* line : {"[1/3] ", "[2/3] ", "[3/3] ", "2 of 3 reflections written, 1 failed"})
        EXPECT_TRUE(shown.contains(QString::fromLatin1(line))) << line << " missing from:\n"
                                                               << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("missing.png: could not open")));
}

// GIF needs a quantiser for pictures of many colours; workers running it at
// once must still write what one worker writes.
TEST_F(CliBatch, ParallelGifBatchWritesWhatOneWorkerWrites)
{
    QStringList inputs;
    for (int i = 0; i < 8; ++i) {
        const QString name = Path(QStringLiteral("many-colours-%1.png").arg(i));
        ASSERT_TRUE(SoftEdgedPicture(160 + 7 * i, 120 + 5 * i).save(name, "PNG"));
        inputs << name;
    }
    const TCliRun one = RunCli(QStringList{"image", "-j", "1", "-f", "gif", "-d", Path("one")} + inputs);
    const TCliRun four = RunCli(QStringList{"image", "-j", "4", "-f", "gif", "-d", Path("four")} + inputs);
    ASSERT_EQ(one.ExitCode, 0) << one.Stderr.toStdString();
    ASSERT_EQ(four.ExitCode, 0) << four.Stderr.toStdString();
    for (int i = 0; i < 8; ++i) {
        const QString name = QStringLiteral("many-colours-%1-reflection.gif").arg(i);
        SCOPED_TRACE(name.toStdString());
        const QByteArray single = ReadAll(Path("one/" + name));
        ASSERT_FALSE(single.isEmpty());
        EXPECT_EQ(single, ReadAll(Path("four/" + name)));
    }
}
