#include "imaging/saving/save_format_from_name.h"

#include <gtest/gtest.h>

TEST(SaveTargetFromName, TheNamesOwnLastExtensionDecidesElseTheFilterAddsOne)
{
    struct Case {
        const char* typed;
        ImageSaveFormat filter; // the entry selected in the dialog
        const char* written;
        ImageSaveFormat expected;
    } cases[] = {
        {"/tmp/my.bmp.files/x.png", ImageSaveFormat::Gif, "/tmp/my.bmp.files/x.png", ImageSaveFormat::Png},
        {"/tmp/X.JPG/out", ImageSaveFormat::Png, "/tmp/X.JPG/out.png", ImageSaveFormat::Png},
        {"/tmp/t.jpeg", ImageSaveFormat::Png, "/tmp/t.jpeg", ImageSaveFormat::Jpeg},
        {"/tmp/t.JPE", ImageSaveFormat::Png, "/tmp/t.JPE", ImageSaveFormat::Jpeg},
        {"/tmp/t.tiff", ImageSaveFormat::Png, "/tmp/t.tiff", ImageSaveFormat::Tiff},
        {"/tmp/t.TIF", ImageSaveFormat::Png, "/tmp/t.TIF", ImageSaveFormat::Tiff},
        {"/tmp/pic.bmp.gif", ImageSaveFormat::Png, "/tmp/pic.bmp.gif", ImageSaveFormat::Gif},
        {"/tmp/pic.gif.bmp", ImageSaveFormat::Png, "/tmp/pic.gif.bmp", ImageSaveFormat::Bmp},
        {"/tmp/out.GiF", ImageSaveFormat::Jpeg, "/tmp/out.GiF", ImageSaveFormat::Gif},
        {"/tmp/out", ImageSaveFormat::Png, "/tmp/out.png", ImageSaveFormat::Png},
        {"/tmp/out", ImageSaveFormat::Jpeg, "/tmp/out.jpg", ImageSaveFormat::Jpeg},
        {"/tmp/out", ImageSaveFormat::Gif, "/tmp/out.gif", ImageSaveFormat::Gif},
        {"/tmp/out", ImageSaveFormat::Bmp, "/tmp/out.bmp", ImageSaveFormat::Bmp},
        {"/tmp/out", ImageSaveFormat::Tiff, "/tmp/out.tif", ImageSaveFormat::Tiff},
        {"/tmp/notes.v2", ImageSaveFormat::Bmp, "/tmp/notes.v2.bmp", ImageSaveFormat::Bmp},
        {"/tmp/trailing.", ImageSaveFormat::Gif, "/tmp/trailing.gif", ImageSaveFormat::Gif},
    };
    for (const Case& c : cases) {
        const TSaveTarget target = SaveTargetFromName(QString::fromUtf8(c.typed), c.filter);
        EXPECT_EQ(target.FileName, QString::fromUtf8(c.written)) << c.typed;
        EXPECT_EQ(target.Format, c.expected) << c.typed;
    }
}
