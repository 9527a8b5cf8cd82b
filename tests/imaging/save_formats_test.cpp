#include "imaging/saving/save_formats.h"

#include "imaging/codecs/image_decoding.h"
#include "imaging/saving/image_encoders.h"
#include "imaging/saving/image_saving.h"

#include <QBuffer>
#include <QImageReader>
#include <QMimeDatabase>
#include <gtest/gtest.h>

namespace
{
// An opaque red pixel beside a half-transparent blue one.
QImage RedAndHalfBlue()
{
    QImage image(2, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, 0xFFFF0000u);
    image.setPixel(1, 0, 0x800000FFu);
    return image;
}
} // namespace

// Every record must agree with itself: its writer makes files of its MIME
// type, its extension names that type, and alpha survives exactly when the
// record says so.
TEST(SaveFormats, EachRecordsWriterExtensionMimeTypeAndAlphaAgree)
{
    const QMimeDatabase mime;
    for (const TSaveFormatInfo& format : SaveFormats()) {
        SCOPED_TRACE(format.OptionName);
        const std::optional<QUuid> encoder = FindImageEncoder(format.Format);
        ASSERT_TRUE(encoder.has_value());
        QByteArray bytes;
        QBuffer buffer(&bytes);
        ASSERT_TRUE(buffer.open(QIODevice::WriteOnly));
        QString reason;
        ASSERT_EQ(EncodeImage(RedAndHalfBlue(), *encoder, nullptr, &buffer, &reason), TGpStatus::Ok)
            << reason.toStdString();
        buffer.close();

        EXPECT_EQ(mime.mimeTypeForData(bytes).name(), QLatin1String(format.MimeType));
        EXPECT_EQ(mime.mimeTypeForFile(QStringLiteral("x.") + QLatin1String(format.Extension),
                                       QMimeDatabase::MatchExtension)
                      .name(),
                  QLatin1String(format.MimeType));

        QBuffer input(&bytes);
        input.open(QIODevice::ReadOnly);
        // Qt's readers where they know the format; AVIF through libheif.
        QImageReader reader(&input);
        const QImage back = (reader.canRead() ? reader.read() : DecodeImage(bytes).Image)
                                .convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(back.size(), QSize(2, 1));
        if (format.KeepsAlpha)
            EXPECT_EQ(back.pixel(1, 0), 0x800000FFu);
        else
            EXPECT_EQ(qAlpha(back.pixel(1, 0)), 255) << "flattened over white";
    }
}

TEST(SaveFormats, CommandLineNamesFindTheirFormat)
{
    struct Case {
        const char* name;
        std::optional<ImageSaveFormat> expected;
    } cases[] = {
        {"png", ImageSaveFormat::Png},   {"jpg", ImageSaveFormat::Jpeg},
        {"jpeg", ImageSaveFormat::Jpeg}, {"gif", ImageSaveFormat::Gif},
        {"bmp", ImageSaveFormat::Bmp},   {"tiff", ImageSaveFormat::Tiff},
        {"tif", ImageSaveFormat::Tiff},  {"PNG", std::nullopt},
        {"jpe", std::nullopt},           {"", std::nullopt},
        {"webp", ImageSaveFormat::Webp}, {"WEBP", std::nullopt},
        {"avif", ImageSaveFormat::Avif}, {"heic", std::nullopt},
    };
    for (const Case& c : cases) {
        const TSaveFormatInfo* found = FindSaveFormatByOptionName(QString::fromLatin1(c.name));
        EXPECT_EQ(found ? std::optional(found->Format) : std::nullopt, c.expected) << '"' << c.name << '"';
    }
    EXPECT_EQ(SaveFormatOptionNames(), QStringLiteral("png, jpg, gif, bmp, tiff, webp or avif"));
    EXPECT_EQ(FindSaveFormat(static_cast<ImageSaveFormat>(7)), nullptr);
}
