#include "toolkit/graphics/image_list.h"

#include "toolkit/graphics/bitmap.h"
#include "toolkit/graphics/canvas.h"

#include <QImage>
#include <gtest/gtest.h>

namespace
{

QImage Filled(int Width, int Height, QRgb Colour)
{
    QImage image(Width, Height, QImage::Format_ARGB32);
    image.fill(Colour);
    return image;
}

TEST(ImageList, AddsSinglePicturesAndStrips)
{
    TImageList list;
    list.SetSize(4, 4);
    int changes = 0;
    list.OnChange = [&changes](TImageList*) { ++changes; };
    QImage strip = Filled(12, 4, qRgb(255, 0, 0));
    for (int y = 0; y < 4; ++y)
        for (int x = 4; x < 8; ++x)
            strip.setPixel(x, y, qRgb(0, 255, 0));
    EXPECT_EQ(list.Add(strip), 0);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Image(1).pixel(0, 0), qRgb(0, 255, 0));
    EXPECT_EQ(list.Add(Filled(9, 7, qRgb(0, 0, 255))), 3);
    EXPECT_EQ(list.Image(3).size(), QSize(4, 4));
    EXPECT_EQ(list.Add(QImage()), -1);
    EXPECT_EQ(changes, 2);
    list.Delete(0);
    EXPECT_EQ(list.Count(), 3);
    list.SetWidth(8);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(changes, 4);
}

TEST(ImageList, DrawsBlendedAndCopiesIntoABitmap)
{
    TImageList list;
    list.SetSize(2, 2);
    QImage picture = Filled(2, 2, qRgba(0, 0, 0, 0));
    picture.setPixel(1, 1, qRgb(255, 0, 0));
    list.Add(picture);
    QImage target = Filled(5, 5, qRgb(255, 255, 255));
    TCanvas canvas(&target);
    list.Draw(canvas, 2, 2, 0);
    list.Draw(canvas, 0, 0, 5); // out of range: nothing
    EXPECT_EQ(target.pixel(3, 3), qRgb(255, 0, 0));
    EXPECT_EQ(target.pixel(2, 2), qRgb(255, 255, 255)); // transparent pixel leaves the canvas
    EXPECT_EQ(target.pixel(0, 0), qRgb(255, 255, 255));
    TBitmap bitmap;
    list.GetBitmap(0, &bitmap);
    EXPECT_EQ(bitmap.Width(), 2);
    EXPECT_EQ(bitmap.Image().pixel(1, 1), qRgb(255, 0, 0));
    list.GetBitmap(3, &bitmap);
    EXPECT_TRUE(bitmap.IsEmpty());
}

} // namespace
