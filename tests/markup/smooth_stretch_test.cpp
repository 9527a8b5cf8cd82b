#include "imaging/gdip_picture.h"
#include "markup/stretch_bitmap_bits.h"
#include "pictures/html_picture.h"

#include "tests/support/image_test_helpers.h"
#include "tests/support/test_data.h"
#include "toolkit/graphics/bitmap.h"
#include "toolkit/graphics/canvas.h"

#include <QBuffer>
#include <functional>
#include <gtest/gtest.h>
#include <set>

// A black and a white pixel stretched to 20 pixels: every stretched drawing
// interpolates, giving a ramp of greys rather than two blocks.
TEST(SmoothStretch, TwoPixelsStretchedShowARampOfGreys)
{
    QByteArray png = ReadFileBytes(TestDataPath(QStringLiteral("pictures/black-white-2x1.png")));
    const auto load = [&](TGraphic& Graphic) {
        QBuffer buffer(&png);
        buffer.open(QIODevice::ReadOnly);
        Graphic.LoadStream(&buffer);
    };
    TBitmap bitmap;
    bitmap.SetImage(QImage::fromData(png));
    const QRect target(0, 0, 20, 1);
    const struct {
        const char* Name;
        std::function<void(TCanvas&)> Draw;
        int Step; // +1: black to white from the left, -1: mirrored
    } cases[] = {
        {"loadable picture",
         [&](TCanvas& Canvas) {
             THTMLPicture picture;
             load(picture);
             picture.SetStretch(true);
             picture.DrawInRect(Canvas, target);
         },
         1},
        {"image control's picture",
         [&](TCanvas& Canvas) {
             TGDIPPicture picture;
             load(picture);
             picture.DrawInRect(Canvas, target);
         },
         1},
        {"bitmap bits", [&](TCanvas& Canvas) { StretchBitmapBits(Canvas, target, bitmap); }, 1},
        {"bitmap bits right to left",
         [&](TCanvas& Canvas) { StretchBitmapBits(Canvas, QRect(20, 0, -20, 1), bitmap); }, -1},
    };
    for (const auto& c : cases) {
        QImage image = MakeImage(20, 1, 0xFFFF0000u);
        TCanvas canvas(&image);
        c.Draw(canvas);
        std::set<int> greys;
        for (int x = 0; x < 20; ++x) {
            const QRgb pixel = image.pixel(x, 0);
            ASSERT_TRUE(qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel))
                << c.Name << " at " << x;
            greys.insert(qRed(pixel));
            if (x > 0) {
                EXPECT_GE(c.Step * (qRed(pixel) - qRed(image.pixel(x - 1, 0))), 0) << c.Name << " at " << x;
            }
        }
        EXPECT_GE(greys.size(), 8u) << c.Name;
        EXPECT_EQ(qRed(image.pixel(c.Step > 0 ? 19 : 0, 0)) - qRed(image.pixel(c.Step > 0 ? 0 : 19, 0)), 255)
            << c.Name;
    }
}
