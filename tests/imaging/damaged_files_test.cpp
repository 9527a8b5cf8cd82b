// Damaged files are refused as damaged (or, when asked, kept with what
// decodes and flagged), and sound files of every layout pass the same checks.
#include "imaging/codecs/image_decoding.h"
#include "tests/support/damaged_files.h"
#include "tests/support/image_test_helpers.h"
#include "tests/support/test_data.h"

#include <QBuffer>
#include <QImageWriter>
#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace
{
QByteArray Written(const QImage& Picture, const char* Format, bool Progressive = false)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, Format);
    writer.setProgressiveScanWrite(Progressive);
    EXPECT_TRUE(writer.write(Picture));
    return bytes;
}

QByteArray Cut(const QByteArray& Bytes, double Fraction)
{
    return Bytes.left(qsizetype(Bytes.size() * Fraction));
}

QByteArray WithByte(QByteArray Bytes, qsizetype At, char Value)
{
    Bytes[At] = Value;
    return Bytes;
}

QByteArray WithNoise(QByteArray Bytes, qsizetype From, qsizetype Count)
{
    QRandomGenerator random(11);
    for (qsizetype i = From; i < From + Count && i < Bytes.size(); ++i)
        Bytes[i] = char(random.bounded(256));
    return Bytes;
}

struct TDamageCase {
    const char* Name;
    QByteArray Bytes;
    bool DecodesWhenKept; // whether a reader still makes a picture of it
};

class DamagedFiles : public ::testing::TestWithParam<TDamageCase>
{
};

// Made on first use, once the application (and its image plugins) exists.
const QImage& Noise()
{
    static const QImage picture = NoisyPicture(64, 48);
    return picture;
}
QByteArray Png()
{
    return Written(Noise(), "png");
}
QByteArray Gif()
{
    return GifOf(Noise());
}
QByteArray Bmp()
{
    return Written(Noise(), "bmp");
}
QByteArray Jpeg()
{
    return Written(Noise(), "jpeg");
}

// Row data of a 4 x 2 RLE picture: a run of four, end of line, a run of four,
// end of bitmap.
const QByteArray SoundRle = QByteArray::fromHex("04010000"
                                                "04020001");
} // namespace

TEST_P(DamagedFiles, AreRefusedAsDamagedUnlessKept)
{
    const TDamageCase& c = GetParam();
    const TDecodedImage refused = DecodeImage(c.Bytes);
    EXPECT_NE(refused.Status, TGpStatus::Ok);
    EXPECT_TRUE(refused.Image.isNull());
    EXPECT_TRUE(refused.Damaged) << refused.Reason.toStdString();
    EXPECT_TRUE(refused.Reason.startsWith(QStringLiteral("damaged image"))) << refused.Reason.toStdString();

    TDecodeOptions keep;
    keep.KeepDamaged = true;
    const TDecodedImage kept = DecodeImage(c.Bytes, keep);
    EXPECT_TRUE(kept.Damaged);
    EXPECT_EQ(kept.Status == TGpStatus::Ok, c.DecodesWhenKept) << kept.Reason.toStdString();
    EXPECT_EQ(!kept.Image.isNull(), c.DecodesWhenKept);
}

INSTANTIATE_TEST_SUITE_P(
    EveryFormat, DamagedFiles,
    ::testing::Values(
        TDamageCase{"png cut in the image data", Cut(Png(), 0.6), false},
        TDamageCase{"png with a wrong checksum", WithByte(Png(), 40, char(Png()[40] ^ 0x10)), true},
        TDamageCase{"png inflate bomb after the rows",
                    PngWithStream(16, 16, ZeroRowsStream(16, 16, 64 << 20)), false},
        TDamageCase{"png compressed data far beyond the rows",
                    PngWithStream(16, 16, ZeroRowsStream(16, 16, 0) + QByteArray(200000, 'x')), false},
        TDamageCase{"gif cut in the image data", Cut(Gif(), 0.7), true},
        TDamageCase{"gif with code size 9", WithByte(Gif(), GifCodeSizeOffset(Gif()), 9), false},
        TDamageCase{"gif with code size 1", WithByte(Gif(), GifCodeSizeOffset(Gif()), 1), true},
        TDamageCase{"gif with random LZW data", WithNoise(Gif(), GifCodeSizeOffset(Gif()) + 2, 200), false},
        TDamageCase{"bmp cut in the pixel rows", Cut(Bmp(), 0.8), true},
        TDamageCase{"bmp pixel offset past the end", WithByte(Bmp(), 13, 0x40), true},
        TDamageCase{"rle bmp run past the row", Rle8Bmp(4, 2, QByteArray::fromHex("0A010001")), true},
        TDamageCase{"rle bmp cut before its end", Rle8Bmp(4, 2, SoundRle.left(5)), true},
        TDamageCase{"jpeg first half with an end marker", Cut(Jpeg(), 0.5) + QByteArray("\xFF\xD9", 2), true},
        TDamageCase{"jpeg cut in the scan", Cut(Jpeg(), 0.6), true}),
    CaseName<TDamageCase>);

struct TSoundCase {
    const char* Name;
    QByteArray Bytes;
    QByteArray FormatHint;
};

class SoundFiles : public ::testing::TestWithParam<TSoundCase>
{
};

TEST_P(SoundFiles, PassTheDamageChecks)
{
    TDecodeOptions options;
    options.FormatHint = GetParam().FormatHint;
    const TDecodedImage decoded = DecodeImage(GetParam().Bytes, options);
    EXPECT_EQ(decoded.Status, TGpStatus::Ok) << decoded.Reason.toStdString();
    EXPECT_FALSE(decoded.Damaged) << decoded.Reason.toStdString();
    EXPECT_FALSE(decoded.Image.isNull());
}

INSTANTIATE_TEST_SUITE_P(
    EveryLayout, SoundFiles,
    ::testing::Values(TSoundCase{"png", Png(), {}},
                      TSoundCase{"png fixture",
                                 ReadFileBytes(TestDataPath(QStringLiteral("rounded-rgba-130x110.png"))),
                                 {}},
                      TSoundCase{"png of zero rows", PngWithStream(16, 16, ZeroRowsStream(16, 16, 0)), {}},
                      TSoundCase{"gif", Gif(), {}}, TSoundCase{"bmp", Bmp(), {}},
                      TSoundCase{"rle bmp", Rle8Bmp(4, 2, SoundRle), {}}, TSoundCase{"jpeg", Jpeg(), {}},
                      TSoundCase{"progressive jpeg", Written(Noise(), "jpeg", true), {}},
                      TSoundCase{"tga by its name", TgaOf(Noise()), "tga"}),
    CaseName<TSoundCase>);
