// One picture through the built program, compared with what the shared save
// road writes in process for the same picture and values.
#include "cli_run.h"

#include "imaging/codecs/image_decoding.h"
#include "imaging/saving/reflection_output.h"

#include <QBuffer>
#include <QDir>
#include <QImageReader>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{
class CliImage : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(FDir.isValid());
        FPicture = SoftEdgedPicture(120, 90);
        ASSERT_TRUE(FPicture.save(Path("soft.png"), "PNG"));
    }

    QString Path(const QString& Name) const { return FDir.filePath(Name); }

    // What the control's save road writes for the file's decoded picture.
    QByteArray Expected(const QString& Input, int Size, int Start, int End, int Axis, ImageSaveFormat Format)
    {
        const TDecodedImage decoded = DecodeImage(ReadAll(Input));
        EXPECT_EQ(decoded.Status, TGpStatus::Ok) << decoded.Reason.toStdString();
        const QString name = Path(QStringLiteral("expected-%1").arg(++FExpectedCount));
        QString reason;
        EXPECT_EQ(
            SaveReflectionFile(
                RenderReflection(decoded.Image,
                                 {.Size = Size, .OpacityStart = Start, .OpacityEnd = End, .Axis = Axis}),
                Format, name, &reason),
            TGpStatus::Ok)
            << reason.toStdString();
        return ReadAll(name);
    }

    QTemporaryDir FDir;
    QImage FPicture;
    int FExpectedCount = 0;
};
} // namespace

TEST_F(CliImage, GivenValuesWriteTheSameBytesAsTheSaveRoad)
{
    const TCliRun run = RunCli({"image", "--size", "70", "--start", "200", "--end", "10", "--axis", "-7",
                                "-o", Path("out.png"), Path("soft.png")});
    ASSERT_EQ(run.ExitCode, 0) << run.Stderr.toStdString();
    EXPECT_TRUE(run.Stderr.isEmpty()) << run.Stderr.toStdString();
    const QByteArray written = ReadAll(Path("out.png"));
    ASSERT_FALSE(written.isEmpty());
    EXPECT_EQ(written, Expected(Path("soft.png"), 70, 200, 10, -7, ImageSaveFormat::Png));
}

TEST_F(CliImage, DefaultsAreTheWindowsStartValues)
{
    const TCliRun run = RunCli({"image", "-o", Path("out.png"), Path("soft.png")});
    ASSERT_EQ(run.ExitCode, 0) << run.Stderr.toStdString();
    const QByteArray written = ReadAll(Path("out.png"));
    EXPECT_EQ(written, Expected(Path("soft.png"), 50, 120, 1, 1, ImageSaveFormat::Png));
    const QImage image = QImage::fromData(written);
    EXPECT_EQ(image.size(), QSize(120, 90 + 50 + 1));
}

TEST_F(CliImage, PhotoIsDecodedAsTheControlDecodesIt)
{
    // A JPEG takes the decoder's path through orientation and colour
    // conversion; the CLI must not use a different one.
    const QString photo = QStringLiteral(LUMIVEX_TEST_DATA "/photo-opaque-320x240.jpg");
    const TCliRun run = RunCli({"image", "--size", "30", "-o", Path("photo.jpg"), photo});
    ASSERT_EQ(run.ExitCode, 0) << run.Stderr.toStdString();
    EXPECT_EQ(ReadAll(Path("photo.jpg")), Expected(photo, 30, 120, 1, 1, ImageSaveFormat::Jpeg));
}

TEST_F(CliImage, DashWritesAValidPngToStandardOutput)
{
    const TCliRun run = RunCli({"image", "-o", "-", Path("soft.png")});
    ASSERT_EQ(run.ExitCode, 0) << run.Stderr.toStdString();
    EXPECT_TRUE(run.Stderr.isEmpty()) << run.Stderr.toStdString();
    ASSERT_EQ(SniffFormat(run.Stdout), QStringLiteral("png"));
    QBuffer buffer;
    buffer.setData(run.Stdout);
    QImageReader reader(&buffer, "png");
    const QImage image = reader.read();
    ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
    EXPECT_EQ(image.size(), QSize(120, 141));
    EXPECT_EQ(run.Stdout, Expected(Path("soft.png"), 50, 120, 1, 1, ImageSaveFormat::Png));
}

TEST_F(CliImage, StandardInputToStandardOutput)
{
    const TCliRun run = RunCli({"image", "--size", "20", "-f", "gif", "-"}, {}, ReadAll(Path("soft.png")));
    ASSERT_EQ(run.ExitCode, 0) << run.Stderr.toStdString();
    EXPECT_EQ(SniffFormat(run.Stdout), QStringLiteral("gif"));
    EXPECT_EQ(run.Stdout, Expected(Path("soft.png"), 20, 120, 1, 1, ImageSaveFormat::Gif));
}

TEST_F(CliImage, EveryFormatByOptionAndByName)
{
    struct Case {
        QStringList arguments;
        const char* output;
        const char* format;
    } cases[] = {
        {{"-f", "png"}, "by-option.out", "png"},
        {{"-f", "jpg"}, "by-option.out", "jpeg"},
        {{"-f", "jpeg"}, "by-option.out", "jpeg"},
        {{"-f", "gif"}, "by-option.out", "gif"},
        {{"-f", "bmp"}, "by-option.out", "bmp"},
        {{"-f", "tiff"}, "by-option.out", "tiff"},
        {{"-f", "PNG"}, "by-option.jpg", "png"}, // the option wins over the name
        {{}, "by-name.png", "png"},
        {{}, "by-name.jpg", "jpeg"},
        {{}, "by-name.JPG", "jpeg"},
        {{}, "by-name.gif", "gif"},
        {{}, "by-name.bmp", "bmp"},
        {{}, "by-name.tiff", "tiff"},
        {{}, "by-name.jpeg", "jpeg"},
        {{}, "by-name.jpg.png", "png"},      // the last extension decides
        {{}, "by-name.gif.bmp.jpg", "jpeg"}, // the last extension decides
        {{}, "no-extension", "png"},
    };
    for (const Case& c : cases) {
        const QString output = Path(QString::fromLatin1(c.output));
        QFile::remove(output);
        const TCliRun run =
            RunCli(QStringList{"image"} + c.arguments + QStringList{"-o", output, Path("soft.png")});
        EXPECT_EQ(run.ExitCode, 0) << c.output << ": " << run.Stderr.toStdString();
        const QByteArray bytes = ReadAll(output);
        EXPECT_EQ(SniffFormat(bytes), QString::fromLatin1(c.format))
            << c.arguments.join(' ').toStdString() << " -o " << c.output;
        const QImage image = QImage::fromData(bytes);
        EXPECT_EQ(image.size(), QSize(120, 141)) << c.output;
    }
}

TEST_F(CliImage, FormatsWithoutAlphaAreFlattenedOverWhite)
{
    const TCliRun run = RunCli({"image", "-f", "bmp", "-o", Path("flat.bmp"), Path("soft.png")});
    ASSERT_EQ(run.ExitCode, 0) << run.Stderr.toStdString();
    const QImage image(Path("flat.bmp"));
    ASSERT_FALSE(image.isNull());
    // The fully transparent corner and the gap row before the reflection are
    // white; the opaque middle keeps its colour.
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(60, 90), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(60, 45), FPicture.pixel(60, 45) | 0xFF000000u);
}

TEST_F(CliImage, ExistingOutputSurvivesAFailedRun)
{
    QFile keep(Path("keep.png"));
    ASSERT_TRUE(keep.open(QIODevice::WriteOnly));
    keep.write("precious");
    keep.close();
    QFile damaged(Path("damaged.png"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write(ReadAll(Path("soft.png")).left(100));
    damaged.close();

    const TCliRun run = RunCli({"image", "-o", Path("keep.png"), Path("damaged.png")});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.Stderr.contains(QStringLiteral("damaged.png"))) << run.Stderr.toStdString();
    EXPECT_EQ(ReadAll(Path("keep.png")), QByteArray("precious"));
}

TEST_F(CliImage, UnwritableOutputIsAFailureWithItsReason)
{
    const TCliRun run = RunCli({"image", "-o", "/dev/null/cannot/out.png", Path("soft.png")});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.Stderr.contains(QStringLiteral("soft.png"))) << run.Stderr.toStdString();
    EXPECT_TRUE(run.Stderr.contains(QStringLiteral("/dev/null/cannot/out.png"))) << run.Stderr.toStdString();
}

TEST_F(CliImage, TooLargeACompositionIsRefusedBeforeRendering)
{
    // 60000 × 1 decodes, but with 5000 reflection rows the composition would
    // hold 300 million pixels, over the decoder's own limit.
    QImage wide(60000, 1, QImage::Format_ARGB32);
    wide.fill(qRgba(10, 20, 30, 255));
    ASSERT_TRUE(wide.save(Path("wide.png"), "PNG"));
    const TCliRun run = RunCli({"image", "--size", "5000", "-o", Path("wide-out.png"), Path("wide.png")});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_TRUE(run.Stderr.contains(QStringLiteral("too large"))) << run.Stderr.toStdString();
    EXPECT_FALSE(QFile::exists(Path("wide-out.png")));
}

TEST_F(CliImage, VerboseTellsTheRoadOfEachFile)
{
    const QString photo = QStringLiteral(LUMIVEX_TEST_DATA "/photo-opaque-320x240.jpg");
    const struct {
        QString Input;
        QString Output;
        QStringList Values;
        const char* Road;
    } cases[] = {
        {Path("soft.png"), Path("a.png"), {}, "streamed PNG, 1 band"},
        {Path("soft.png"), Path("b.jpg"), {}, "whole picture (row decoder), JPEG in rows"},
        {photo, Path("e.bmp"), {}, "whole picture, BMP in rows"},
        {photo, Path("g.tif"), {"--axis", "-5"}, "whole picture, TIFF in rows"},
        // A styled side mixes neighbouring rows: the whole composition is made.
        {photo,
         Path("f.jpg"),
         {"--blur", "4", "--direction", "left"},
         "whole picture, JPEG, reflection left"},
        {photo,
         Path("h.png"),
         {"--blur", "4", "--direction", "left"},
         "whole picture, PNG at once (the styled side mixes rows), reflection left"},
        {Path("soft.png"),
         Path("c.png"),
         {"--start", "255", "--end", "255", "--axis", "0"},
         "whole picture (row decoder), PNG at once (alpha known only at the end)"},
        {photo, Path("d.png"), {}, "whole picture, PNG in 1 band"},
    };
    for (const auto& c : cases) {
        const TCliRun run =
            RunCli(QStringList{"image", "--verbose", "-o", c.Output} + c.Values + QStringList{c.Input});
        ASSERT_EQ(run.ExitCode, 0) << run.Stderr.toStdString();
        EXPECT_EQ(run.Stderr, QStringLiteral("lumivex-cli: %1: %2\n").arg(c.Input, QLatin1String(c.Road)));
        EXPECT_FALSE(ReadAll(c.Output).isEmpty());
    }
}
