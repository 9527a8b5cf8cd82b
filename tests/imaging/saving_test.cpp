#include "imaging/saving/image_saving.h"

#include "imaging/gp_bitmap.h"
#include "imaging/saving/image_encoders.h"
#include "tests/support/gp_test_images.h"

#include "tests/support/test_data.h"
#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace gp_test;

namespace
{

// Left column transparent, middle column half-transparent black, right column opaque red.
QImage PartlyTransparent()
{
    QImage image(3, 4, QImage::Format_ARGB32);
    for (int y = 0; y < 4; ++y) {
        image.setPixel(0, y, 0x00000000u);
        image.setPixel(1, y, 0x80000000u);
        image.setPixel(2, y, 0xFFFF0000u);
    }
    return image;
}

QImage DecodeFile(const QString& Path)
{
    QImageReader reader(Path);
    return reader.read().convertToFormat(QImage::Format_ARGB32);
}

QUuid EncoderFor(ImageSaveFormat Format)
{
    return FindImageEncoder(Format).value_or(QUuid());
}

// The quantisation tables of a JPEG's DQT segments, in file order.
std::vector<std::vector<int>> QuantisationTables(const QByteArray& Jpeg)
{
    std::vector<std::vector<int>> tables;
    const auto* b = reinterpret_cast<const unsigned char*>(Jpeg.constData());
    qsizetype pos = 2;
    while (pos + 4 <= Jpeg.size() && b[pos] == 0xFF) {
        const unsigned char marker = b[pos + 1];
        const int length = (b[pos + 2] << 8) | b[pos + 3];
        if (marker == 0xDA)
            break;
        if (marker == 0xDB) {
            qsizetype p = pos + 4;
            const qsizetype end = pos + 2 + length;
            while (p < end) {
                const bool sixteenBit = (b[p] >> 4) != 0;
                ++p;
                std::vector<int> table;
                for (int i = 0; i < 64; ++i) {
                    table.push_back(sixteenBit ? (b[p] << 8) | b[p + 1] : b[p]);
                    p += sixteenBit ? 2 : 1;
                }
                tables.push_back(table);
            }
        }
        pos += 2 + length;
    }
    return tables;
}

} // namespace

class SavingTest : public ::testing::Test
{
  protected:
    QTemporaryDir Dir;
    QString Path(const char* Name) const { return Dir.filePath(QString::fromLatin1(Name)); }
};

TEST_F(SavingTest, JpegAtQuality100CarriesAllOnesQuantisationTables)
{
    const TEncoderParameters quality = BuildQualityParameters(100);
    ASSERT_EQ(SaveImageFile(Quadrants(), Path("q100.jpg"), EncoderFor(ImageSaveFormat::Jpeg), &quality),
              TGpStatus::Ok);
    const auto tables = QuantisationTables(ReadFileBytes(Path("q100.jpg")));
    ASSERT_FALSE(tables.empty());
    for (const auto& table : tables)
        for (int value : table)
            EXPECT_EQ(value, 1);
}

TEST_F(SavingTest, JpegQualityParameterIsHonoured)
{
    const TEncoderParameters low = BuildQualityParameters(10);
    ASSERT_EQ(SaveImageFile(Quadrants(), Path("q10.jpg"), EncoderFor(ImageSaveFormat::Jpeg), &low),
              TGpStatus::Ok);
    const auto tables = QuantisationTables(ReadFileBytes(Path("q10.jpg")));
    ASSERT_FALSE(tables.empty());
    EXPECT_GT(tables.front().front(), 1);
}

struct FlatCase {
    const char* Name;
    ImageSaveFormat Format;
    const char* File;
    int Tolerance;
};

class SavingFlattened : public SavingTest, public ::testing::WithParamInterface<FlatCase>
{
};

TEST_P(SavingFlattened, TransparentAreasBecomeWhiteAndHalfAlphaIsDrawnOverWhite)
{
    const TEncoderParameters quality = BuildQualityParameters(100);
    const QString file = Path(GetParam().File);
    ASSERT_EQ(SaveImageFile(PartlyTransparent(), file, EncoderFor(GetParam().Format), &quality),
              TGpStatus::Ok);
    const QImage back = DecodeFile(file);
    ASSERT_EQ(back.size(), QSize(3, 4));
    const int tol = GetParam().Tolerance;
    for (int y = 0; y < 4; ++y) {
        const QRgb transparent = back.pixel(0, y), half = back.pixel(1, y), red = back.pixel(2, y);
        EXPECT_EQ(qAlpha(transparent), 255);
        EXPECT_NEAR(qRed(transparent), 255, tol);
        EXPECT_NEAR(qGreen(transparent), 255, tol);
        EXPECT_NEAR(qBlue(transparent), 255, tol);
        EXPECT_NEAR(qGreen(half), 127, tol + 2);
        EXPECT_NEAR(qRed(red), 255, tol);
        EXPECT_NEAR(qGreen(red), 0, tol);
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, SavingFlattened,
                         ::testing::Values(FlatCase{"jpeg", ImageSaveFormat::Jpeg, "flat.jpg", 8},
                                           FlatCase{"gif", ImageSaveFormat::Gif, "flat.gif", 0},
                                           FlatCase{"bmp", ImageSaveFormat::Bmp, "flat.bmp", 0}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

struct AlphaCase {
    const char* Name;
    ImageSaveFormat Format;
    const char* File;
};

class SavingWithAlpha : public SavingTest, public ::testing::WithParamInterface<AlphaCase>
{
};

TEST_P(SavingWithAlpha, KeepsEveryPixelExactlyIncludingPartialAlpha)
{
    QImage image(4, 2, QImage::Format_ARGB32);
    const TArgb pixels[8] = {MakeArgb(1, 200, 100, 50),    MakeArgb(0, 0, 0, 0),
                             MakeArgb(128, 18, 52, 86),    MakeArgb(255, 1, 2, 3),
                             MakeArgb(254, 255, 255, 255), MakeArgb(37, 90, 0, 255),
                             MakeArgb(200, 7, 7, 7),       MakeArgb(255, 255, 0, 0)};
    for (int i = 0; i < 8; ++i)
        image.setPixel(i % 4, i / 4, pixels[i]);
    const TEncoderParameters quality = BuildQualityParameters(100);
    const QString file = Path(GetParam().File);
    ASSERT_EQ(SaveImageFile(image, file, EncoderFor(GetParam().Format), &quality), TGpStatus::Ok);
    const QImage back = DecodeFile(file);
    ASSERT_EQ(back.size(), image.size());
    for (int i = 0; i < 8; ++i) {
        const QRgb got = back.pixel(i % 4, i / 4);
        // A fully transparent pixel has no colour worth keeping. Qt's TIFF
        // reader hands back premultiplied pixels, so compare in that form;
        // the file's own values are checked exactly with another reader below.
        if (ArgbAlpha(pixels[i]) == 0)
            EXPECT_EQ(qAlpha(got), 0);
        else if (GetParam().Format == ImageSaveFormat::Tiff)
            EXPECT_EQ(qPremultiply(got), qPremultiply(pixels[i])) << "pixel " << i;
        else
            EXPECT_EQ(got, pixels[i]) << "pixel " << i;
    }

    // ImageMagick, when installed, reads the stored (non-premultiplied) values as they are.
    const QString convert = QStandardPaths::findExecutable(QStringLiteral("convert"));
    if (convert.isEmpty())
        return;
    QProcess process;
    process.start(convert, {file, QStringLiteral("-depth"), QStringLiteral("8"), QStringLiteral("txt:-")});
    ASSERT_TRUE(process.waitForFinished(30000));
    const QString text = QString::fromLatin1(process.readAllStandardOutput());
    static const QRegularExpression row(QStringLiteral("^(\\d+),(\\d+): \\((\\d+),(\\d+),(\\d+),(\\d+)\\)"),
                                        QRegularExpression::MultilineOption);
    int checked = 0;
    for (auto match = row.globalMatch(text); match.hasNext();) {
        const auto m = match.next();
        const int i = m.captured(2).toInt() * 4 + m.captured(1).toInt();
        const int alpha = m.captured(6).toInt();
        EXPECT_EQ(alpha, ArgbAlpha(pixels[i])) << "pixel " << i;
        if (alpha != 0) {
            EXPECT_EQ(MakeArgb(alpha, m.captured(3).toInt(), m.captured(4).toInt(), m.captured(5).toInt()),
                      pixels[i])
                << "pixel " << i;
        }
        ++checked;
    }
    EXPECT_EQ(checked, 8) << text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Formats, SavingWithAlpha,
                         ::testing::Values(AlphaCase{"png", ImageSaveFormat::Png, "alpha.png"},
                                           AlphaCase{"tiff", ImageSaveFormat::Tiff, "alpha.tif"}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST_F(SavingTest, PngIsCompressedDespiteTheQualityParameter)
{
    QImage plain(200, 200, QImage::Format_ARGB32);
    plain.fill(0xFF336699u);
    const TEncoderParameters quality = BuildQualityParameters(100);
    ASSERT_EQ(SaveImageFile(plain, Path("plain.png"), EncoderFor(ImageSaveFormat::Png), &quality),
              TGpStatus::Ok);
    EXPECT_LT(QFile(Path("plain.png")).size(), 200 * 200 * 4 / 20);
}

TEST_F(SavingTest, EncodeImageWritesTheSameBytesAsTheFile)
{
    const QUuid png = EncoderFor(ImageSaveFormat::Png);
    ASSERT_EQ(SaveImageFile(Quadrants(), Path("same.png"), png, nullptr), TGpStatus::Ok);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_EQ(EncodeImage(Quadrants(), png, nullptr, &buffer), TGpStatus::Ok);
    EXPECT_EQ(bytes, ReadFileBytes(Path("same.png")));
}

struct FailureCase {
    const char* Name;
    ImageSaveFormat Format;
    bool ValidEncoder;
    QSize ImageSize; // empty: no image
};

class SavingFailure : public SavingTest, public ::testing::WithParamInterface<FailureCase>
{
};

TEST_P(SavingFailure, LeavesTheExistingFileUnchangedAndReportsIt)
{
    const QString target = Path("existing.out");
    {
        QFile file(target);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("precious contents");
    }
    QImage image;
    if (!GetParam().ImageSize.isEmpty()) {
        image = QImage(GetParam().ImageSize, QImage::Format_ARGB32);
        image.fill(0xFF00FF00u);
    }
    const QUuid encoder = GetParam().ValidEncoder ? EncoderFor(GetParam().Format) : QUuid();
    QString reason;
    const TGpStatus status = SaveImageFile(image, target, encoder, nullptr, &reason);
    EXPECT_NE(status, TGpStatus::Ok);
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_EQ(ReadFileBytes(target), QByteArray("precious contents"));
    EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"existing.out"});
}

INSTANTIATE_TEST_SUITE_P(Cases, SavingFailure,
                         ::testing::Values(FailureCase{"no_encoder", ImageSaveFormat::Png, false, {4, 4}},
                                           FailureCase{"no_image", ImageSaveFormat::Png, true, {}},
                                           FailureCase{"gif_wider_than_the_format_allows",
                                                       ImageSaveFormat::Gif,
                                                       true,
                                                       {70000, 1}}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST_F(SavingTest, AFolderThatIsARegularFileFailsAndLeavesTheFileAlone)
{
    const QString blocker = Path("blocker");
    {
        QFile file(blocker);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not a folder");
    }
    QString reason;
    EXPECT_EQ(
        SaveImageFile(Quadrants(), blocker + "/out.png", EncoderFor(ImageSaveFormat::Png), nullptr, &reason),
        TGpStatus::Win32Error);
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_EQ(ReadFileBytes(blocker), QByteArray("not a folder"));
    EXPECT_EQ(SaveImageFile(Quadrants(), Path("missing/out.png"), EncoderFor(ImageSaveFormat::Png), nullptr),
              TGpStatus::Win32Error);
}

TEST_F(SavingTest, ABitmapSavesItselfAndKeepsAFailedSaveInLastStatus)
{
    TGPBitmap bitmap(5, 3);
    bitmap.SetPixelAt(4, 2, MakeArgb(255, 1, 2, 3));
    const TEncoderParameters quality = BuildQualityParameters(100);
    EXPECT_EQ(bitmap.SaveFile(Path("bitmap.png"), EncoderFor(ImageSaveFormat::Png), &quality), TGpStatus::Ok);
    EXPECT_EQ(DecodeFile(Path("bitmap.png")).pixel(4, 2), MakeArgb(255, 1, 2, 3));
    EXPECT_EQ(bitmap.SaveFile(Path("bitmap.png"), QUuid(), &quality), TGpStatus::InvalidParameter);
    EXPECT_EQ(bitmap.SaveFile(Path("again.png"), EncoderFor(ImageSaveFormat::Png), &quality), TGpStatus::Ok);
    EXPECT_EQ(bitmap.LastStatus(), TGpStatus::InvalidParameter);
}
