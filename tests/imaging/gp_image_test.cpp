#include "imaging/gp_image.h"

#include "imaging/codecs/gif_writer.h"
#include "imaging/codecs/image_decoding.h"
#include "imaging/gp_bitmap.h"
#include "tests/support/gp_test_images.h"

#include <QBuffer>
#include <QImageWriter>
#include <gtest/gtest.h>

using namespace gp_test;

namespace
{

// Inserts an APP1 EXIF segment holding only an orientation tag right after
// the JPEG's start-of-image marker.
QByteArray WithExifOrientation(const QByteArray& Jpeg, quint16 Orientation)
{
    QByteArray tiff;
    tiff.append("MM\x00\x2A", 4);                 // big-endian TIFF header
    tiff.append(QByteArray::fromHex("00000008")); // first IFD at offset 8
    tiff.append(QByteArray::fromHex("0001"));     // one entry
    tiff.append(QByteArray::fromHex("0112"
                                    "0003"
                                    "00000001")); // Orientation, SHORT, count 1
    tiff.append(char(Orientation >> 8)).append(char(Orientation & 0xFF)).append(QByteArray(2, '\0'));
    tiff.append(QByteArray(4, '\0')); // no next IFD
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
    const int length = int(payload.size()) + 2;
    QByteArray segment("\xFF\xE1", 2);
    segment.append(char(length >> 8)).append(char(length & 0xFF)).append(payload);
    return Jpeg.left(2) + segment + Jpeg.mid(2);
}

} // namespace

TEST(GpImageDecoding, ConstructorStoresOkAndMeasuresTheImage)
{
    TGPImage image(Encode(Quadrants(16, 12), "png"));
    EXPECT_EQ(image.LastStatus(), TGpStatus::Ok);
    EXPECT_EQ(image.QueryWidth(), 16u);
    EXPECT_EQ(image.QueryHeight(), 12u);
    EXPECT_EQ(image.Image().format(), QImage::Format_ARGB32);
}

TEST(GpImageDecoding, StreamConstructorReadsTheRemainingBytes)
{
    QByteArray bytes = Encode(Quadrants(5, 7), "bmp");
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    TGPImage image(&buffer);
    EXPECT_EQ(image.LastStatus(), TGpStatus::Ok);
    EXPECT_EQ(image.QueryWidth(), 5u);
    EXPECT_EQ(image.QueryHeight(), 7u);
}

struct BadInput {
    const char* Name;
    QByteArray Bytes;
};

class GpImageBadInput : public ::testing::TestWithParam<BadInput>
{
};

TEST_P(GpImageBadInput, MeasuresZeroByZeroWithAFailureStatus)
{
    TGPImage image(GetParam().Bytes);
    EXPECT_NE(image.LastStatus(), TGpStatus::Ok);
    EXPECT_FALSE(image.LastErrorText().isEmpty());
    EXPECT_EQ(image.QueryWidth(), 0u);
    EXPECT_EQ(image.QueryHeight(), 0u);
    EXPECT_EQ(image.RawFormatKind(), ImageRawFormat::RawUndefined);
}

namespace
{
// A noisy picture, so the compressed data is long enough to cut.
QImage NoisyImage()
{
    QImage image(64, 64, QImage::Format_ARGB32);
    quint32 seed = 12345;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            seed = seed * 1103515245u + 12345u;
            image.setPixel(x, y, 0xFF000000u | (seed >> 8));
        }
    return image;
}

QByteArray Truncated(const char* Format, double Fraction)
{
    const QByteArray full = Encode(NoisyImage(), Format, 90);
    return full.left(qsizetype(full.size() * Fraction));
}
} // namespace

INSTANTIATE_TEST_SUITE_P(
    Cases, GpImageBadInput,
    ::testing::Values(BadInput{"empty", QByteArray()},
                      BadInput{"text", QByteArray("this is not a picture at all")},
                      BadInput{"random_bytes", QByteArray::fromHex("00ff13a7c5e9100220304050fefefe")},
                      BadInput{"png_cut_in_half", Truncated("png", 0.5)},
                      BadInput{"png_signature_only", QByteArray("\x89PNG\r\n\x1a\n", 8)},
                      BadInput{"jpeg_cut_in_half", Truncated("jpeg", 0.5)},
                      BadInput{"jpeg_cut_in_headers", Truncated("jpeg", 0.02)},
                      BadInput{"gif_header_only", QByteArray("GIF89a\x10\x00\x10\x00", 10)}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(GpImageDecoding, WholeJpegsPassTheCompletenessCheckAndCutProgressiveOnesDoNot)
{
    const QImage noise = NoisyImage();
    QByteArray progressive;
    {
        QBuffer buffer(&progressive);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "jpeg");
        writer.setProgressiveScanWrite(true);
        ASSERT_TRUE(writer.write(noise));
    }
    const QByteArray baseline = Encode(noise, "jpeg", 90);
    // Bytes after the end-of-image marker do not make a file damaged.
    for (const QByteArray& whole : {baseline, progressive, baseline + QByteArray("trailing bytes")}) {
        TGPImage image(whole);
        EXPECT_EQ(image.LastStatus(), TGpStatus::Ok) << image.LastErrorText().toStdString();
        EXPECT_EQ(image.QueryWidth(), 64u);
    }
    TGPImage cut(progressive.left(progressive.size() * 3 / 4));
    EXPECT_NE(cut.LastStatus(), TGpStatus::Ok);
    EXPECT_EQ(cut.QueryWidth(), 0u);
}

struct HugeCase {
    const char* Name;
    quint32 Width, Height;
    TGpStatus Status;
};

class GpImageHugeHeader : public ::testing::TestWithParam<HugeCase>
{
};

TEST_P(GpImageHugeHeader, IsRefusedFromTheHeaderWithAReason)
{
    const HugeCase& c = GetParam();
    const TDecodedImage decoded = DecodeImage(PngDeclaring(c.Width, c.Height));
    EXPECT_EQ(decoded.Status, c.Status);
    EXPECT_TRUE(decoded.Image.isNull());
    EXPECT_EQ(decoded.Format, QByteArray("png"));
    // The reason names the declared size: only the header check writes it.
    EXPECT_EQ(decoded.Reason, QStringLiteral("image too large: %1 × %2").arg(c.Width).arg(c.Height));

    TGPImage image(PngDeclaring(c.Width, c.Height));
    EXPECT_EQ(image.LastStatus(), c.Status);
    EXPECT_EQ(image.QueryWidth(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GpImageHugeHeader,
    ::testing::Values(HugeCase{"sixty_thousand_square", 60000, 60000, TGpStatus::OutOfMemory},
                      HugeCase{"side_above_65535", 70000, 10, TGpStatus::ValueOverflow},
                      HugeCase{"just_over_the_pixel_limit", 16000, 15626, TGpStatus::OutOfMemory}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(GpImageDecoding, APhotoBeyondQtsOwnAllocationLimitStillDecodes)
{
    // In colour, so the reader needs 282 MB: more than the 256 MB Qt allows
    // by default (as a 100-megapixel photo would).
    QImage photo(8400, 8400, QImage::Format_RGB32);
    ASSERT_FALSE(photo.isNull());
    photo.fill(qRgb(200, 120, 40));
    const QByteArray jpeg = Encode(photo, "jpeg", 50);
    photo = QImage();
    ASSERT_FALSE(jpeg.isEmpty());
    const TDecodedImage decoded = DecodeImage(jpeg);
    ASSERT_EQ(decoded.Status, TGpStatus::Ok) << decoded.Reason.toStdString();
    EXPECT_EQ(decoded.Image.size(), QSize(8400, 8400));
    EXPECT_EQ(decoded.Image.format(), QImage::Format_ARGB32);
    EXPECT_NEAR(qRed(decoded.Image.pixel(8399, 8399)), 200, 3);
    EXPECT_NEAR(qBlue(decoded.Image.pixel(0, 0)), 40, 3);
}

TEST(GpImageDecoding, JpegWithOrientationTagComesOutUpright)
{
    // Stored 40 wide and 20 high: red left half, blue right half. Orientation 6
    // asks for a quarter turn clockwise, so upright it is 20 x 40 with red on top.
    QImage stored(40, 20, QImage::Format_ARGB32);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            stored.setPixel(x, y, x < 20 ? 0xFFFF0000u : 0xFF0000FFu);
    const QByteArray jpeg = WithExifOrientation(Encode(stored, "jpeg", 95), 6);

    TGPBitmap bitmap(jpeg);
    ASSERT_EQ(bitmap.LastStatus(), TGpStatus::Ok) << bitmap.LastErrorText().toStdString();
    ASSERT_EQ(bitmap.QueryWidth(), 20u);
    ASSERT_EQ(bitmap.QueryHeight(), 40u);
    TArgb top = 0, bottom = 0;
    ASSERT_EQ(bitmap.PixelAt(10, 5, top), TGpStatus::Ok);
    ASSERT_EQ(bitmap.PixelAt(10, 34, bottom), TGpStatus::Ok);
    EXPECT_GT(ArgbRed(top), 200);
    EXPECT_LT(ArgbBlue(top), 60);
    EXPECT_GT(ArgbBlue(bottom), 200);
    EXPECT_LT(ArgbRed(bottom), 60);
}

struct RawCase {
    const char* Format;
    ImageRawFormat Kind;
};

class GpImageRawFormat : public ::testing::TestWithParam<RawCase>
{
};

TEST_P(GpImageRawFormat, NamesTheFileKindItWasDecodedFrom)
{
    // Qt has no GIF writer; ours makes the GIF.
    QByteArray bytes;
    if (QByteArray(GetParam().Format) == "gif") {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        WriteGifImage(Quadrants(), &buffer);
    } else {
        bytes = Encode(Quadrants(), GetParam().Format);
    }
    ASSERT_FALSE(bytes.isEmpty());
    TGPImage image(bytes);
    ASSERT_EQ(image.LastStatus(), TGpStatus::Ok);
    EXPECT_EQ(image.RawFormatKind(), GetParam().Kind);
    EXPECT_EQ(image.RawFormat(), RawFormatIdentifier(GetParam().Kind));
}

INSTANTIATE_TEST_SUITE_P(
    Formats, GpImageRawFormat,
    ::testing::Values(RawCase{"png", ImageRawFormat::RawPng}, RawCase{"jpeg", ImageRawFormat::RawJpeg},
                      RawCase{"gif", ImageRawFormat::RawGif}, RawCase{"bmp", ImageRawFormat::RawBmp},
                      RawCase{"tiff", ImageRawFormat::RawTiff}, RawCase{"ico", ImageRawFormat::RawIcon}),
    [](const auto& Info) { return std::string(Info.param.Format); });

TEST(GpImageRawFormat, PublishedIdentifiersFollowTheCommonPattern)
{
    EXPECT_EQ(RawFormatIdentifier(ImageRawFormat::RawPng),
              QUuid(QStringLiteral("{B96B3CAF-0728-11D3-9D7B-0000F81EF32E}")));
    EXPECT_EQ(RawFormatIdentifier(ImageRawFormat::RawIcon),
              QUuid(QStringLiteral("{B96B3CB5-0728-11D3-9D7B-0000F81EF32E}")));
    EXPECT_EQ(RawFormatKindOf(QUuid(QStringLiteral("{B96B3CB2-0728-11D3-9D7B-0000F81EF32E}"))),
              ImageRawFormat::RawExif);
    EXPECT_EQ(RawFormatKindOf(QUuid(QStringLiteral("{B96B3CB3-0728-11D3-9D7B-0000F81EF32E}"))),
              ImageRawFormat::RawUndefined);
    EXPECT_TRUE(RawFormatIdentifier(ImageRawFormat::RawUndefined).isNull());
}

TEST(GpImageRawFormat, ANewBitmapIsAMemoryBitmap)
{
    TGPBitmap bitmap(3, 3);
    EXPECT_EQ(bitmap.RawFormatKind(), ImageRawFormat::RawMemoryBmp);
}
