// WebP files as the save-format table writes them, read back by libwebp itself.
#include "imaging/saving/reflection_output.h"

#include "imaging/saving/image_encoders.h"
#include "imaging/saving/image_saving.h"
#include "tests/support/image_test_helpers.h"
#include "tests/support/test_data.h"

#include <QBuffer>
#include <gtest/gtest.h>
#include <webp/decode.h>

namespace
{
QByteArray Encoded(const QImage& Picture, int Quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const TEncoderParameters parameters = BuildQualityParameters(Quality);
    QString reason;
    EXPECT_EQ(EncodeImage(Picture, *FindImageEncoder(ImageSaveFormat::Webp), &parameters, &buffer, &reason),
              TGpStatus::Ok)
        << reason.toStdString();
    return bytes;
}

// Decoded by libwebp into straight (not premultiplied) ARGB32.
QImage DecodedByLibwebp(const QByteArray& Bytes)
{
    int width = 0, height = 0;
    const auto* data = reinterpret_cast<const uint8_t*>(Bytes.constData());
    if (!WebPGetInfo(data, std::size_t(Bytes.size()), &width, &height))
        return {};
    QImage image(width, height, QImage::Format_RGBA8888);
    if (!WebPDecodeRGBAInto(data, std::size_t(Bytes.size()), image.bits(), std::size_t(image.sizeInBytes()),
                            int(image.bytesPerLine())))
        return {};
    return image.convertToFormat(QImage::Format_ARGB32);
}

// A picture with transparent pixels that still hold a colour.
QImage ColouredTransparency()
{
    QImage image(33, 17, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgba(x * 7, y * 13, (x * y) % 256, (x + y) % 3 == 0 ? 0 : 40 * (x % 7)));
    return image;
}
} // namespace

struct LosslessCase {
    const char* Name;
    QImage (*Picture)();
};

class WebpLossless : public ::testing::TestWithParam<LosslessCase>
{
};

TEST_P(WebpLossless, DecodesToExactlyThePixelsWritten)
{
    const QImage picture = GetParam().Picture();
    // 100 is what the window and the command line ask by default.
    const QImage back = DecodedByLibwebp(Encoded(picture, 100));
    ASSERT_FALSE(back.isNull());
    ASSERT_EQ(back.size(), picture.size());
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            ASSERT_EQ(back.pixel(x, y), picture.pixel(x, y)) << "at " << x << ", " << y;
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, WebpLossless,
    ::testing::Values(
        LosslessCase{"photo", [] { return LoadTestImage(QStringLiteral("photo-opaque-320x240.jpg")); }},
        LosslessCase{"soft_edges",
                     [] { return LoadTestImage(QStringLiteral("soft-edges-rgba-200x150.png")); }},
        LosslessCase{"colour_under_transparency", ColouredTransparency},
        LosslessCase{"one_pixel", [] { return MakeImage(1, 1, 0x80123456u); }}),
    CaseName<LosslessCase>);

TEST(WebpLossy, AQualityBelowHundredIsSmallerAndKeepsTheAlpha)
{
    const QImage photo = LoadTestImage(QStringLiteral("soft-edges-rgba-200x150.png"));
    const QByteArray lossless = Encoded(photo, 100);
    const QByteArray lossy = Encoded(photo, 60);
    EXPECT_LT(lossy.size(), lossless.size());
    const QImage back = DecodedByLibwebp(lossy);
    ASSERT_EQ(back.size(), photo.size());
    int alphaOff = 0;
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x)
            alphaOff = std::max(alphaOff, std::abs(qAlpha(back.pixel(x, y)) - qAlpha(photo.pixel(x, y))));
    EXPECT_LE(alphaOff, 2) << "the alpha plane is kept";
}

TEST(WebpLimits, APictureLargerThanWebpAllowsIsRefusedWithTheReason)
{
    const struct {
        const char* Name;
        QSize Size;
        bool Written;
    } cases[] = {
        {"wider", QSize(16384, 1), false},
        {"taller", QSize(1, 16384), false},
        {"at the limit", QSize(16383, 1), true},
    };
    for (const auto& c : cases) {
        QImage picture(c.Size, QImage::Format_ARGB32);
        picture.fill(0xFF336699u);
        QString reason;
        const TGpStatus status =
            SaveReflectionFile(picture, ImageSaveFormat::Webp, QStringLiteral("/dev/null"), &reason);
        EXPECT_EQ(status == TGpStatus::Ok, c.Written) << c.Name;
        if (!c.Written) {
            EXPECT_TRUE(reason.contains(QLatin1String("WebP is limited to 16383 pixels a side")))
                << c.Name << ": " << reason.toStdString();
        }
    }
}
