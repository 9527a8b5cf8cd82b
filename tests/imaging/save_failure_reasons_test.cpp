// A failed save names its real cause, not "Unknown error".
#include "imaging/saving/reflection_output.h"

#include <QImage>
#include <gtest/gtest.h>

TEST(SaveFailureReasons, NameTheCause)
{
    const struct {
        const char* Name;
        QSize Size;
        ImageSaveFormat Format;
        QString Target;
        const char* ReasonMentions;
    } cases[] = {
        {"disk full", QSize(8, 8), ImageSaveFormat::Png, QStringLiteral("/dev/full"),
         "No space left on device"},
        {"jpeg taller than its format allows", QSize(1, 65501), ImageSaveFormat::Jpeg,
         QStringLiteral("/dev/null"), "JPEG is limited to 65500 pixels"},
        {"jpeg wider than its format allows", QSize(65501, 1), ImageSaveFormat::Jpeg,
         QStringLiteral("/dev/null"), "JPEG is limited to 65500 pixels"},
    };
    for (const auto& c : cases) {
        QImage picture(c.Size, QImage::Format_ARGB32);
        picture.fill(0xFF336699u);
        QString reason;
        EXPECT_NE(SaveReflectionFile(picture, c.Format, c.Target, &reason), TGpStatus::Ok) << c.Name;
        EXPECT_TRUE(reason.contains(QLatin1String(c.ReasonMentions)))
            << c.Name << ": " << reason.toStdString();
    }
}
