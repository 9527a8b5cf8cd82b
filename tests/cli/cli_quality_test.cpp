// WebP and JPEG through both commands: lossless WebP unless --quality asks
// for less, and --quality's bounds.
#include "cli_run.h"
#include "tests/support/image_test_helpers.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{
// The kind of a WebP file's first chunk: "VP8L" lossless, "VP8X" extended
// (a lossy picture with an alpha chunk), "VP8 " lossy without alpha.
QByteArray WebpChunk(const QByteArray& Bytes)
{
    if (!Bytes.startsWith("RIFF") || Bytes.mid(8, 4) != "WEBP")
        return {};
    return Bytes.mid(12, 4);
}
} // namespace

struct QualityCase {
    const char* Name;
    QStringList Arguments; // after the command, before the output
    const char* Output;
    int ExitCode;
    const char* Chunk; // of a WebP output; nullptr: not WebP
    const char* ErrorMentions;
};

class CliQuality : public ::testing::TestWithParam<QualityCase>
{
};

TEST_P(CliQuality, WritesLosslessUnlessAskedAndRefusesOutOfRange)
{
    const QualityCase& c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString picture = dir.filePath(QStringLiteral("soft.png"));
    ASSERT_TRUE(SoftEdgedPicture(120, 80).save(picture, "PNG"));
    const QString output = dir.filePath(QString::fromLatin1(c.Output));
    for (const QString& command : {QStringLiteral("image"), QStringLiteral("text")}) {
        SCOPED_TRACE(command.toStdString());
        QStringList arguments{command};
        arguments << c.Arguments << QStringLiteral("-o") << output
                  << (command == QLatin1String("image") ? picture : QStringLiteral("Shine"));
        const TCliRun run = RunCli(arguments);
        ASSERT_EQ(run.ExitCode, c.ExitCode) << run.Stderr.toStdString();
        if (c.ErrorMentions) {
            EXPECT_TRUE(run.Stderr.contains(QLatin1String(c.ErrorMentions))) << run.Stderr.toStdString();
        }
        if (c.Chunk) {
            // A lossy picture with alpha (the image command's soft edges)
            // starts with the extended header; an opaque one (the text's)
            // may be plain lossy.
            const QByteArray chunk = WebpChunk(ReadAll(output));
            if (QByteArray(c.Chunk) == "VP8X" && command == QLatin1String("text"))
                EXPECT_TRUE(chunk == "VP8X" || chunk == "VP8 ") << chunk.toStdString();
            else
                EXPECT_EQ(chunk, QByteArray(c.Chunk));
        }
        QFile::remove(output);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Options, CliQuality,
    ::testing::Values(
        QualityCase{"webp_by_name_is_lossless", {}, "out.webp", 0, "VP8L", nullptr},
        QualityCase{"webp_by_option_is_lossless", {"-f", "webp"}, "out.bin", 0, "VP8L", nullptr},
        QualityCase{"quality_100_stays_lossless", {"--quality", "100"}, "out.webp", 0, "VP8L", nullptr},
        QualityCase{"quality_below_100_is_lossy", {"--quality", "70"}, "out.webp", 0, "VP8X", nullptr},
        QualityCase{"quality_for_jpeg", {"--quality", "40"}, "out.jpg", 0, nullptr, nullptr},
        QualityCase{"quality_0_refused",
                    {"--quality", "0"},
                    "out.webp",
                    2,
                    nullptr,
                    "--quality must be a whole number from 1 to 100"},
        QualityCase{"quality_above_100_refused",
                    {"--quality", "101"},
                    "out.jpg",
                    2,
                    nullptr,
                    "--quality must be a whole number from 1 to 100"},
        QualityCase{"blur_beyond_its_range_refused",
                    {"--blur", "101"},
                    "out.png",
                    2,
                    nullptr,
                    "--blur must be a whole number from 0 to 100"},
        QualityCase{"scale_below_its_range_refused",
                    {"--scale", "9"},
                    "out.png",
                    2,
                    nullptr,
                    "--scale must be a whole number from 10 to 100"}),
    CaseName<QualityCase>);
