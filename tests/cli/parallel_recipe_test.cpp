// The many-machines recipe of docs/scaling.md, run with GNU parallel on this
// machine alone (the ":" login), must write exactly the files that one plain
// batch with -j writes.
#include "cli_run.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{
constexpr int PictureCount = 36;

// Pictures of several sizes and both kinds of input: PNG with soft alpha
// edges and opaque JPEG.
QStringList WritePictures(const QString& Folder)
{
    QStringList names;
    for (int i = 0; i < PictureCount; ++i) {
        const QImage picture = SoftEdgedPicture(24 + 7 * i, 16 + 5 * (i % 9));
        const bool jpeg = i % 3 == 0;
        const QString name =
            QStringLiteral("shot-%1.%2").arg(i, 2, 10, QLatin1Char('0')).arg(jpeg ? "jpg" : "png");
        const QImage stored = jpeg ? picture.convertToFormat(QImage::Format_RGB32) : picture;
        if (!stored.save(Folder + QLatin1Char('/') + name, jpeg ? "JPG" : "PNG"))
            ADD_FAILURE() << "cannot write " << name.toStdString();
        names << name;
    }
    return names;
}
} // namespace

TEST(ParallelRecipe, SpreadBatchWritesTheSameBytesAsAPlainBatch)
{
    const QString parallel = QStandardPaths::findExecutable(QStringLiteral("parallel"));
    ASSERT_FALSE(parallel.isEmpty()) << "GNU parallel is not installed (tools/setup_debian.sh installs it)";
    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());
    const QString shots = work.filePath(QStringLiteral("shots"));
    const QString plain = work.filePath(QStringLiteral("plain"));
    ASSERT_TRUE(QDir().mkpath(shots));
    const QStringList names = WritePictures(shots);

    const TCliRun batch =
        RunCli(QStringList{"image", "--size", "30", "--start", "200", "-j", "4", "-d", plain} + names, shots);
    ASSERT_EQ(batch.ExitCode, 0) << batch.Stderr.toStdString();

    // The recipe, with this machine as the only login: the inputs are
    // "transferred" and the outputs "returned" in place.
    QProcess recipe;
    recipe.setWorkingDirectory(shots);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PATH"), QStringLiteral(LUMIVEX_BINARY_DIR "/cli:") +
                                                   environment.value(QStringLiteral("PATH")));
    environment.insert(QStringLiteral("HOME"), work.path());
    environment.remove(QStringLiteral("DISPLAY"));
    recipe.setProcessEnvironment(environment);
    recipe.start(parallel, QStringList{"--will-cite", "--sshlogin", "2/:", "--transferfile", "{}", "--return",
                                       "{.}-reflection.png", "--cleanup", "lumivex-cli", "image", "--size",
                                       "30", "--start", "200", "-o", "{.}-reflection.png", "{}", ":::"} +
                               names);
    ASSERT_TRUE(recipe.waitForFinished(300000));
    ASSERT_EQ(recipe.exitCode(), 0) << recipe.readAllStandardError().toStdString();

    for (const QString& name : names) {
        const QString output = QFileInfo(name).completeBaseName() + QStringLiteral("-reflection.png");
        const QByteArray spread = ReadAll(shots + QLatin1Char('/') + output);
        const QByteArray expected = ReadAll(plain + QLatin1Char('/') + output);
        ASSERT_FALSE(expected.isEmpty()) << output.toStdString();
        EXPECT_TRUE(spread == expected) << output.toStdString() << " differs from the plain batch's";
    }
    // The inputs are still there: --cleanup removes only the copies on the
    // other machines.
    EXPECT_EQ(QDir(shots)
                  .entryList({QStringLiteral("shot-??.png"), QStringLiteral("shot-??.jpg")}, QDir::Files)
                  .size(),
              PictureCount);
}
