#include "imaging/codecs/gif_writer.h"

#include "tests/support/gp_test_images.h"

#include <QBuffer>
#include <QImageReader>
#include <gtest/gtest.h>

using namespace gp_test;

namespace
{

QByteArray WriteGif(const QImage& Image, QString* Reason = nullptr)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!WriteGifImage(Image, &buffer, Reason))
        return {};
    return bytes;
}

QImage ReadGif(const QByteArray& Bytes)
{
    QBuffer buffer;
    buffer.setData(Bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    return reader.read().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

TEST(GifWriter, WritesAGif89aThatQtDecodesAtTheRightSize)
{
    const QByteArray gif = WriteGif(Quadrants(17, 9));
    ASSERT_FALSE(gif.isEmpty());
    EXPECT_TRUE(gif.startsWith("GIF89a"));
    const QImage back = ReadGif(gif);
    ASSERT_EQ(back.size(), QSize(17, 9));
    EXPECT_EQ(back.pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(back.pixel(16, 0), 0xFF0000FFu);
    EXPECT_EQ(back.pixel(0, 8), 0xFF00FF00u);
    EXPECT_EQ(back.pixel(16, 8), 0xFFFFFF00u);
}

TEST(GifWriter, ManyColoursAreQuantisedCloseToTheOriginal)
{
    // A smooth two-way gradient: far more than 256 colours.
    QImage gradient(256, 64, QImage::Format_ARGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 256; ++x)
            gradient.setPixel(x, y, qRgb(x, y * 4, 255 - x));
    const QImage back = ReadGif(WriteGif(gradient));
    ASSERT_EQ(back.size(), gradient.size());
    long totalError = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 256; ++x) {
            const QRgb a = gradient.pixel(x, y), b = back.pixel(x, y);
            totalError +=
                std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
        }
    EXPECT_LT(double(totalError) / (256 * 64 * 3), 8.0);
}

TEST(GifWriter, QuantisedPicturesKeepPureWhite)
{
    QImage image(300, 2, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int x = 0; x < 300; ++x)
        image.setPixel(x, 0, qRgb(x % 256, (x * 7) % 256, (x * 13) % 256));
    const QImage back = ReadGif(WriteGif(image));
    ASSERT_EQ(back.size(), image.size());
    for (int x = 0; x < 300; x += 37)
        EXPECT_EQ(back.pixel(x, 1), 0xFFFFFFFFu) << x;
}

TEST(GifWriter, OnePixelAndOneColourStillMakeAValidFile)
{
    QImage dot(1, 1, QImage::Format_ARGB32);
    dot.fill(0xFF123456u);
    const QImage back = ReadGif(WriteGif(dot));
    ASSERT_EQ(back.size(), QSize(1, 1));
    EXPECT_EQ(back.pixel(0, 0), 0xFF123456u);
}

TEST(GifWriter, RefusesWhatItCannotWrite)
{
    QString reason;
    EXPECT_TRUE(WriteGif(QImage(), &reason).isEmpty());
    EXPECT_FALSE(reason.isEmpty());
    QImage wide(70000, 1, QImage::Format_ARGB32);
    wide.fill(Qt::white);
    reason.clear();
    EXPECT_TRUE(WriteGif(wide, &reason).isEmpty());
    EXPECT_TRUE(reason.contains("too large"));
    QBuffer readOnly;
    readOnly.open(QIODevice::ReadOnly);
    EXPECT_FALSE(WriteGifImage(Quadrants(), &readOnly));
}
