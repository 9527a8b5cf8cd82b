#include "imaging/reflection/reflection_block.h"

#include "imaging/reflection/reflection_builder.h"
#include "tests/support/test_data.h"

#include <gtest/gtest.h>

TEST(ReflectionBlock, EqualsThatPartOfTheFullReflectionOnRealImages)
{
    struct Case {
        const char* file;
        int size, start, end;
        QRect area;
    } cases[] = {
        {"photo-opaque-320x240.jpg", 100, 255, 0, QRect(0, 0, 320, 240)},
        {"photo-opaque-320x240.jpg", 50, 120, 1, QRect(17, 3, 90, 200)},
        {"soft-edges-rgba-200x150.png", 255, 200, 40, QRect(150, 100, 80, 80)}, // cut to the picture
        {"rounded-rgba-130x110.png", 300, 10, 250, QRect(0, 60, 130, 50)},
        {"rounded-rgba-130x110.png", 0, 255, 255, QRect(0, 0, 130, 110)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const QImage picture = LoadTestImage(QString::fromLatin1(c.file));
        const QRect area = c.area.intersected(picture.rect());
        const TReflectionParameters parameters{.Size = c.size, .OpacityStart = c.start, .OpacityEnd = c.end};
        const QImage expected = BuildReflectionImage(picture, parameters)
                                    .copy(area)
                                    .convertToFormat(QImage::Format_ARGB32_Premultiplied);
        const QImage block = BuildReflectionBlock(picture, parameters, c.area);
        ASSERT_EQ(block.size(), area.size());
        ASSERT_EQ(block.format(), expected.format());
        int mismatches = 0;
        for (int y = 0; y < block.height(); ++y)
            for (int x = 0; x < block.width(); ++x)
                mismatches += block.pixel(x, y) != expected.pixel(x, y);
        EXPECT_EQ(mismatches, 0);
    }
    EXPECT_TRUE(
        BuildReflectionBlock(QImage(), {.Size = 10, .OpacityStart = 255}, QRect(0, 0, 5, 5)).isNull());
    EXPECT_TRUE(BuildReflectionBlock(LoadTestImage(QStringLiteral("rounded-rgba-130x110.png")),
                                     {.Size = 10, .OpacityStart = 255}, QRect(500, 0, 5, 5))
                    .isNull());
}

// A picture held in another format has only the rows a block mirrors
// converted; the block is the one its ARGB32 copy gives, classic or styled.
TEST(ReflectionBlock, AnyPictureFormatGivesTheBlockOfItsArgbCopy)
{
    const QImage picture = LoadTestImage(QStringLiteral("soft-edges-rgba-200x150.png"));
    const TReflectionParameters classic{.Size = 60, .OpacityStart = 230, .OpacityEnd = 20};
    TReflectionParameters styled = classic;
    styled.Blur = 9;
    styled.Scale = 70;
    for (const QImage::Format format :
         {QImage::Format_ARGB32_Premultiplied, QImage::Format_RGB32, QImage::Format_RGBA8888,
          QImage::Format_Indexed8, QImage::Format_RGB888})
        for (const TReflectionParameters& parameters : {classic, styled})
            for (const QRect area : {QRect(0, 0, 200, 150), QRect(30, 20, 60, 30), QRect(10, 70, 50, 40)}) {
                SCOPED_TRACE(testing::Message() << "format " << format << ", blur " << parameters.Blur << ", "
                                                << area.y() << ".." << area.bottom());
                const QImage held = picture.convertToFormat(format);
                const QImage expected =
                    BuildReflectionBlock(held.convertToFormat(QImage::Format_ARGB32), parameters, area);
                ASSERT_FALSE(expected.isNull());
                EXPECT_TRUE(BuildReflectionBlock(held, parameters, area) == expected);
                EXPECT_TRUE(BuildReflectionImage(held, parameters) ==
                            BuildReflectionImage(held.convertToFormat(QImage::Format_ARGB32), parameters));
            }
}
