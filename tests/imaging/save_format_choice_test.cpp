#include "imaging/saving/save_format_choice.h"

#include <gtest/gtest.h>

TEST(SaveFormatFromFileName, SubstringsOfTheUpperCasedPathDecide)
{
    struct Case {
        const char* name;
        ImageSaveFormat expected;
        const char* why;
    } cases[] = {
        {"/tmp/out.png", ImageSaveFormat::Png, "plain png"},
        {"/tmp/out.jpeg", ImageSaveFormat::Png, ".JPEG does not contain .JPG"},
        {"/tmp/out.jpg", ImageSaveFormat::Jpeg, "jpg"},
        {"/tmp/out.gif", ImageSaveFormat::Gif, "lower-case gif"},
        {"/tmp/out.GiF", ImageSaveFormat::Gif, "mixed-case gif"},
        {"/tmp/out", ImageSaveFormat::Png, "no extension"},
        {"/tmp/pic.bmp.gif", ImageSaveFormat::Bmp, ".BMP is tested last and wins"},
        {"/tmp/X.JPG/out.png", ImageSaveFormat::Jpeg, "a folder named X.JPG"},
        {"/tmp/out.tiff", ImageSaveFormat::Png, "tiff is never chosen"},
        {"/tmp/ünïcode.jpg", ImageSaveFormat::Jpeg, "other characters stay as they are"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SaveFormatFromFileName(QString::fromUtf8(c.name)), c.expected) << c.why;
}
