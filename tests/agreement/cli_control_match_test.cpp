// The command line writes byte for byte what the image control's "save"
// writes for the same picture and values.
#include "tests/cli/cli_run.h"

#include "controls/orb_reflection_image.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{
struct MatchCase {
    const char* name;
    int size;
    int start;
    int end;
    int axis;
    const char* output; // the format follows the name, as in the window
    ImageSaveFormat format;
};

QByteArray SavedByControl(const QString& Picture, const MatchCase& c, const QString& Target)
{
    TOrbReflectionImage control;
    control.Picture()->LoadFile(Picture);
    control.SetReflectionSize(c.size);
    control.SetReflectionOpacityStart(c.start);
    control.SetReflectionOpacityEnd(c.end);
    control.SetReflectionAxis(c.axis);
    QString reason;
    EXPECT_TRUE(control.SaveReflection(Target, c.format, &reason)) << reason.toStdString();
    return ReadAll(Target);
}
} // namespace

TEST(CliMatchesControl, SameBytesAsSaveReflection)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString soft = dir.filePath(QStringLiteral("soft.png"));
    ASSERT_TRUE(SoftEdgedPicture(150, 100).save(soft, "PNG"));
    const QString photo = QStringLiteral(LUMIVEX_TEST_DATA "/photo-opaque-320x240.jpg");
    const QString fixture = QStringLiteral(LUMIVEX_TEST_DATA "/soft-edges-rgba-200x150.png");

    const MatchCase cases[] = {
        {"soft edges, window start values", 50, 120, 1, 1, "a.png", ImageSaveFormat::Png},
        {"soft edges, reflection behind the picture", 80, 255, 0, -7, "b.png", ImageSaveFormat::Png},
        {"soft edges, gap and no fade rows", 0, 200, 40, 20, "c.png", ImageSaveFormat::Png},
        {"soft edges, longer than the picture", 300, 90, 30, 3, "d.png", ImageSaveFormat::Png},
        {"soft edges to JPEG", 60, 180, 5, 2, "e.jpg", ImageSaveFormat::Jpeg},
        {"soft edges to GIF", 40, 255, 0, 0, "f.gif", ImageSaveFormat::Gif},
        {"soft edges to BMP", 40, 128, 64, 1, "g.bmp", ImageSaveFormat::Bmp},
    };
    for (const QString& picture : {soft, photo, fixture}) {
        for (const MatchCase& c : cases) {
            SCOPED_TRACE(picture.toStdString() + ": " + c.name);
            const QString fromCli = dir.filePath(QStringLiteral("cli-") + QString::fromLatin1(c.output));
            const TCliRun run = RunCli({"image", "--size", QString::number(c.size), "--start",
                                        QString::number(c.start), "--end", QString::number(c.end), "--axis",
                                        QString::number(c.axis), "-o", fromCli, picture});
            ASSERT_EQ(run.ExitCode, 0) << run.Stderr.toStdString();
            const QByteArray expected = SavedByControl(
                picture, c, dir.filePath(QStringLiteral("control-") + QString::fromLatin1(c.output)));
            ASSERT_FALSE(expected.isEmpty());
            EXPECT_TRUE(ReadAll(fromCli) == expected);
        }
    }
}
