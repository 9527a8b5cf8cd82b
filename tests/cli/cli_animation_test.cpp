// An animated GIF through the built program: the road it takes, the warning
// when the output holds one picture, and the refusal of a file whose frames
// together pass the pixel limit.
#include "cli_run.h"

#include "tests/support/animated_files.h"
#include "tests/support/image_test_helpers.h"

#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{
struct TCliAnimationCase {
    const char* Name;
    int Frames; // of the input, 1 × 1 each on a 100 × 100 canvas after the first three colours
    const char* Output;
    QStringList Options;
    int ExitCode;
    const char* Line; // on standard error, after "lumivex-cli: in.gif: "
    int FramesOut;    // read back; 0: no file
};

class CliAnimation : public ::testing::TestWithParam<TCliAnimationCase>
{
};

TEST_P(CliAnimation, TheRoadTheWarningOrTheRefusalIsTold)
{
    const TCliAnimationCase& c = GetParam();
    QTemporaryDir dir;
    const QSize canvas(100, 100);
    std::vector<TGifFrameRecipe> frames{SolidGifFrame(canvas, 0xFFFF0000u),
                                        SolidGifFrame(canvas, 0xFF00FF00u),
                                        SolidGifFrame(canvas, 0xFF0000FFu)};
    frames.resize(std::size_t(c.Frames), SolidGifFrame(QSize(1, 1), 0xFF000000u));
    QFile input(dir.filePath(QStringLiteral("in.gif")));
    ASSERT_TRUE(input.open(QIODevice::WriteOnly));
    input.write(MakeAnimatedGif(canvas, frames, 0));
    input.close();
    const QString output = dir.filePath(QString::fromLatin1(c.Output));
    const TCliRun run = RunCli(
        QStringList{"image", "--verbose"} + c.Options + QStringList{"-o", output, "in.gif"}, dir.path());
    EXPECT_EQ(run.ExitCode, c.ExitCode) << run.Stderr.toStdString();
    EXPECT_TRUE(run.Stderr.contains(QStringLiteral("lumivex-cli: in.gif: ") + QString::fromUtf8(c.Line)))
        << run.Stderr.toStdString();
    if (c.FramesOut == 0) {
        EXPECT_FALSE(QFile::exists(output));
        return;
    }
    QImageReader reader(output);
    EXPECT_EQ(reader.size(), QSize(100, 151));
    EXPECT_EQ(reader.imageCount(), c.FramesOut);
}

INSTANTIATE_TEST_SUITE_P(
    Animations, CliAnimation,
    ::testing::Values(
        TCliAnimationCase{"Gif", 3, "out.gif", {}, 0, "animation, 3 frames, GIF", 3},
        TCliAnimationCase{"Webp", 3, "out.webp", {}, 0, "animation, 3 frames, WebP", 3},
        TCliAnimationCase{"Png",
                          3,
                          "out.png",
                          {},
                          0,
                          "warning: only the first of the 3 frames is written (PNG holds one picture)",
                          1},
        TCliAnimationCase{
            "HundredThousandFrames",
            100'000,
            "out.gif",
            {},
            1,
            "the animation's 100000 frames of 100 × 100 pixels are 1000000000 pixels, over the limit",
            0},
        TCliAnimationCase{
            "OverMaxPixels",
            3,
            "out.gif",
            {"--max-pixels", "29999"},
            1,
            "the animation's 3 frames of 100 × 100 pixels are 30000 pixels, over the limit of 29999 "
            "(raise it with --max-pixels N)",
            0}),
    CaseName<TCliAnimationCase>);
} // namespace
