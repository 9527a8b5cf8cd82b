// Stopping a batch by a signal while it writes: no temporary file is left,
// the batch says what it wrote and exits with 128 + the signal; a temporary
// an earlier run was killed before removing goes with the next write.
#include "cli_run.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>
#include <utime.h>

namespace
{

QStringList Temporaries(const QString& Folder)
{
    return QDir(Folder).entryList({QStringLiteral(".*.tmp")}, QDir::Files | QDir::Hidden);
}

// A picture of noise, slow enough to encode that a signal finds a file half
// written.
QImage NoisyPicture(int Width, int Height)
{
    QImage image(Width, Height, QImage::Format_ARGB32);
    quint32 seed = 12345;
    for (int y = 0; y < Height; ++y) {
        auto* line = reinterpret_cast<quint32*>(image.scanLine(y));
        for (int x = 0; x < Width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            line[x] = seed | 0xFF000000u;
        }
    }
    return image;
}

struct TSignalCase {
    const char* Name;
    int Signal;
};

class CliSignals : public ::testing::TestWithParam<TSignalCase>
{
};

TEST_P(CliSignals, ATemporaryIsRemovedAndTheBatchStopsWithTheSignalsStatus)
{
    const TSignalCase& c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("out")));
    const QImage picture = NoisyPicture(2400, 1600);
    QStringList arguments{"image", "-j", "1", "-d", dir.filePath(QStringLiteral("out"))};
    constexpr int Inputs = 12;
    for (int i = 0; i < Inputs; ++i) {
        const QString name = dir.filePath(QStringLiteral("p%1.png").arg(i));
        if (i == 0)
            ASSERT_TRUE(picture.save(name, "PNG", 100));
        else
            ASSERT_TRUE(QFile::copy(dir.filePath(QStringLiteral("p0.png")), name));
        arguments << name;
    }
    QProcess process;
    process.setProgram(QStringLiteral(LUMIVEX_BINARY_DIR "/cli/lumivex-cli"));
    process.setArguments(arguments);
    process.start();
    ASSERT_TRUE(process.waitForStarted(10000));
    // The signal comes while a temporary file is there.
    QElapsedTimer waited;
    waited.start();
    while (Temporaries(dir.filePath(QStringLiteral("out"))).isEmpty() &&
           process.state() == QProcess::Running && waited.elapsed() < 60000)
        QThread::msleep(2);
    ASSERT_EQ(process.state(), QProcess::Running) << "the batch ended before a temporary file was seen";
    ::kill(pid_t(process.processId()), c.Signal);
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 128 + c.Signal);
    EXPECT_EQ(Temporaries(dir.filePath(QStringLiteral("out"))), QStringList());
    const QString errors = QString::fromLocal8Bit(process.readAllStandardError());
    const QStringList written = QDir(dir.filePath(QStringLiteral("out"))).entryList(QDir::Files);
    EXPECT_LT(written.size(), Inputs);
    EXPECT_TRUE(errors.contains(QStringLiteral("stopped by signal %1").arg(c.Signal)))
        << errors.toStdString();
    EXPECT_TRUE(
        errors.contains(QStringLiteral("%1 of %2 reflections written").arg(written.size()).arg(Inputs)))
        << errors.toStdString();
    // What is there is whole.
    for (const QString& name : written)
        EXPECT_EQ(QImage(dir.filePath(QStringLiteral("out/") + name)).width(), 2400) << name.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Table, CliSignals,
                         ::testing::Values(TSignalCase{"interrupt", SIGINT},
                                           TSignalCase{"terminate", SIGTERM}, TSignalCase{"hang_up", SIGHUP}),
                         [](const ::testing::TestParamInfo<TSignalCase>& Info) {
                             return std::string(Info.param.Name);
                         });

TEST(CliTemporaries, AStaleTemporaryOfTheSameOutputIsRemovedAndNothingElse)
{
    QTemporaryDir dir;
    ASSERT_TRUE(SoftEdgedPicture(20, 10).save(dir.filePath(QStringLiteral("in.png")), "PNG"));
    const struct {
        const char* Name;
        int Age; // seconds before now that it last changed
        bool Stays;
    } files[] = {
        {".out.png.1a2b3c4d.tmp", 3600, false},  // a killed run's temporary
        {".out.png.1a2b3c4d5.tmp", 3600, true},  // not our pattern: nine digits
        {".out.png.notahex.tmp", 3600, true},    // not our pattern
        {".other.png.1a2b3c4d.tmp", 3600, true}, // another output's
        {".out.png.abc.tmp", -3600, true},       // changed after the run began
    };
    for (const auto& file : files) {
        QFile made(dir.filePath(QLatin1String(file.Name)));
        ASSERT_TRUE(made.open(QIODevice::WriteOnly));
        made.write("half");
        made.close();
        const utimbuf changed{time(nullptr) - file.Age, time(nullptr) - file.Age};
        ASSERT_EQ(::utime(QFile::encodeName(made.fileName()).constData(), &changed), 0);
    }
    const TCliRun run = RunCli({"image", "in.png", "-o", "out.png"}, dir.path());
    EXPECT_EQ(run.ExitCode, 0) << run.Stderr.toStdString();
    for (const auto& file : files)
        EXPECT_EQ(QFile::exists(dir.filePath(QLatin1String(file.Name))), file.Stays) << file.Name;
}

} // namespace
