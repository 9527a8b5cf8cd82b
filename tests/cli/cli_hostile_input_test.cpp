// The command line against hostile inputs and outputs: special files neither
// hang nor get replaced, damaged files are reported as damaged.
#include "cli_run.h"
#include "tests/support/damaged_files.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <functional>
#include <future>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zlib.h>

namespace
{
void WriteFile(const QString& Name, const QByteArray& Bytes)
{
    QFile file(Name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(Bytes);
}

mode_t KindOf(const QString& Path)
{
    struct stat status {
    };
    return ::lstat(QFile::encodeName(Path).constData(), &status) == 0 ? (status.st_mode & S_IFMT) : 0;
}

// A 10 x 10 PNG whose header names a bit depth its colour type cannot have.
QByteArray PngWithBadHeader()
{
    const auto chunk = [](const char* Type, const QByteArray& Data) {
        QByteArray out(4, '\0');
        qToBigEndian<quint32>(quint32(Data.size()), out.data());
        const QByteArray body = QByteArray(Type, 4) + Data;
        QByteArray crc(4, '\0');
        qToBigEndian<quint32>(
            quint32(crc32(0, reinterpret_cast<const Bytef*>(body.constData()), uInt(body.size()))),
            crc.data());
        return out + body + crc;
    };
    QByteArray header(13, '\0');
    qToBigEndian<quint32>(10, header.data());
    qToBigEndian<quint32>(10, header.data() + 4);
    header[8] = 3; // depth 3 does not exist
    header[9] = 6;
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header) +
           chunk("IDAT", qCompress(QByteArray(110, '\0')).mid(4)) + chunk("IEND", {});
}

struct TInputCase {
    const char* Name;
    std::function<QString(const QDir& Dir)> Prepare; // makes the input, returns its name
    QStringList Options;
    int ExitCode;
    const char* StderrMentions;
};
} // namespace

TEST(CliHostileInput, EachInputGetsItsVerdictWithoutHanging)
{
    const QByteArray gif = GifOf(NoisyPicture(40, 30));
    const auto file = [](const char* Name, QByteArray Bytes) {
        return [Name, Bytes](const QDir& Dir) {
            WriteFile(Dir.filePath(Name), Bytes);
            return Dir.filePath(Name);
        };
    };
    const TInputCase cases[] = {
        {"fifo without a writer",
         [](const QDir& Dir) {
             ::mkfifo(QFile::encodeName(Dir.filePath("pipe.png")).constData(), 0600);
             return Dir.filePath("pipe.png");
         },
         {},
         1,
         "is a FIFO"},
        {"link to an endless device",
         [](const QDir& Dir) {
             QFile::link(QStringLiteral("/dev/zero"), Dir.filePath("zero.png"));
             return Dir.filePath("zero.png");
         },
         {},
         1,
         "character device"},
        {"cut gif", file("cut.gif", gif.left(gif.size() * 2 / 3)), {}, 1, "cut.gif: damaged image"},
        {"cut gif kept",
         file("kept.gif", gif.left(gif.size() * 2 / 3)),
         {"--lenient"},
         0,
         "kept.gif: warning: damaged"},
        {"tga by its name", file("picture.tga", TgaOf(NoisyPicture(20, 10))), {}, 0, ""},
        {"text", file("notes.png", "not a picture at all"), {}, 1, "unknown image format"},
        {"png whose header libpng refuses", file("header.png", PngWithBadHeader()), {}, 1, "header.png: "},
        {"tiff whose directory lies past its end",
         file("seek.tif", QByteArray("II*\0\xa0\x86\x01\0", 8) + QByteArray(50, '\0')),
         {},
         1,
         "seek.tif: "},
        {"tiff with damaged LZW data",
         file("bad.tif", TiffWithDamagedLzw(NoisyPicture(64, 48))),
         {},
         1,
         "bad.tif: damaged image"},
    };
    for (const TInputCase& c : cases) {
        QTemporaryDir temporary;
        ASSERT_TRUE(temporary.isValid());
        const QDir dir(temporary.path());
        const QString input = c.Prepare(dir);
        const QString output = dir.filePath(QStringLiteral("out.png"));
        const TCliRun run = RunCli(QStringList{"image"} + c.Options + QStringList{"-o", output, input});
        EXPECT_FALSE(run.Crashed) << c.Name;
        EXPECT_EQ(run.ExitCode, c.ExitCode) << c.Name << ": " << run.Stderr.toStdString();
        EXPECT_TRUE(run.Stderr.contains(QLatin1String(c.StderrMentions)))
            << c.Name << ": " << run.Stderr.toStdString();
        EXPECT_EQ(QFile::exists(output), c.ExitCode == 0) << c.Name << ": written only when good";
        // Library messages come inside the program's own lines, never alone.
        for (const QString& line : run.Stderr.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            EXPECT_TRUE(line.startsWith(QLatin1String("lumivex-cli: ")) ||
                        line.contains(QLatin1String(" reflections written")))
                << c.Name << ": " << line.toStdString();
    }
}

TEST(CliHostileInput, SpecialOutputsAreWrittenInPlace)
{
    QTemporaryDir temporary;
    ASSERT_TRUE(temporary.isValid());
    const QDir dir(temporary.path());
    WriteFile(dir.filePath("in.gif"), GifOf(NoisyPicture(30, 20)));

    const QString fifo = dir.filePath("pipe.png");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    auto reader = std::async(std::launch::async, [&] { return ReadAll(fifo); });
    const TCliRun piped = RunCli({"image", "-o", fifo, dir.filePath("in.gif")});
    EXPECT_EQ(piped.ExitCode, 0) << piped.Stderr.toStdString();
    EXPECT_EQ(SniffFormat(reader.get()), QStringLiteral("png"));
    EXPECT_EQ(KindOf(fifo), mode_t(S_IFIFO));

    QFile::link(QStringLiteral("/dev/null"), dir.filePath("null.png"));
    const TCliRun linked = RunCli({"image", "-o", dir.filePath("null.png"), dir.filePath("in.gif")});
    EXPECT_EQ(linked.ExitCode, 0) << linked.Stderr.toStdString();
    EXPECT_EQ(KindOf(dir.filePath("null.png")), mode_t(S_IFLNK));
    EXPECT_EQ(KindOf(QStringLiteral("/dev/null")), mode_t(S_IFCHR));

    const TCliRun full = RunCli({"image", "-o", "/dev/full", dir.filePath("in.gif")});
    EXPECT_EQ(full.ExitCode, 1);
    EXPECT_TRUE(full.Stderr.contains(QLatin1String("No space left on device"))) << full.Stderr.toStdString();
}

TEST(CliHostileInput, NamesThatAreNotUtf8AreUsedAsGiven)
{
    QTemporaryDir temporary;
    ASSERT_TRUE(temporary.isValid());
    // Made and checked through the shell, so that no step re-encodes the names.
    const QString script =
        QStringLiteral("cd \"$1\" && cp \"$2\" \"$(printf 'in\\377.png')\" && "
                       "\"$0\" image -o \"$(printf 'out\\376.png')\" \"$(printf 'in\\377.png')\" && "
                       "test -s \"$(printf 'out\\376.png')\"; status=$?; "
                       "rm -f \"$(printf 'in\\377.png')\" \"$(printf 'out\\376.png')\"; exit $status");
    QProcess shell;
    shell.start(QStringLiteral("/bin/sh"),
                {"-c", script, QStringLiteral(LUMIVEX_BINARY_DIR "/cli/lumivex-cli"), temporary.path(),
                 QStringLiteral(LUMIVEX_TEST_DATA "/rounded-rgba-130x110.png")});
    ASSERT_TRUE(shell.waitForFinished(60000));
    EXPECT_EQ(shell.exitCode(), 0) << shell.readAllStandardError().toStdString();
}
