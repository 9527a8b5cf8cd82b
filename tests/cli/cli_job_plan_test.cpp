#include "cli/job_plan.h"

#include "cli/image_options.h"

#include <gtest/gtest.h>

namespace
{
std::vector<TImageJob> Plan(const QStringList& Arguments)
{
    const TCliParseResult parsed = ParseCliArguments(QStringList{"image"} + Arguments);
    EXPECT_TRUE(parsed.Error.isEmpty()) << parsed.Error.toStdString();
    return PlanImageJobs(parsed.Image);
}
} // namespace

TEST(CliJobPlan, OutputNames)
{
    struct Case {
        QStringList arguments;
        const char* output;
        ImageSaveFormat format;
    } cases[] = {
        {{"photos/cat.jpg"}, "photos/cat-reflection.png", ImageSaveFormat::Png},
        {{"cat.jpg"}, "cat-reflection.png", ImageSaveFormat::Png},
        {{"-f", "jpg", "cat.png"}, "cat-reflection.jpg", ImageSaveFormat::Jpeg},
        {{"-d", "out", "-f", "tiff", "a/archive.tar.png"},
         "out/archive.tar-reflection.tif",
         ImageSaveFormat::Tiff},
        {{"-d", "out", "-f", "bmp", "-"}, "out/stdin-reflection.bmp", ImageSaveFormat::Bmp},
        {{"-"}, "-", ImageSaveFormat::Png},
        {{"-o", "x.GIF", "cat.png"}, "x.GIF", ImageSaveFormat::Gif},
        // The output's own last extension decides, not its folders.
        {{"-o", "my.bmp.files/x.png", "cat.png"}, "my.bmp.files/x.png", ImageSaveFormat::Png},
        {{"-o", "t.jpeg", "cat.png"}, "t.jpeg", ImageSaveFormat::Jpeg},
        {{"-o", "t.TIFF", "cat.png"}, "t.TIFF", ImageSaveFormat::Tiff},
        {{"-o", "pic.bmp.gif", "cat.png"}, "pic.bmp.gif", ImageSaveFormat::Gif},
        {{"-o", "-", "-f", "jpg", "cat.png"}, "-", ImageSaveFormat::Jpeg},
        {{"-d", "out", ".hidden"}, "out/image-reflection.png", ImageSaveFormat::Png},
    };
    for (const Case& c : cases) {
        const std::vector<TImageJob> jobs = Plan(c.arguments);
        ASSERT_EQ(jobs.size(), 1u);
        EXPECT_EQ(jobs[0].Output, QString::fromLatin1(c.output)) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(jobs[0].Format, c.format) << c.arguments.join(' ').toStdString();
        EXPECT_TRUE(jobs[0].Refusal.isEmpty());
    }
}

TEST(CliJobPlan, ValuesReachEveryJob)
{
    const std::vector<TImageJob> jobs =
        Plan({"--size", "9", "--start", "8", "--end", "7", "--axis", "-6", "a.png", "b.png"});
    ASSERT_EQ(jobs.size(), 2u);
    for (const TImageJob& job : jobs) {
        EXPECT_EQ(job.Reflection.Size, 9);
        EXPECT_EQ(job.Reflection.OpacityStart, 8);
        EXPECT_EQ(job.Reflection.OpacityEnd, 7);
        EXPECT_EQ(job.Reflection.Axis, -6);
    }
}

TEST(CliJobPlan, ConflictsAreRefusedOnlyForTheLaterJob)
{
    const std::vector<TImageJob> jobs = Plan({"-d", "out", "a/x.png", "b/x.jpg", "c/y.png"});
    ASSERT_EQ(jobs.size(), 3u);
    EXPECT_TRUE(jobs[0].Refusal.isEmpty());
    EXPECT_TRUE(jobs[1].Refusal.contains(QStringLiteral("a/x.png"))) << jobs[1].Refusal.toStdString();
    EXPECT_TRUE(jobs[2].Refusal.isEmpty());
}
