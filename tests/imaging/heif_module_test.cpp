// HEIC and AVIF through the loadable module lumivex_heif: files decode to the
// pixels and sizes they gave when libheif was linked into the library, and
// AVIF is written to the same bytes. The expected files under
// tests/data/pictures were made by that build.
#include "imaging/codecs/image_decoding.h"
#include "imaging/saving/save_formats.h"
#include "tests/support/test_data.h"

#include <QBuffer>
#include <gtest/gtest.h>

namespace
{
struct HeifReadCase {
    const char* Name;
    const char* File;
    const char* Format;
    const char* Decoded; // the picture as decoded before, as PNG
};

class HeifRead : public ::testing::TestWithParam<HeifReadCase>
{
};

TEST_P(HeifRead, DecodesAsBefore)
{
    const HeifReadCase& c = GetParam();
    const QByteArray bytes = ReadFileBytes(TestDataPath(QString::fromLatin1(c.File)));
    ASSERT_FALSE(bytes.isEmpty());
    const TDecodedImage decoded = DecodeImage(bytes);
    ASSERT_EQ(decoded.Status, TGpStatus::Ok) << decoded.Reason.toStdString();
    EXPECT_EQ(decoded.Format, QByteArray(c.Format));
    const QImage expected = LoadTestImage(QString::fromLatin1(c.Decoded));
    EXPECT_EQ(decoded.Image, expected);
    EXPECT_EQ(DeclaredImageSize(bytes), expected.size());
}

INSTANTIATE_TEST_SUITE_P(Files, HeifRead,
                         ::testing::Values(HeifReadCase{"Heic", "pictures/photo-48x36.heic", "heif",
                                                        "pictures/photo-48x36-heic.png"},
                                           HeifReadCase{"Avif", "pictures/edge-rgba-37x23.avif", "avif",
                                                        "pictures/edge-rgba-37x23-avif.png"}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

struct AvifWriteCase {
    const char* Name;
    int Quality;
    const char* Written; // what the writer gave before
};

class AvifWrite : public ::testing::TestWithParam<AvifWriteCase>
{
};

TEST_P(AvifWrite, WritesTheSameBytes)
{
    const AvifWriteCase& c = GetParam();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QString reason;
    ASSERT_EQ(EncodeInFormat(LoadTestImage(QStringLiteral("pictures/edge-rgba-37x23.png")),
                             *FindSaveFormat(ImageSaveFormat::Avif), c.Quality, &buffer, &reason),
              TGpStatus::Ok)
        << reason.toStdString();
    EXPECT_EQ(bytes, ReadFileBytes(TestDataPath(QString::fromLatin1(c.Written))));
}

INSTANTIATE_TEST_SUITE_P(Qualities, AvifWrite,
                         ::testing::Values(AvifWriteCase{"Lossless", 100,
                                                         "pictures/edge-rgba-37x23-q100.avif"},
                                           AvifWriteCase{"Lossy", 60, "pictures/edge-rgba-37x23-q60.avif"}),
                         [](const auto& Info) { return std::string(Info.param.Name); });
} // namespace
