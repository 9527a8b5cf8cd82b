#include "toolkit/graphics/bmp_codec.h"

#include <gtest/gtest.h>

namespace
{

QImage Pattern(QImage::Format Format, bool WithAlpha)
{
    QImage image(13, 7, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgba(x * 19 % 256, y * 37 % 256, (x * y) % 256, WithAlpha ? x * 20 : 255));
    return image.convertToFormat(Format);
}

// Whatever the pixel format handed in, the file is the one of its ARGB32
// pixels, and it reads back to them.
TEST(BmpCodec, AnyPixelFormatIsWrittenAsItsArgbPixels)
{
    struct Case {
        const char* Name;
        QImage::Format Format;
        bool WithAlpha;
    } cases[] = {
        {"opaque rgb32", QImage::Format_RGB32, false},
        {"opaque rgb888", QImage::Format_RGB888, false},
        {"opaque indexed", QImage::Format_Indexed8, false},
        {"premultiplied alpha", QImage::Format_ARGB32_Premultiplied, true},
        {"rgba8888", QImage::Format_RGBA8888, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const QImage image = Pattern(c.Format, c.WithAlpha);
        const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
        const QByteArray file = EncodeBmp(image);
        EXPECT_EQ(file, EncodeBmp(argb));
        QString reason;
        const QImage back = DecodeBmp(file, &reason);
        ASSERT_FALSE(back.isNull()) << reason.toStdString();
        EXPECT_EQ(back.convertToFormat(QImage::Format_ARGB32), argb);
    }
}

} // namespace
