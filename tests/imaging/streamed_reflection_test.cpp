// The streamed road (PNG rows decoded, composed and encoded band by band)
// writes what the whole-picture road writes, the same bytes on any number
// of threads, and nothing at all for a file found damaged half-way.
#include "imaging/codecs/image_decoding.h"
#include "imaging/png/png_encoder.h"
#include "imaging/saving/file_reflection.h"
#include "imaging/saving/reflection_output.h"
#include "imaging/saving/saving_plan.h"
#include "imaging/thread_budget.h"
#include "tests/support/image_test_helpers.h"
#include "tests/support/test_data.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <thread>
#include <vector>

namespace
{
QByteArray Chunk(const char* Type, const QByteArray& Body)
{
    QByteArray chunk(4, '\0');
    qToBigEndian<quint32>(quint32(Body.size()), chunk.data());
    const QByteArray typed = QByteArray(Type, 4) + Body;
    QByteArray crc(4, '\0');
    qToBigEndian<quint32>(
        quint32(crc32(0, reinterpret_cast<const Bytef*>(typed.constData()), uInt(typed.size()))), crc.data());
    return chunk + typed + crc;
}

// A filter applied by hand, each row with the next of the five types, so the
// decoder has to undo all of them.
void FilterRow(int Type, const std::uint8_t* Above, std::uint8_t* Row, std::size_t Size, int Bpp)
{
    std::vector<std::uint8_t> raw(Row, Row + Size);
    for (std::size_t i = 0; i < Size; ++i) {
        const int a = i >= std::size_t(Bpp) ? raw[i - Bpp] : 0, b = Above[i],
                  c = i >= std::size_t(Bpp) ? Above[i - Bpp] : 0;
        const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
        const int predictor = Type == 1   ? a
                              : Type == 2 ? b
                              : Type == 3 ? (a + b) / 2
                              : Type == 4 ? (pa <= pb && pa <= pc ? a
                                             : pb <= pc           ? b
                                                                  : c)
                                          : 0;
        Row[i] = std::uint8_t(raw[i] - predictor);
    }
}

// A PNG of random samples: Depth bits, ColourType as the format numbers them.
// AlterStream, when given, changes the zlib stream before it is split into chunks.
QByteArray RandomPng(int Width, int Height, int ColourType, int Depth, const QByteArray& Extra = {},
                     int BadFilterRow = -1, void (*AlterStream)(QByteArray&) = nullptr)
{
    const int channels = ColourType == 2 ? 3 : ColourType == 4 ? 2 : ColourType == 6 ? 4 : 1;
    const std::size_t rowBytes = (std::size_t(Width) * channels * Depth + 7) / 8;
    const int bpp = std::max(1, channels * Depth / 8);
    std::mt19937 random(5);
    QByteArray raw;
    std::vector<std::uint8_t> above(rowBytes, 0), row(rowBytes);
    for (int y = 0; y < Height; ++y) {
        for (std::uint8_t& sample : row)
            sample = std::uint8_t(random() % 7 == 0 ? 0 : random());
        // Palette indices stay within a 16-entry palette.
        if (ColourType == 3 && Depth == 8)
            for (std::uint8_t& sample : row)
                sample &= 0x0F;
        std::vector<std::uint8_t> filtered = row;
        FilterRow(y % 5, above.data(), filtered.data(), rowBytes, bpp);
        raw.append(char(y == BadFilterRow ? 7 : y % 5));
        raw.append(reinterpret_cast<const char*>(filtered.data()), qsizetype(rowBytes));
        above = row;
    }
    uLongf packedSize = compressBound(uLong(raw.size()));
    QByteArray packed(qsizetype(packedSize), '\0');
    compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
              reinterpret_cast<const Bytef*>(raw.constData()), uLong(raw.size()), 6);
    packed.truncate(qsizetype(packedSize));
    if (AlterStream)
        AlterStream(packed);

    QByteArray header(13, '\0');
    qToBigEndian<quint32>(quint32(Width), header.data());
    qToBigEndian<quint32>(quint32(Height), header.data() + 4);
    header[8] = char(Depth);
    header[9] = char(ColourType);
    QByteArray file = QByteArray("\x89PNG\r\n\x1a\n", 8) + Chunk("IHDR", header) + Extra;
    // Image data split over several chunks, as writers do.
    for (qsizetype at = 0; at < packed.size(); at += 8192)
        file += Chunk("IDAT", packed.mid(at, 8192));
    return file + Chunk("IEND", {});
}

QByteArray Palette16(const QByteArray& Alphas = {})
{
    QByteArray palette;
    for (int i = 0; i < 16; ++i)
        palette += QByteArray::fromStdString({char(i * 16), char(255 - i * 9), char(i * 5)});
    return Chunk("PLTE", palette) + (Alphas.isEmpty() ? QByteArray() : Chunk("tRNS", Alphas));
}

constexpr TReflectionParameters Third{.Size = 333, .OpacityStart = 255, .OpacityEnd = 0, .Axis = 1};
constexpr TReflectionParameters Behind{.Size = 40, .OpacityStart = 200, .OpacityEnd = 10, .Axis = -7};
constexpr TReflectionParameters Longer{.Size = 500, .OpacityStart = 120, .OpacityEnd = 1, .Axis = 3};
// Styled: rows blurred with their neighbours, a squashed mirror.
constexpr TReflectionParameters Blurred{
    .Size = 300, .OpacityStart = 255, .OpacityEnd = 0, .Axis = 1, .Blur = 20};
constexpr TReflectionParameters BlurredBehind{
    .Size = 60, .OpacityStart = 200, .OpacityEnd = 10, .Axis = -9, .Blur = 7, .Scale = 40};
constexpr TReflectionParameters SquashedLonger{
    .Size = 500, .OpacityStart = 120, .OpacityEnd = 1, .Axis = 3, .Blur = 100, .Scale = 10};

struct TRoadCase {
    const char* Name;
    QByteArray File;
    TReflectionParameters Values;
    bool Streams; // whether the streamed road takes the file
};

class StreamedRoad : public ::testing::TestWithParam<TRoadCase>
{
};

TFileReflection Write(const QByteArray& File, const TReflectionParameters& Values, ImageSaveFormat Format,
                      TOutputSink Sink, TReflectionRoad Road = TReflectionRoad::Fastest,
                      const TDecodeOptions& Options = {})
{
    TSaveRequest request;
    request.Input = &File;
    request.Options = Options;
    request.Reflection = Values;
    request.Format = Format;
    request.Sink = std::move(Sink);
    request.Road = Road;
    return WriteFileReflection(request);
}

bool Streamed(const TFileReflection& Written)
{
    return Written.Plan.Read == TReadRoad::Streamed;
}

QImage Written(const QString& Path)
{
    const TDecodedImage decoded = DecodeImage(ReadFileBytes(Path));
    EXPECT_EQ(decoded.Status, TGpStatus::Ok) << decoded.Reason.toStdString();
    return decoded.Image;
}
} // namespace

TEST_P(StreamedRoad, WritesThePixelsOfTheWholePictureRoad)
{
    const TRoadCase& c = GetParam();
    QTemporaryDir folder;
    const QString streamedPath = folder.filePath(QStringLiteral("streamed.png"));
    const QString wholePath = folder.filePath(QStringLiteral("whole.png"));
    const TFileReflection streamed = Write(c.File, c.Values, ImageSaveFormat::Png, {streamedPath});
    const TFileReflection whole =
        Write(c.File, c.Values, ImageSaveFormat::Png, {wholePath}, TReflectionRoad::WholePicture);
    ASSERT_EQ(streamed.Status, TGpStatus::Ok) << streamed.Failure.Text.toStdString();
    ASSERT_EQ(whole.Status, TGpStatus::Ok) << whole.Failure.Text.toStdString();
    EXPECT_EQ(Streamed(streamed), c.Streams);
    const QImage streamedPixels = Written(streamedPath), wholePixels = Written(wholePath);
    ASSERT_EQ(streamedPixels.size(), wholePixels.size());
    EXPECT_TRUE(streamedPixels == wholePixels);
    EXPECT_EQ(ReadFileBytes(streamedPath), ReadFileBytes(wholePath));

    QByteArray sent;
    QBuffer device(&sent);
    device.open(QIODevice::WriteOnly);
    ASSERT_EQ(Write(c.File, c.Values, ImageSaveFormat::Png, {{}, &device}).Status, TGpStatus::Ok);
    EXPECT_EQ(sent, ReadFileBytes(streamedPath)) << "the same file on a device";

    // Other formats compose the whole picture, which the fastest road reads
    // through the row decoder where it can: the same bytes.
    for (const ImageSaveFormat format : {ImageSaveFormat::Bmp, ImageSaveFormat::Jpeg}) {
        const QString fast = folder.filePath(QStringLiteral("fast.out")),
                      reference = folder.filePath(QStringLiteral("reference.out"));
        ASSERT_EQ(Write(c.File, c.Values, format, {fast}).Status, TGpStatus::Ok);
        ASSERT_EQ(Write(c.File, c.Values, format, {reference}, TReflectionRoad::WholePicture).Status,
                  TGpStatus::Ok);
        EXPECT_EQ(ReadFileBytes(fast), ReadFileBytes(reference)) << "format " << int(format);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, StreamedRoad,
    ::testing::Values(
        TRoadCase{"rgba 8 bit, bands that do not divide the height", RandomPng(701, 997, 6, 8), Third, true},
        TRoadCase{"rgba behind the picture", RandomPng(301, 97, 6, 8), Behind, true},
        TRoadCase{"rgba blurred", RandomPng(301, 413, 6, 8), Blurred, true},
        TRoadCase{"rgba blurred and squashed behind the picture", RandomPng(301, 97, 6, 8), BlurredBehind,
                  true},
        TRoadCase{"grey squashed most, strongest blur", RandomPng(99, 70, 0, 8), SquashedLonger, true},
        TRoadCase{"rgba reflection longer than the picture", RandomPng(64, 70, 6, 8), Longer, true},
        TRoadCase{"one row", RandomPng(257, 1, 6, 8), Third, true},
        TRoadCase{"one column", RandomPng(1, 611, 6, 8), Third, true},
        TRoadCase{"rgba 16 bit", RandomPng(97, 83, 6, 16), Third, false},
        TRoadCase{"rgb 16 bit", RandomPng(97, 83, 2, 16), Behind, false},
        TRoadCase{"rgb 8 bit with a transparent colour",
                  RandomPng(90, 60, 2, 8, Chunk("tRNS", QByteArray(6, '\0'))), Third, true},
        TRoadCase{"grey 8 bit", RandomPng(99, 70, 0, 8), Third, true},
        TRoadCase{"grey 16 bit", RandomPng(99, 70, 0, 16), Third, false},
        TRoadCase{"grey 1 bit", RandomPng(77, 50, 0, 1), Third, true},
        TRoadCase{"grey 4 bit with a transparent level",
                  RandomPng(77, 50, 0, 4, Chunk("tRNS", QByteArray("\0\x05", 2))), Third, false},
        TRoadCase{"grey and alpha 8 bit", RandomPng(99, 70, 4, 8), Behind, true},
        TRoadCase{"grey and alpha 16 bit", RandomPng(99, 70, 4, 16), Third, false},
        TRoadCase{"palette 8 bit with alpha",
                  RandomPng(120, 90, 3, 8, Palette16(QByteArray("\x00\x40\x80\xff\x10", 5))), Third, true},
        TRoadCase{"palette 4 bit", RandomPng(121, 91, 3, 4, Palette16()), Behind, true},
        TRoadCase{"interlaced, the whole-picture road",
                  ReadFileBytes(TestDataPath("interlaced-rgb16-12x9.png")), Third, false},
        TRoadCase{"written by another program", ReadFileBytes(TestDataPath("soft-edges-rgba-200x150.png")),
                  Third, true},
        TRoadCase{"no fade: alpha unknown until the end, the whole-picture road", RandomPng(50, 40, 6, 8),
                  TReflectionParameters{.Size = 40, .OpacityStart = 255, .OpacityEnd = 255, .Axis = 0},
                  false}),
    CaseName<TRoadCase>);

// The bands depend on the picture alone, so the file is the same whatever
// the cores or the batch's share of them. The picture and its reflection,
// 1334 rows of 3205 bytes, make five bands (a band holds at least 1 MB), the
// last one short: one thread, three over five bands, more threads than bands.
TEST(StreamedRoadBytes, AreTheSameOnAnyNumberOfThreads)
{
    const QByteArray file = RandomPng(801, 1000, 6, 8);
    QTemporaryDir folder;
    QByteArray first;
    for (const int threads : {1, 3, 8}) {
        const TThreadBudget budget(threads);
        const QString path = folder.filePath(QStringLiteral("out-%1.png").arg(threads));
        const TFileReflection written = Write(file, Third, ImageSaveFormat::Png, {path});
        ASSERT_EQ(written.Status, TGpStatus::Ok) << written.Failure.Text.toStdString();
        ASSERT_TRUE(Streamed(written));
        ASSERT_GE(written.Plan.Bands, 5) << "too few bands to split";
        const QByteArray bytes = ReadFileBytes(path);
        if (first.isEmpty())
            first = bytes;
        EXPECT_EQ(bytes, first) << threads << " threads";

        TPngEncodeOptions options;
        options.Threads = threads;
        EXPECT_EQ(EncodePng(Written(path), options), first)
            << "the encoder alone on " << threads << " threads";
    }
}

namespace
{
// A chunk's body changed in place and its checksum made right again, so the
// damage shows only when the data is inflated.
QByteArray DamagedInside(QByteArray File, qsizetype Offset, char Value)
{
    const auto* bytes = reinterpret_cast<const uchar*>(File.constData());
    qsizetype pos = 8;
    while (pos < File.size()) {
        const quint32 length = qFromBigEndian<quint32>(bytes + pos);
        if (Offset >= pos + 8 && Offset < pos + 8 + qsizetype(length)) {
            File[Offset] = Value;
            const quint32 crc = quint32(crc32(0, bytes + pos + 4, length + 4));
            qToBigEndian<quint32>(crc, File.data() + pos + 8 + length);
            return File;
        }
        pos += 12 + length;
    }
    ADD_FAILURE() << "no chunk body at " << Offset;
    return File;
}

struct TDamagedCase {
    const char* Name;
    QByteArray File;
};

class StreamedDamage : public ::testing::TestWithParam<TDamagedCase>
{
};
} // namespace

TEST_P(StreamedDamage, LeavesNothingBehindAndIsRefusedAsBefore)
{
    const TDamagedCase& c = GetParam();
    QTemporaryDir folder;
    const QString kept = folder.filePath(QStringLiteral("kept.png"));
    ASSERT_TRUE(QFile(kept).open(QIODevice::WriteOnly));
    const QString fresh = folder.filePath(QStringLiteral("fresh.png"));
    const TDecodedImage reference = DecodeImage(c.File);
    ASSERT_NE(reference.Status, TGpStatus::Ok);

    for (const QString& target : {kept, fresh}) {
        const TFileReflection refused = Write(c.File, Third, ImageSaveFormat::Png, {target});
        EXPECT_NE(refused.Status, TGpStatus::Ok);
        EXPECT_EQ(refused.Failure.Text, reference.Reason);
        EXPECT_EQ(refused.Failure.Kind, reference.Kind);
    }
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("kept.png")});
    // Standard output and other devices get nothing either.
    QByteArray sent;
    QBuffer device(&sent);
    device.open(QIODevice::WriteOnly);
    EXPECT_NE(Write(c.File, Third, ImageSaveFormat::Png, {{}, &device}).Status, TGpStatus::Ok);
    EXPECT_TRUE(sent.isEmpty());
    EXPECT_EQ(QFileInfo(kept).size(), 0);

    TDecodeOptions lenient;
    lenient.KeepDamaged = true;
    const TDecodedImage kept2 = DecodeImage(c.File, lenient);
    const TFileReflection lenientResult =
        Write(c.File, Third, ImageSaveFormat::Png, {fresh}, TReflectionRoad::Fastest, lenient);
    EXPECT_EQ(lenientResult.Status == TGpStatus::Ok, kept2.Status == TGpStatus::Ok);
}

INSTANTIATE_TEST_SUITE_P(
    Files, StreamedDamage,
    ::testing::Values(
        TDamagedCase{"inflate data damaged half-way", DamagedInside(RandomPng(400, 900, 6, 8), 300000, 'x')},
        TDamagedCase{"unknown row filter half-way", RandomPng(400, 900, 6, 8, {}, 700)},
        TDamagedCase{"cut in the image data", RandomPng(400, 900, 6, 8).left(500000)},
        TDamagedCase{"image data checksum wrong", RandomPng(400, 900, 6, 8, {}, -1,
                                                            [](QByteArray& Stream) {
                                                                Stream[Stream.size() - 1] =
                                                                    char(Stream[Stream.size() - 1] ^ 1);
                                                            })},
        TDamagedCase{
            "data after the end of the image data",
            RandomPng(400, 900, 6, 8, {}, -1, [](QByteArray& Stream) { Stream += QByteArray(40, 'x'); })},
        TDamagedCase{
            "two bytes after the end of the image data",
            RandomPng(400, 900, 6, 8, {}, -1, [](QByteArray& Stream) { Stream += QByteArray(2, 'x'); })},
        TDamagedCase{
            "zlib header check bits wrong",
            RandomPng(400, 900, 6, 8, {}, -1, [](QByteArray& Stream) { Stream[1] = char(Stream[1] ^ 1); })}),
    CaseName<TDamagedCase>);

namespace
{
struct TInMemoryCase {
    const char* Name;
    TReflectionParameters Values;
};

class PictureInMemory : public ::testing::TestWithParam<TInMemoryCase>
{
};

QImage RandomPicture(int Width, int Height)
{
    QImage picture(Width, Height, QImage::Format_ARGB32);
    std::mt19937 random(9);
    for (int y = 0; y < Height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < Width; ++x)
            row[x] = QRgb(random());
    }
    return picture;
}
} // namespace

// The window's save and copy compose band by band; the file is the one a
// composed copy would have given.
TEST_P(PictureInMemory, SaveAndCopyWriteTheBytesOfTheComposedImage)
{
    const QImage picture = RandomPicture(523, 611);
    const TReflectionParameters& values = GetParam().Values;
    QByteArray composed;
    {
        QBuffer buffer(&composed);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_EQ(EncodeReflection(RenderReflection(picture, values), ImageSaveFormat::Png, &buffer),
                  TGpStatus::Ok);
    }
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("saved.png"));
    ASSERT_EQ(SaveReflectionFile(picture, values, ImageSaveFormat::Png, path), TGpStatus::Ok);
    EXPECT_EQ(ReadFileBytes(path), composed);

    // The copy's encoder runs on worker threads, two at once here.
    QByteArray copies[2];
    std::thread first([&] { copies[0] = EncodeReflectionPng(picture, values); });
    std::thread second([&] { copies[1] = EncodeReflectionPng(picture, values); });
    first.join();
    second.join();
    EXPECT_EQ(copies[0], composed);
    EXPECT_EQ(copies[1], composed);
}

INSTANTIATE_TEST_SUITE_P(
    Values, PictureInMemory,
    ::testing::Values(TInMemoryCase{"a third fading out", Third}, TInMemoryCase{"behind the picture", Behind},
                      TInMemoryCase{"longer than the picture", Longer}, TInMemoryCase{"blurred", Blurred},
                      TInMemoryCase{"blurred and squashed behind the picture", BlurredBehind},
                      TInMemoryCase{"squashed most, strongest blur", SquashedLonger},
                      TInMemoryCase{"no fade",
                                    {.Size = 600, .OpacityStart = 255, .OpacityEnd = 255, .Axis = 0}}),
    CaseName<TInMemoryCase>);

namespace
{
QByteArray Encoded(const QByteArray& Png, const char* Format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(DecodeImage(Png).Image.save(&buffer, Format));
    return bytes;
}

constexpr TReflectionParameters NoFade{.Size = 40, .OpacityStart = 255, .OpacityEnd = 255, .Axis = 0};

struct TPlanCase {
    const char* Name;
    QByteArray File;
    TReflectionParameters Values;
    ImageSaveFormat Format;
    bool ToDevice;    // a device (a file on disk opened by the caller) instead of a name
    bool Lenient;     // keep what decodes of a damaged file
    const char* Road; // how the plan reads, up to its band count
};

class SavingPlan : public ::testing::TestWithParam<TPlanCase>
{
};
} // namespace

// Every road writes the bytes of the reference road (the whole picture from
// DecodeImage, to a file) and says which road it took.
TEST_P(SavingPlan, TakesItsRoadAndWritesTheReferenceBytes)
{
    const TPlanCase& c = GetParam();
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("out")),
                  referencePath = folder.filePath(QStringLiteral("ref"));
    TDecodeOptions options;
    options.KeepDamaged = c.Lenient;
    QFile device(path);
    if (c.ToDevice) {
        ASSERT_TRUE(device.open(QIODevice::WriteOnly));
    }
    const TFileReflection written =
        Write(c.File, c.Values, c.Format, c.ToDevice ? TOutputSink{{}, &device} : TOutputSink{path},
              TReflectionRoad::Fastest, options);
    device.close();
    const TFileReflection reference =
        Write(c.File, c.Values, c.Format, {referencePath}, TReflectionRoad::WholePicture, options);
    ASSERT_EQ(written.Status, TGpStatus::Ok) << written.Failure.Text.toStdString();
    ASSERT_EQ(reference.Status, TGpStatus::Ok) << reference.Failure.Text.toStdString();

    const QString road = DescribeSavingPlan(written.Plan);
    EXPECT_TRUE(road.startsWith(QLatin1String(c.Road))) << road.toStdString();
    EXPECT_EQ(road.endsWith(QLatin1String(", to a device")), c.ToDevice) << road.toStdString();
    EXPECT_EQ(reference.Plan.Read, TReadRoad::DecodeImage);
    EXPECT_EQ(reference.Plan.Write, written.Plan.Write);
    const QByteArray bytes = ReadFileBytes(path);
    EXPECT_FALSE(bytes.isEmpty());
    EXPECT_EQ(bytes, ReadFileBytes(referencePath));
}

INSTANTIATE_TEST_SUITE_P(
    Roads, SavingPlan,
    ::testing::Values(TPlanCase{"png streamed", RandomPng(301, 97, 6, 8), Third, ImageSaveFormat::Png, false,
                                false, "streamed PNG, 1 band"},
                      TPlanCase{"png streamed to a device", RandomPng(701, 997, 6, 8), Third,
                                ImageSaveFormat::Png, true, false, "streamed PNG, "},
                      TPlanCase{"png whose alpha is known at the end", RandomPng(50, 40, 6, 8), NoFade,
                                ImageSaveFormat::Png, false, false,
                                "whole picture (row decoder), PNG at once"},
                      TPlanCase{"the same to a device", RandomPng(50, 40, 6, 8), NoFade, ImageSaveFormat::Png,
                                true, false, "whole picture (row decoder), PNG at once"},
                      TPlanCase{"png as jpeg", RandomPng(301, 97, 6, 8), Third, ImageSaveFormat::Jpeg, false,
                                false, "whole picture (row decoder), JPEG in rows"},
                      TPlanCase{"jpeg as jpeg to a device", Encoded(RandomPng(120, 90, 2, 8), "jpeg"), Behind,
                                ImageSaveFormat::Jpeg, true, false, "whole picture, JPEG in rows"},
                      TPlanCase{"png as tiff to a device", RandomPng(301, 97, 2, 8), Behind,
                                ImageSaveFormat::Tiff, true, false,
                                "whole picture (row decoder), TIFF in rows"},
                      TPlanCase{"png the rows do not take", RandomPng(97, 83, 6, 16), Third,
                                ImageSaveFormat::Png, false, false, "whole picture, PNG in "},
                      TPlanCase{"the same, alpha known at the end, to a device", RandomPng(97, 83, 6, 16),
                                NoFade, ImageSaveFormat::Png, true, false, "whole picture, PNG at once"},
                      TPlanCase{"jpeg as png", Encoded(RandomPng(120, 90, 2, 8), "jpeg"), Third,
                                ImageSaveFormat::Png, false, false, "whole picture, PNG in "},
                      TPlanCase{"bmp as webp", Encoded(RandomPng(120, 90, 2, 8), "bmp"), Behind,
                                ImageSaveFormat::Webp, false, false, "whole picture, WebP"},
                      TPlanCase{"png found damaged at its end while streamed, kept",
                                RandomPng(400, 900, 6, 8, {}, -1,
                                          [](QByteArray& Stream) { Stream += QByteArray(40, 'x'); }),
                                Third, ImageSaveFormat::Png, false, true, "whole picture, PNG in "}),
    CaseName<TPlanCase>);
