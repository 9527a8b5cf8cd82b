// Photos as cameras and phones make them, through the built program: their
// colour profile and metadata kept where the output can hold them,
// converted to sRGB where it cannot, HEIF read and AVIF written.
#include "cli_run.h"
#include "photo_files.h"

#include "imaging/codecs/image_decoding.h"
#include "imaging/metadata/image_packets.h"

#include <QColorSpace>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{
QString Name(const char* Text)
{
    return QString::fromLatin1(Text);
}

// The profile a reader finds in an output: Qt's own readers where they read
// profiles, libheif through the program's decoder for AVIF.
QByteArray ProfileOf(const QString& FileName)
{
    if (FileName.endsWith(QLatin1String(".avif")))
        return DecodeImage(ReadAll(FileName)).Packets.Icc;
    QImageReader reader(FileName);
    return reader.read().colorSpace().iccProfile();
}

class CliPhoto : public ::testing::Test
{
  protected:
    void SetUp() override { ASSERT_TRUE(FDir.isValid()); }
    QString Path(const QString& Name) const { return FDir.filePath(Name); }
    QString Write(const QString& Name, const QByteArray& Bytes)
    {
        EXPECT_FALSE(Bytes.isEmpty()) << Name.toStdString();
        EXPECT_TRUE(WriteFile(Path(Name), Bytes));
        return Path(Name);
    }
    QTemporaryDir FDir;
};

// Input files with an embedded profile: a small one in a JPEG, a large one
// (several JPEG segments) in a PNG, and a HEIC.
struct TProfiledInput {
    const char* Name;
    const char* File;
};
const TProfiledInput ProfiledInputs[] = {
    {"AdobeLikeJpeg", "in.jpg"}, {"P3LikePng", "in.png"}, {"P3LikeHeic", "in.heic"}};
const char* const ProfileOutputs[] = {"png", "jpg", "tif", "webp", "avif"};

class ProfileKept : public CliPhoto,
                    public ::testing::WithParamInterface<std::tuple<TProfiledInput, const char*>>
{
};

TEST_P(ProfileKept, ByteForByte)
{
    const auto& [input, output] = GetParam();
    const QImage picture = PhotoPicture(QSize(96, 64));
    const bool adobe = Name(input.File).endsWith(QLatin1String(".jpg"));
    const QByteArray icc =
        adobe ? MakeRgbProfile(AdobeLikePrimaries) : MakeRgbProfile(P3LikePrimaries, 40000);
    ASSERT_GT(icc.size(), adobe ? 0 : 65536);
    QByteArray file;
    if (Name(input.File).endsWith(QLatin1String(".heic"))) {
        if (!CanEncodeHeic())
            GTEST_SKIP() << "libheif here has no HEVC encoder";
        file = MakeHeic(picture, icc, {});
    } else
        file = ProfiledFile(picture, icc, adobe ? "jpeg" : "png");
    const QString in = Write(Name(input.File), file);
    const QString out = Path(QStringLiteral("out.%1").arg(Name(output)));
    const TCliRun run = RunCli({"image", "-o", out, in});
    ASSERT_EQ(run.ExitCode, 0) << run.Stderr.toStdString();
    EXPECT_TRUE(run.Stderr.isEmpty()) << run.Stderr.toStdString();
    EXPECT_EQ(ProfileOf(out), icc);
}

INSTANTIATE_TEST_SUITE_P(EachFormat, ProfileKept,
                         ::testing::Combine(::testing::ValuesIn(ProfiledInputs),
                                            ::testing::ValuesIn(ProfileOutputs)),
                         [](const auto& Info) {
                             return std::string(std::get<0>(Info.param).Name) + "_to_" +
                                    std::get<1>(Info.param);
                         });

// Where no profile can go (GIF, BMP) or none is wanted (--strip), the
// colours are converted to sRGB: the picture's rows, opaque, come out as
// LittleCMS converts them, and no profile or EXIF is written.
struct TConvertedCase {
    const char* Name;
    QStringList Arguments;
    const char* Output;
    double MinPsnr; // against LittleCMS's conversion: GIF's palette moves colours
};

class ConvertedWhereNoProfileGoes : public CliPhoto, public ::testing::WithParamInterface<TConvertedCase>
{
};

TEST_P(ConvertedWhereNoProfileGoes, NoProfileAndSrgbColours)
{
    const TConvertedCase& c = GetParam();
    const QImage picture = SaturatedPicture(QSize(96, 64));
    const QByteArray icc = MakeRgbProfile(AdobeLikePrimaries);
    const QByteArray exif = MakeExif(1, QStringLiteral("Someone"), picture.size());
    const QString in =
        Write(QStringLiteral("in.png"), WithPngChunk(ProfiledFile(picture, icc, "png"), "eXIf", exif));
    const QString out = Path(Name(c.Output));
    const TCliRun run = RunCli(QStringList{"image"} + c.Arguments + QStringList{"-o", out, in});
    ASSERT_EQ(run.ExitCode, 0) << run.Stderr.toStdString();

    const QByteArray written = ReadAll(out);
    if (written.startsWith("\x89PNG")) {
        const TImagePackets packets = ReadImagePackets(written);
        EXPECT_TRUE(packets.Icc.isEmpty());
        EXPECT_TRUE(packets.Exif.isEmpty());
    }
    const QImage top = QImage::fromData(written).copy(QRect(QPoint(0, 0), picture.size()));
    const double converted = Psnr(top, ConvertedToSrgb(picture, icc));
    EXPECT_GE(converted, c.MinPsnr);
    EXPECT_GT(converted, Psnr(top, picture) + 3.0);
}

INSTANTIATE_TEST_SUITE_P(Outputs, ConvertedWhereNoProfileGoes,
                         ::testing::Values(TConvertedCase{"Bmp", {}, "out.bmp", 45.0},
                                           TConvertedCase{"Gif", {}, "out.gif", 28.0},
                                           TConvertedCase{"StrippedPng", {"--strip"}, "out.png", 45.0}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

// EXIF travels with the picture: the copyright as it was, the orientation
// 1 because the pixels are stored upright, the dimensions the output's.
class ExifKept : public CliPhoto, public ::testing::WithParamInterface<const char*>
{
};

TEST_P(ExifKept, CopyrightUprightAndNewSize)
{
    // Stored lying on its side: the decoder turns it upright, 48 × 64.
    const QImage picture = PhotoPicture(QSize(64, 48));
    const QString copyright = QStringLiteral("© 2026 A. Photographer");
    const QByteArray jpeg =
        WithJpegSegment(ProfiledFile(picture, {}, "jpeg"), 0xE1,
                        QByteArrayLiteral("Exif\0\0") + MakeExif(6, copyright, picture.size()));
    const QString in = Write(QStringLiteral("in.jpg"), jpeg);
    const QString out = Path(QStringLiteral("out.%1").arg(Name(GetParam())));
    const TCliRun run = RunCli({"image", "--size", "30", "-o", out, in});
    ASSERT_EQ(run.ExitCode, 0) << run.Stderr.toStdString();

    const TDecodedImage decoded = DecodeImage(ReadAll(out));
    ASSERT_EQ(decoded.Status, TGpStatus::Ok) << decoded.Reason.toStdString();
    EXPECT_EQ(decoded.Image.size(), QSize(48, 64 + 30 + 1));
    const TExifFacts facts = ReadExifFacts(decoded.Packets.Exif);
    EXPECT_EQ(facts.Copyright, copyright);
    EXPECT_EQ(facts.Orientation, 1);
    EXPECT_EQ(QSize(facts.PixelWidth, facts.PixelHeight), decoded.Image.size());
}

INSTANTIATE_TEST_SUITE_P(EachFormat, ExifKept, ::testing::Values("png", "jpg", "webp", "avif"),
                         [](const auto& Info) { return std::string(Info.param); });

// Hostile metadata costs the metadata, never the picture: a warning names
// the file and the output is written without the bad packet.
struct THostileCase {
    const char* Name;
    const char* File;
    QByteArray (*Make)();
    const char* Warned; // what the warning names
};

QByteArray TruncatedExifJpeg()
{
    const QByteArray exif = MakeExif(1, QStringLiteral("cut"), QSize(32, 32));
    return WithJpegSegment(ProfiledFile(PhotoPicture(QSize(32, 32)), {}, "jpeg"), 0xE1,
                           QByteArrayLiteral("Exif\0\0") + exif.left(exif.size() / 3));
}

QByteArray HugeXmpPng()
{
    QByteArray xmp = "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">";
    xmp += QByteArray(10 << 20, ' ');
    xmp += "</x:xmpmeta>";
    return WithPngChunk(ProfiledFile(PhotoPicture(QSize(32, 32)), {}, "png"), "iTXt",
                        QByteArrayLiteral("XML:com.adobe.xmp\0\0\0\0\0") + xmp);
}

QByteArray WrongLengthIcc(const char* Format)
{
    QByteArray icc = MakeRgbProfile(AdobeLikePrimaries);
    QByteArray file = ProfiledFile(PhotoPicture(QSize(32, 32)), icc, Format);
    // The header's length, one more than the profile has, patched where
    // the writer put it (PNG deflates it: the profile is embedded anew).
    QByteArray wrong = icc;
    const quint32 length = quint32(icc.size()) + 1;
    wrong[0] = char(length >> 24), wrong[1] = char(length >> 16), wrong[2] = char(length >> 8),
    wrong[3] = char(length);
    if (QByteArray(Format) == "jpeg")
        return file.replace(icc, wrong);
    const QByteArray plain = ProfiledFile(PhotoPicture(QSize(32, 32)), {}, "png");
    return WithPngChunk(plain, "iCCP", QByteArrayLiteral("bad\0\0") + qCompress(wrong).mid(4));
}

const THostileCase HostileCases[] = {
    {"TruncatedExif", "in.jpg", TruncatedExifJpeg, "EXIF"},
    {"TenMegabyteXmp", "in.png", HugeXmpPng, "XMP"},
    {"IccWrongLengthInJpeg", "in.jpg", [] { return WrongLengthIcc("jpeg"); }, "ICC"},
    {"IccWrongLengthInPng", "in.png", [] { return WrongLengthIcc("png"); }, "ICC"},
};

class HostileMetadata : public CliPhoto, public ::testing::WithParamInterface<THostileCase>
{
};

TEST_P(HostileMetadata, WarnsAndWritesThePicture)
{
    const THostileCase& c = GetParam();
    const QString in = Write(Name(c.File), c.Make());
    for (const char* format : {"png", "jpg", "webp"}) {
        const QString out = Path(QStringLiteral("out.%1").arg(Name(format)));
        const TCliRun run = RunCli({"image", "-o", out, in});
        EXPECT_EQ(run.ExitCode, 0) << format << ": " << run.Stderr.toStdString();
        EXPECT_TRUE(run.Stderr.contains(in)) << run.Stderr.toStdString();
        EXPECT_TRUE(run.Stderr.contains(QLatin1String("warning"))) << run.Stderr.toStdString();
        EXPECT_TRUE(run.Stderr.contains(Name(c.Warned))) << run.Stderr.toStdString();
        const TDecodedImage decoded = DecodeImage(ReadAll(out));
        EXPECT_EQ(decoded.Status, TGpStatus::Ok) << format;
        EXPECT_TRUE(decoded.Packets.Icc.isEmpty() && decoded.Packets.Exif.isEmpty() &&
                    decoded.Packets.Xmp.isEmpty())
            << format;
    }
}

INSTANTIATE_TEST_SUITE_P(Packets, HostileMetadata, ::testing::ValuesIn(HostileCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

// HEIC from a phone: read upright at its size, refused over --max-pixels
// from its boxes, and damage reported as damage.
TEST_F(CliPhoto, HeicIsReadRefusedOverTheLimitAndDamageIsDamage)
{
    if (!CanEncodeHeic())
        GTEST_SKIP() << "libheif here has no HEVC encoder";
    const QImage picture = PhotoPicture(QSize(80, 60));
    const QByteArray heic = MakeHeic(picture, {}, {});
    const QString in = Write(QStringLiteral("phone.heic"), heic);
    const QString cut = Write(QStringLiteral("cut.heic"), heic.left(heic.size() * 2 / 3));
    struct Case {
        const char* Name;
        QStringList Arguments;
        int Exit;
        const char* Says;
    } cases[] = {
        {"read", {"-o", Path("out.png"), in}, 0, nullptr},
        {"over the limit", {"--max-pixels", "1000", "-o", Path("big.png"), in}, 1, "over the limit"},
        {"cut short", {"-o", Path("cut.png"), cut}, 1, "damaged"},
    };
    for (const Case& c : cases) {
        const TCliRun run = RunCli(QStringList{"image"} + c.Arguments);
        EXPECT_EQ(run.ExitCode, c.Exit) << c.Name << ": " << run.Stderr.toStdString();
        if (c.Says) {
            EXPECT_TRUE(run.Stderr.contains(Name(c.Says))) << c.Name << ": " << run.Stderr.toStdString();
        }
    }
    const QImage out(Path(QStringLiteral("out.png")));
    ASSERT_EQ(out.size(), QSize(80, 60 + 50 + 1));
    // Lossy HEVC: close to the picture, not equal.
    EXPECT_GT(Psnr(out.copy(0, 0, 80, 60), picture), 30.0);
}

// AVIF out: lossless at --quality 100 (the picture's pixels and the fade's
// alpha exactly as PNG has them), lossy and smaller below, alpha kept.
TEST_F(CliPhoto, AvifKeepsAlphaLosslessAtFullQuality)
{
    const QString in = Path(QStringLiteral("soft.png"));
    ASSERT_TRUE(SoftEdgedPicture(64, 48).save(in));
    ASSERT_EQ(RunCli({"image", "-o", Path("ref.png"), in}).ExitCode, 0);
    const QImage reference = QImage(Path("ref.png")).convertToFormat(QImage::Format_ARGB32);
    const TCliRun lossless = RunCli({"image", "-f", "avif", "-o", Path("full.out"), in});
    const TCliRun lossy = RunCli({"image", "--quality", "50", "-o", Path("half.avif"), in});
    ASSERT_EQ(lossless.ExitCode, 0) << lossless.Stderr.toStdString();
    ASSERT_EQ(lossy.ExitCode, 0) << lossy.Stderr.toStdString();
    const TDecodedImage full = DecodeImage(ReadAll(Path("full.out")));
    const TDecodedImage half = DecodeImage(ReadAll(Path("half.avif")));
    ASSERT_EQ(full.Status, TGpStatus::Ok) << full.Reason.toStdString();
    ASSERT_EQ(half.Status, TGpStatus::Ok) << half.Reason.toStdString();
    EXPECT_EQ(full.Format, QByteArray("avif"));
    EXPECT_EQ(full.Image, reference);
    EXPECT_LT(ReadAll(Path("half.avif")).size(), ReadAll(Path("full.out")).size());
    // The fade's alpha survives lossy coding within a few steps.
    const int row = reference.height() - 10;
    EXPECT_NEAR(qAlpha(half.Image.pixel(32, row)), qAlpha(reference.pixel(32, row)), 6);
    EXPECT_LT(qAlpha(half.Image.pixel(32, row)), 250);
}

// GIF of a photo: close to the flattened composition, and the same bytes
// whatever the number of workers.
TEST_F(CliPhoto, GifServesThePhotoAndIsTheSameOnAnyCores)
{
    const QString photo = QStringLiteral(LUMIVEX_TEST_DATA "/photo-opaque-320x240.jpg");
    ASSERT_EQ(RunCli({"image", "-o", Path("ref.png"), photo}).ExitCode, 0);
    ASSERT_EQ(RunCli({"image", "-j", "1", "-o", Path("one.gif"), photo}).ExitCode, 0);
    ASSERT_EQ(RunCli({"image", "-j", "2", "-o", Path("two.gif"), photo}).ExitCode, 0);
    EXPECT_EQ(ReadAll(Path("one.gif")), ReadAll(Path("two.gif")));
    QImage flat(QImage(Path("ref.png")).size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    {
        QPainter painter(&flat);
        painter.drawImage(0, 0, QImage(Path("ref.png")));
    }
    EXPECT_GE(Psnr(QImage(Path("one.gif")), flat), 31.0);
}
} // namespace
