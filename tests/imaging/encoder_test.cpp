#include "imaging/saving/image_encoders.h"

#include "imaging/gp_raw_format.h"

#include "tests/support/test_names.h"

#include <gtest/gtest.h>

struct FormatCase {
    ImageSaveFormat Format;
    const char* Mime;
    ImageRawFormat Kind;
};

class EncoderLookup : public ::testing::TestWithParam<FormatCase>
{
};

TEST_P(EncoderLookup, EveryFormatFindsTheEncoderWithItsMimeType)
{
    const std::optional<QUuid> id = FindImageEncoder(GetParam().Format);
    ASSERT_TRUE(id.has_value());
    const TImageEncoderInfo* info = FindEncoderInfo(*id);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->MimeType, QString::fromLatin1(GetParam().Mime));
    EXPECT_EQ(RawFormatKindOf(info->FormatId), GetParam().Kind);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, EncoderLookup,
    ::testing::Values(FormatCase{ImageSaveFormat::Png, "image/png", ImageRawFormat::RawPng},
                      FormatCase{ImageSaveFormat::Bmp, "image/bmp", ImageRawFormat::RawBmp},
                      FormatCase{ImageSaveFormat::Jpeg, "image/jpeg", ImageRawFormat::RawJpeg},
                      FormatCase{ImageSaveFormat::Tiff, "image/tiff", ImageRawFormat::RawTiff},
                      FormatCase{ImageSaveFormat::Gif, "image/gif", ImageRawFormat::RawGif},
                      FormatCase{ImageSaveFormat::Webp, "image/webp", ImageRawFormat::RawWebp},
                      FormatCase{ImageSaveFormat::Avif, "image/avif", ImageRawFormat::RawHeif}),
    [](const ::testing::TestParamInfo<FormatCase>& Info) { return TestNameFrom(Info.param.Mime); });

TEST(EncoderTable, ListsBmpJpegGifTiffPngWebpAvifWithDistinctClassIds)
{
    const auto& table = ImageEncoders();
    ASSERT_EQ(table.size(), 7u);
    const char* order[] = {"image/bmp", "image/jpeg", "image/gif", "image/tiff",
                           "image/png", "image/webp", "image/avif"};
    for (std::size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(table[i].MimeType, QString::fromLatin1(order[i]));
        EXPECT_FALSE(table[i].ClassId.isNull());
        EXPECT_TRUE(table[i].Flags & ImageCodecFlagsEncoder);
        for (std::size_t j = 0; j < i; ++j)
            EXPECT_NE(table[i].ClassId, table[j].ClassId);
    }
}

TEST(EncoderLookup, ValuesOutsideTheRangeFindNothing)
{
    EXPECT_FALSE(FindImageEncoder(static_cast<ImageSaveFormat>(7)).has_value());
    EXPECT_FALSE(FindImageEncoder(static_cast<ImageSaveFormat>(255)).has_value());
    EXPECT_EQ(FindEncoderInfo(QUuid()), nullptr);
}

TEST(EncoderLookup, TheFirstOfTwoRecordsWithTheSameMimeTypeWins)
{
    TImageEncoderInfo first, second, other;
    first.ClassId = QUuid::createUuid();
    first.MimeType = QStringLiteral("image/png");
    second.ClassId = QUuid::createUuid();
    second.MimeType = QStringLiteral("image/png");
    other.ClassId = QUuid::createUuid();
    other.MimeType = QStringLiteral("image/jpeg");
    const std::vector<TImageEncoderInfo> list{other, first, second};
    EXPECT_EQ(FindImageEncoder(ImageSaveFormat::Png, list), first.ClassId);
    EXPECT_EQ(FindImageEncoder(ImageSaveFormat::Jpeg, list), other.ClassId);
    EXPECT_FALSE(FindImageEncoder(ImageSaveFormat::Gif, list).has_value());
}

TEST(EncoderLookup, MimeTypesCompareExactlyAndCaseSensitively)
{
    TImageEncoderInfo upper, longer, exact;
    upper.ClassId = QUuid::createUuid();
    upper.MimeType = QStringLiteral("IMAGE/PNG");
    longer.ClassId = QUuid::createUuid();
    longer.MimeType = QStringLiteral("image/png2");
    exact.ClassId = QUuid::createUuid();
    exact.MimeType = QStringLiteral("image/png");
    const std::vector<TImageEncoderInfo> list{upper, longer, exact};
    EXPECT_EQ(FindImageEncoder(ImageSaveFormat::Png, list), exact.ClassId);
}

struct QualityCase {
    int Percent;
    std::uint32_t Expected;
};

class QualityParameters : public ::testing::TestWithParam<QualityCase>
{
};

TEST_P(QualityParameters, HoldOneLongQualityClampedToAPercentage)
{
    const TEncoderParameters block = BuildQualityParameters(GetParam().Percent);
    ASSERT_EQ(block.Count(), 1u);
    const TEncoderParameter& parameter = block.Parameter.front();
    EXPECT_EQ(parameter.Guid, QUuid(QStringLiteral("{1D5BE4B5-FA4A-452D-9CDD-5DB35105E7EB}")));
    EXPECT_EQ(parameter.NumberOfValues, 1u);
    EXPECT_EQ(parameter.Type, 4u);
    ASSERT_EQ(parameter.Values.size(), 1u);
    EXPECT_EQ(parameter.Values.front(), GetParam().Expected);
    EXPECT_EQ(block.Quality(), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Percentages, QualityParameters,
                         ::testing::Values(QualityCase{-5, 0}, QualityCase{250, 100}, QualityCase{0, 0},
                                           QualityCase{100, 100}, QualityCase{42, 42}),
                         [](const ::testing::TestParamInfo<QualityCase>& Info) {
                             return "percent_" + TestNameOf(Info.param.Percent);
                         });
