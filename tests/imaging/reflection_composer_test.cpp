#include "imaging/reflection/reflection_composer.h"

#include "imaging/reflection/reflection_builder.h"
#include "tests/support/test_data.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace
{
QImage Filled(int w, int h, QRgb value)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(value);
    return image;
}
} // namespace

TEST(ComposedHeight, NeverCutsThePicture)
{
    struct Case {
        int height, size, axis, expected;
    } cases[] = {
        {220, 50, 20, 290}, {220, 50, 1, 271},  {220, 20, -30, 220},
        {220, 0, 0, 220},   {220, -10, 0, 220}, {220, 50, -7, 263},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ComposedHeight(c.height, {.Size = c.size, .Axis = c.axis}), c.expected)
            << c.size << " " << c.axis;
}

TEST(ComposeReflection, GapRowsAreTransparentAndPartsAreCopiedExactly)
{
    const QImage picture = LoadTestImage(QStringLiteral("soft-edges-rgba-200x150.png"));
    const QImage reflection =
        BuildReflectionImage(picture, {.Size = 50, .OpacityStart = 255, .OpacityEnd = 0});
    const QImage out = ComposeReflection(picture, reflection, {.Size = 50, .Axis = 20});
    ASSERT_EQ(out.size(), QSize(200, 220));
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x)
            ASSERT_EQ(out.pixel(x, y), picture.pixel(x, y));
    for (int y = 150; y < 170; ++y)
        for (int x = 0; x < 200; ++x)
            ASSERT_EQ(out.pixel(x, y), 0u);
    for (int y = 170; y < 220; ++y)
        for (int x = 0; x < 200; ++x)
            ASSERT_EQ(out.pixel(x, y), reflection.pixel(x, y - 170))
                << "faint reflection pixels keep their colour";
}

TEST(ComposeReflection, OverlapBlendsThePictureOverTheReflection)
{
    QImage picture = Filled(4, 10, qRgba(0, 0, 255, 255));
    picture.setPixel(0, 9, qRgba(255, 0, 0, 0));   // transparent hole
    picture.setPixel(1, 9, qRgba(255, 0, 0, 128)); // half transparent
    const QImage reflection = Filled(4, 10, qRgba(0, 255, 0, 200));
    const QImage out = ComposeReflection(picture, reflection, {.Size = 5, .Axis = -3});
    ASSERT_EQ(out.height(), 12);
    EXPECT_EQ(out.pixel(0, 9), qRgba(0, 255, 0, 200)) << "the reflection shows through a hole";
    EXPECT_EQ(out.pixel(2, 9), qRgba(0, 0, 255, 255)) << "an opaque picture covers the reflection";
    const QRgb mixed = out.pixel(1, 9);
    EXPECT_EQ(qAlpha(mixed), 228); // 128 + 200 * 127 / 255 = 227.6
    EXPECT_NEAR(qRed(mixed), 144, 1);
    EXPECT_NEAR(qGreen(mixed), 111, 1);
    EXPECT_EQ(out.pixel(3, 11), qRgba(0, 255, 0, 200)) << "reflection row 4 lies below the picture";
}

TEST(ComposeReflection, BlendAgreesWithQPainterWithinRounding)
{
    const QRgb sources[] = {qRgba(10, 200, 30, 77), qRgba(255, 255, 255, 1), qRgba(0, 0, 0, 254)};
    const QRgb destinations[] = {qRgba(200, 10, 90, 180), qRgba(5, 5, 5, 255), qRgba(90, 90, 90, 3)};
    for (QRgb s : sources)
        for (QRgb d : destinations) {
            QImage canvas = Filled(1, 1, d);
            {
                QPainter painter(&canvas);
                painter.drawImage(0, 0, Filled(1, 1, s));
            }
            const QRgb expected = canvas.pixel(0, 0);
            const QRgb actual = BlendArgbOver(s, d);
            EXPECT_NEAR(qAlpha(actual), qAlpha(expected), 1);
            if (qAlpha(expected) > 20) {
                EXPECT_NEAR(qRed(actual), qRed(expected), 2);
                EXPECT_NEAR(qGreen(actual), qGreen(expected), 2);
                EXPECT_NEAR(qBlue(actual), qBlue(expected), 2);
            }
        }
}

TEST(ComposeReflection, NullPictureGivesNullImage)
{
    EXPECT_TRUE(ComposeReflection(QImage(), QImage(), {.Size = 10, .Axis = 1}).isNull());
}
