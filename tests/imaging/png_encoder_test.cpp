#include "imaging/png/png_encoder.h"
#include "imaging/thread_budget.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <libdeflate.h>
#include <png.h>

#include <csetjmp>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace
{

// ---- an independent look at the file: chunks, CRCs, the zlib stream ----

// Bitwise CRC-32 (the PNG/zlib polynomial), deliberately not the encoder's.
std::uint32_t SlowCrc32(const std::uint8_t* Data, std::size_t Size)
{
    std::uint32_t Crc = 0xFFFFFFFFu;
    for (std::size_t I = 0; I < Size; ++I) {
        Crc ^= Data[I];
        for (int Bit = 0; Bit < 8; ++Bit)
            Crc = (Crc >> 1) ^ (0xEDB88320u & (0u - (Crc & 1)));
    }
    return ~Crc;
}

std::uint32_t BigEndian32(const std::uint8_t* P)
{
    return std::uint32_t(P[0]) << 24 | P[1] << 16 | P[2] << 8 | P[3];
}

struct TChunkInfo {
    std::string Type;
    std::vector<std::uint8_t> Data;
};

// Splits the file into chunks, failing the test on any bad CRC or framing.
std::vector<TChunkInfo> ReadChunks(const QByteArray& File)
{
    std::vector<TChunkInfo> Chunks;
    const auto* Bytes = reinterpret_cast<const std::uint8_t*>(File.constData());
    const std::size_t Size = std::size_t(File.size());
    EXPECT_GE(Size, 8u);
    EXPECT_EQ(std::memcmp(Bytes, "\x89PNG\r\n\x1a\n", 8), 0);
    std::size_t Pos = 8;
    while (Pos + 12 <= Size) {
        const std::uint32_t Length = BigEndian32(Bytes + Pos);
        EXPECT_LE(Pos + 12 + Length, Size);
        if (Pos + 12 + Length > Size)
            break;
        EXPECT_EQ(BigEndian32(Bytes + Pos + 8 + Length), SlowCrc32(Bytes + Pos + 4, 4 + Length));
        Chunks.push_back({std::string(reinterpret_cast<const char*>(Bytes + Pos + 4), 4),
                          std::vector<std::uint8_t>(Bytes + Pos + 8, Bytes + Pos + 8 + Length)});
        Pos += 12 + Length;
    }
    EXPECT_EQ(Pos, Size) << "bytes after the last chunk";
    return Chunks;
}

// ---- the two decoders ----

struct TLibpngResult {
    bool Ok = false;
    int ColorType = -1;
    std::string Message;
    bool HasBackground = false;
    std::vector<std::uint8_t> Rgba; // 4 bytes per pixel, rows top to bottom
    int Width = 0, Height = 0;
};

struct TMemoryReader {
    const std::uint8_t* Data;
    std::size_t Size, Pos;
};

void ReadFromMemory(png_structp Png, png_bytep Out, png_size_t Count)
{
    auto* Reader = static_cast<TMemoryReader*>(png_get_io_ptr(Png));
    if (Reader->Pos + Count > Reader->Size)
        png_error(Png, "read past the end of the file");
    std::memcpy(Out, Reader->Data + Reader->Pos, Count);
    Reader->Pos += Count;
}

void OnError(png_structp Png, png_const_charp Message)
{
    static_cast<TLibpngResult*>(png_get_error_ptr(Png))->Message += std::string("error: ") + Message;
    png_longjmp(Png, 1);
}

void OnWarning(png_structp Png, png_const_charp Message)
{
    static_cast<TLibpngResult*>(png_get_error_ptr(Png))->Message += std::string("warning: ") + Message + "; ";
}

// Decodes with libpng's full (not simplified) reader, so the CRC and the
// zlib checks run as they do for any application; warnings count as failure.
void DecodeWithLibpng(const QByteArray& File, TLibpngResult& Result)
{
    TMemoryReader Reader{reinterpret_cast<const std::uint8_t*>(File.constData()), std::size_t(File.size()),
                         0};
    png_structp Png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &Result, OnError, OnWarning);
    png_infop Info = png_create_info_struct(Png);
    png_infop EndInfo = png_create_info_struct(Png);
    std::vector<png_bytep>* Rows = new std::vector<png_bytep>();
    if (setjmp(png_jmpbuf(Png))) {
        png_destroy_read_struct(&Png, &Info, &EndInfo);
        delete Rows;
        Result.Ok = false;
        return;
    }
    png_set_read_fn(Png, &Reader, ReadFromMemory);
    png_set_user_limits(Png, 0x7FFFFFFF, 0x7FFFFFFF);
    png_read_info(Png, Info);
    Result.Width = int(png_get_image_width(Png, Info));
    Result.Height = int(png_get_image_height(Png, Info));
    Result.ColorType = png_get_color_type(Png, Info);
    png_color_16p Background = nullptr;
    Result.HasBackground = png_get_bKGD(Png, Info, &Background) != 0;
    if (Result.ColorType == PNG_COLOR_TYPE_RGB)
        png_set_filler(Png, 0xFF, PNG_FILLER_AFTER);
    png_read_update_info(Png, Info);
    Result.Rgba.assign(std::size_t(Result.Width) * Result.Height * 4, 0);
    for (int Y = 0; Y < Result.Height; ++Y)
        Rows->push_back(Result.Rgba.data() + std::size_t(Y) * Result.Width * 4);
    png_read_image(Png, Rows->data());
    png_read_end(Png, EndInfo);
    png_destroy_read_struct(&Png, &Info, &EndInfo);
    delete Rows;
    Result.Ok = Result.Message.empty();
}

// What any decoder must give back: the image as non-premultiplied ARGB,
// with alpha forced where the format has none.
QImage Expected(const QImage& Image)
{
    return Image.convertToFormat(QImage::Format_ARGB32);
}

void ExpectSamePixelsFromLibpng(const TLibpngResult& Decoded, const QImage& Want)
{
    ASSERT_TRUE(Decoded.Ok) << Decoded.Message;
    ASSERT_EQ(Decoded.Width, Want.width());
    ASSERT_EQ(Decoded.Height, Want.height());
    for (int Y = 0; Y < Want.height(); ++Y) {
        const auto* Line = reinterpret_cast<const QRgb*>(Want.constScanLine(Y));
        const std::uint8_t* Got = Decoded.Rgba.data() + std::size_t(Y) * Want.width() * 4;
        for (int X = 0; X < Want.width(); ++X, Got += 4) {
            const QRgb Pixel = qRgba(Got[0], Got[1], Got[2], Got[3]);
            ASSERT_EQ(Pixel, Line[X]) << "libpng differs at " << X << ',' << Y;
        }
    }
}

void ExpectSamePixelsFromQt(const QByteArray& File, const QImage& Want)
{
    QBuffer Buffer;
    Buffer.setData(File);
    Buffer.open(QIODevice::ReadOnly);
    QImageReader Reader(&Buffer, "png");
    const QImage Read = Reader.read();
    ASSERT_FALSE(Read.isNull()) << Reader.errorString().toStdString();
    const QImage Got = Read.convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(Got.size(), Want.size());
    for (int Y = 0; Y < Want.height(); ++Y)
        ASSERT_EQ(std::memcmp(Got.constScanLine(Y), Want.constScanLine(Y), std::size_t(Want.width()) * 4), 0)
            << "Qt differs on line " << Y;
}

// Checks the structure: chunk order, IDAT sizes, and that the zlib stream,
// taken out of the file, inflates with an unrelated decoder to exactly one
// filter byte plus one line per row.
void ExpectWellFormed(const QByteArray& File, int Width, int Height, int Bpp)
{
    const std::vector<TChunkInfo> Chunks = ReadChunks(File);
    ASSERT_GE(Chunks.size(), 3u);
    EXPECT_EQ(Chunks.front().Type, "IHDR");
    EXPECT_EQ(Chunks.back().Type, "IEND");
    EXPECT_TRUE(Chunks.back().Data.empty());
    std::vector<std::uint8_t> Stream;
    bool InImageData = false, ImageDataEnded = false;
    for (const TChunkInfo& Chunk : Chunks) {
        if (Chunk.Type == "IDAT") {
            EXPECT_FALSE(ImageDataEnded) << "image data chunks must follow each other";
            EXPECT_LE(Chunk.Data.size(), std::size_t(1) << 20);
            EXPECT_FALSE(Chunk.Data.empty());
            Stream.insert(Stream.end(), Chunk.Data.begin(), Chunk.Data.end());
            InImageData = true;
        } else if (InImageData) {
            ImageDataEnded = true;
        }
    }
    const std::size_t Raw = std::size_t(Height) * (std::size_t(Width) * Bpp + 1);
    std::vector<std::uint8_t> Inflated(Raw + 1);
    libdeflate_decompressor* Decompressor = libdeflate_alloc_decompressor();
    std::size_t InUsed = 0, OutSize = 0;
    const auto Status = libdeflate_zlib_decompress_ex(Decompressor, Stream.data(), Stream.size(),
                                                      Inflated.data(), Inflated.size(), &InUsed, &OutSize);
    libdeflate_free_decompressor(Decompressor);
    EXPECT_EQ(Status, LIBDEFLATE_SUCCESS); // includes the Adler-32 check
    EXPECT_EQ(InUsed, Stream.size()) << "data after the end of the zlib stream";
    EXPECT_EQ(OutSize, Raw);
    for (std::size_t Row = 0; Row < std::size_t(Height) && OutSize == Raw; ++Row)
        ASSERT_LE(Inflated[Row * (std::size_t(Width) * Bpp + 1)], 4) << "bad filter type on row " << Row;
}

// ---- images ----

enum class TPattern { Noise, Gradient, Photo, Transparent, OpaqueNoise };

QImage MakeImage(TPattern Pattern, int Width, int Height, unsigned Seed = 1)
{
    QImage Image(Width, Height, QImage::Format_ARGB32);
    std::mt19937 Random(Seed);
    for (int Y = 0; Y < Height; ++Y) {
        auto* Line = reinterpret_cast<QRgb*>(Image.scanLine(Y));
        for (int X = 0; X < Width; ++X) {
            switch (Pattern) {
            case TPattern::Noise:
                Line[X] = QRgb(Random());
                break;
            case TPattern::Gradient:
                Line[X] = qRgba(X * 255 / std::max(1, Width - 1), Y * 255 / std::max(1, Height - 1),
                                (X + Y) & 0xFF, 255 - (Y * 200 / std::max(1, Height)));
                break;
            case TPattern::Photo: {
                // Smooth light with grain; the lower third fades out like a reflection.
                const int Grain = int(Random() % 9) - 4;
                const int Alpha =
                    Y < Height * 2 / 3 ? 255 : std::max(0, 200 - (Y - Height * 2 / 3) * 600 / Height);
                Line[X] = qRgba(std::clamp(60 + X * 150 / Width + Grain, 0, 255),
                                std::clamp(90 + Y * 100 / Height + Grain, 0, 255),
                                std::clamp(140 + ((X * Y) >> 10) % 60 + Grain, 0, 255), Alpha);
                break;
            }
            case TPattern::Transparent:
                Line[X] = 0;
                break;
            case TPattern::OpaqueNoise:
                Line[X] = QRgb(Random()) | 0xFF000000u;
                break;
            }
        }
    }
    return Image;
}

struct TRoundTrip {
    const char* Name;
    TPattern Pattern;
    int Width, Height;
    int Level;
    int Threads;
    int BandRows;
    TPngCoding Coding = TPngCoding::Auto;
};

class PngRoundTrip : public ::testing::TestWithParam<TRoundTrip>
{
};

TEST_P(PngRoundTrip, BothDecodersGiveBackEveryPixel)
{
    const TRoundTrip Case = GetParam();
    const QImage Image = MakeImage(Case.Pattern, Case.Width, Case.Height);
    TPngEncodeOptions Options;
    Options.Level = Case.Level;
    Options.Threads = Case.Threads;
    Options.BandRows = Case.BandRows;
    Options.Coding = Case.Coding;
    QString Error;
    const QByteArray File = EncodePng(Image, Options, &Error);
    ASSERT_FALSE(File.isEmpty()) << Error.toStdString();

    const bool Opaque = Case.Pattern == TPattern::OpaqueNoise;
    ExpectWellFormed(File, Case.Width, Case.Height, Opaque ? 3 : 4);
    TLibpngResult Decoded;
    DecodeWithLibpng(File, Decoded);
    EXPECT_EQ(Decoded.ColorType, Opaque ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGBA);
    const QImage Want = Expected(Image);
    ExpectSamePixelsFromLibpng(Decoded, Want);
    ExpectSamePixelsFromQt(File, Want);
}

INSTANTIATE_TEST_SUITE_P(
    Images, PngRoundTrip,
    ::testing::Values(
        TRoundTrip{"Noise", TPattern::Noise, 97, 61, 4, 0, 0},
        TRoundTrip{"Gradient", TPattern::Gradient, 300, 200, 6, 0, 0},
        TRoundTrip{"Photo", TPattern::Photo, 641, 480, 4, 2, 0},
        TRoundTrip{"Transparent", TPattern::Transparent, 200, 150, 4, 0, 0},
        TRoundTrip{"OpaqueAsRgb", TPattern::OpaqueNoise, 123, 77, 4, 0, 0},
        TRoundTrip{"OnePixel", TPattern::Noise, 1, 1, 4, 0, 0},
        TRoundTrip{"OneColumn", TPattern::Gradient, 1, 517, 4, 2, 0},
        TRoundTrip{"OneRow", TPattern::Photo, 4099, 1, 4, 2, 0},
        TRoundTrip{"OddWidth", TPattern::Photo, 1021, 13, 9, 2, 0},
        TRoundTrip{"OneRowBands", TPattern::Photo, 33, 9, 4, 2, 1},
        TRoundTrip{"LastBandOneRow", TPattern::Noise, 50, 10, 6, 3, 3},
        TRoundTrip{"BandsOverThreeThreads", TPattern::Gradient, 257, 100, 1, 3, 7},
        TRoundTrip{"OpaqueTinyBands", TPattern::OpaqueNoise, 31, 17, 6, 2, 2},
        TRoundTrip{"TransparentBands", TPattern::Transparent, 64, 40, 12, 2, 3},
        TRoundTrip{"Stored", TPattern::Photo, 200, 120, 0, 2, 17},
        TRoundTrip{"Fastest", TPattern::Photo, 400, 300, 1, 1, 0},
        TRoundTrip{"Slowest", TPattern::Photo, 300, 50, 12, 2, 8},
        TRoundTrip{"HugeIsh", TPattern::Photo, 3000, 2000, 4, 0, 0},
        TRoundTrip{"MatchesOnly", TPattern::Photo, 640, 200, 6, 2, 16, TPngCoding::Matches},
        TRoundTrip{"LiteralsNoise", TPattern::Noise, 211, 90, 6, 2, 7, TPngCoding::LiteralsAndRuns},
        TRoundTrip{"LiteralsGradient", TPattern::Gradient, 300, 200, 6, 2, 0, TPngCoding::LiteralsAndRuns},
        TRoundTrip{"LiteralsTransparent", TPattern::Transparent, 200, 150, 6, 2, 9,
                   TPngCoding::LiteralsAndRuns},
        TRoundTrip{"LiteralsOpaque", TPattern::OpaqueNoise, 123, 77, 6, 1, 0, TPngCoding::LiteralsAndRuns},
        TRoundTrip{"LiteralsOnePixel", TPattern::Noise, 1, 1, 6, 1, 0, TPngCoding::LiteralsAndRuns},
        TRoundTrip{"LiteralsOneRowBands", TPattern::Photo, 33, 9, 6, 2, 1, TPngCoding::LiteralsAndRuns}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(PngEncoder, SameBytesWhateverTheThreadCount)
{
    const QImage Image = MakeImage(TPattern::Photo, 800, 600);
    TPngEncodeOptions One, Many;
    One.Threads = 1;
    Many.Threads = 4;
    One.BandRows = Many.BandRows = 50;
    EXPECT_EQ(EncodePng(Image, One), EncodePng(Image, Many));
}

// The bands follow the image and the options, never the threads granted, so
// an image encoded inside a batch worker gives the same file as alone. The
// bands are the automatic ones: 4.4 MB of rows make five (a band is at
// least 1 MB), the last one short: one thread, three over five bands, and
// more threads than bands.
TEST(PngEncoder, SameBytesWhateverTheThreadBudget)
{
    const QImage Image = MakeImage(TPattern::Photo, 1000, 1100);
    const int BandRows = PngBandRows(std::size_t(Image.width()) * 4, Image.height());
    ASSERT_GE((Image.height() + BandRows - 1) / BandRows, 5) << "too few bands to split";
    const QByteArray Alone = EncodePng(Image);
    ASSERT_FALSE(Alone.isEmpty());
    for (const int Budget : {1, 3, 7}) {
        const TThreadBudget Scope(Budget);
        EXPECT_EQ(EncodePng(Image), Alone) << "budget " << Budget;
    }
}

// A tile of noise repeated across the image: only matches can find the
// repetition, so the automatic choice must take them.
QImage MakeTiledNoise(int Width, int Height)
{
    QImage Image(Width, Height, QImage::Format_ARGB32);
    std::mt19937 Random(7);
    std::vector<QRgb> Tile(37 * 23);
    for (QRgb& P : Tile)
        P = QRgb(Random());
    for (int Y = 0; Y < Height; ++Y) {
        auto* Line = reinterpret_cast<QRgb*>(Image.scanLine(Y));
        for (int X = 0; X < Width; ++X)
            Line[X] = Tile[(Y % 23) * 37 + X % 37];
    }
    return Image;
}

TEST(PngEncoder, AutomaticCodingTakesMatchesWhereTheyPay)
{
    const QImage Image = MakeTiledNoise(700, 300);
    TPngEncodeOptions Auto, Literals;
    Literals.Coding = TPngCoding::LiteralsAndRuns;
    const QByteArray WithChoice = EncodePng(Image, Auto);
    const QByteArray WithoutMatches = EncodePng(Image, Literals);
    ASSERT_FALSE(WithChoice.isEmpty());
    ASSERT_FALSE(WithoutMatches.isEmpty());
    EXPECT_LT(WithChoice.size() * 4, WithoutMatches.size());
    TLibpngResult Decoded;
    DecodeWithLibpng(WithChoice, Decoded);
    ExpectSamePixelsFromLibpng(Decoded, Expected(Image));
}

TEST(PngEncoder, AutomaticCodingIsNoLargerThanMatchesOnPhotographs)
{
    const QImage Image = MakeImage(TPattern::Photo, 1200, 700);
    TPngEncodeOptions Auto, Matches;
    Matches.Coding = TPngCoding::Matches;
    const QByteArray WithChoice = EncodePng(Image, Auto);
    ASSERT_FALSE(WithChoice.isEmpty());
    EXPECT_LE(WithChoice.size(), EncodePng(Image, Matches).size());
    ExpectSamePixelsFromQt(WithChoice, Expected(Image));
}

struct TFormatCase {
    const char* Name;
    QImage::Format Format;
};

class PngFromFormat : public ::testing::TestWithParam<TFormatCase>
{
};

TEST_P(PngFromFormat, OtherFormatsAreWrittenAsTheirArgbConversion)
{
    const QImage Source = MakeImage(TPattern::Photo, 173, 91, 5).convertToFormat(GetParam().Format);
    ASSERT_FALSE(Source.isNull());
    const QByteArray File = EncodePng(Source);
    ASSERT_FALSE(File.isEmpty());
    TLibpngResult Decoded;
    DecodeWithLibpng(File, Decoded);
    const QImage Want = Expected(Source);
    ExpectSamePixelsFromLibpng(Decoded, Want);
    ExpectSamePixelsFromQt(File, Want);
    EXPECT_EQ(Decoded.ColorType, Source.hasAlphaChannel() ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB);
}

INSTANTIATE_TEST_SUITE_P(Formats, PngFromFormat,
                         ::testing::Values(TFormatCase{"Premultiplied", QImage::Format_ARGB32_Premultiplied},
                                           TFormatCase{"Rgb32", QImage::Format_RGB32},
                                           TFormatCase{"Rgb888", QImage::Format_RGB888},
                                           TFormatCase{"Rgba8888", QImage::Format_RGBA8888},
                                           TFormatCase{"Grayscale8", QImage::Format_Grayscale8},
                                           TFormatCase{"Indexed8", QImage::Format_Indexed8},
                                           TFormatCase{"Mono", QImage::Format_Mono}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST(PngEncoder, Rgb32WithGarbageInTheTopByteIsStillOpaque)
{
    // RGB32 promises opacity whatever the unused byte holds.
    QImage Image(5, 3, QImage::Format_RGB32);
    for (int Y = 0; Y < 3; ++Y)
        for (int X = 0; X < 5; ++X)
            reinterpret_cast<QRgb*>(Image.scanLine(Y))[X] = 0x12000000u | (X * 40) << 16 | (Y * 90) << 8 | 7;
    TPngEncodeOptions Options;
    Options.ForceAlpha = true;
    TLibpngResult Decoded;
    DecodeWithLibpng(EncodePng(Image, Options), Decoded);
    ASSERT_TRUE(Decoded.Ok) << Decoded.Message;
    EXPECT_EQ(Decoded.ColorType, PNG_COLOR_TYPE_RGBA);
    for (std::size_t I = 3; I < Decoded.Rgba.size(); I += 4)
        ASSERT_EQ(Decoded.Rgba[I], 0xFF);
    ExpectSamePixelsFromLibpng(Decoded, Expected(Image));
}

TEST(PngEncoder, ForceAlphaKeepsRgbaForOpaqueImages)
{
    const QImage Image = MakeImage(TPattern::OpaqueNoise, 40, 30);
    TPngEncodeOptions Options;
    Options.ForceAlpha = true;
    const QByteArray File = EncodePng(Image, Options);
    ExpectWellFormed(File, 40, 30, 4);
    TLibpngResult Decoded;
    DecodeWithLibpng(File, Decoded);
    EXPECT_EQ(Decoded.ColorType, PNG_COLOR_TYPE_RGBA);
    ExpectSamePixelsFromLibpng(Decoded, Image);
}

TEST(PngEncoder, ExtraChunksComeBeforeTheImageData)
{
    TPngEncodeOptions Options;
    // A white background for RGB/RGBA: three 16-bit samples.
    Options.ExtraChunks.append(TPngChunk{"bKGD", QByteArray("\x00\xFF\x00\xFF\x00\xFF", 6)});
    Options.ExtraChunks.append(TPngChunk{"tEXt", QByteArray("Software\0Lumivex", 16)});
    const QImage Image = MakeImage(TPattern::Photo, 171, 220);
    const QByteArray File = EncodePng(Image, Options);
    const std::vector<TChunkInfo> Chunks = ReadChunks(File);
    ASSERT_GE(Chunks.size(), 5u);
    EXPECT_EQ(Chunks[1].Type, "bKGD");
    EXPECT_EQ(Chunks[2].Type, "tEXt");
    EXPECT_EQ(Chunks[3].Type, "IDAT");
    TLibpngResult Decoded;
    DecodeWithLibpng(File, Decoded);
    EXPECT_TRUE(Decoded.HasBackground);
    ExpectSamePixelsFromLibpng(Decoded, Image);
}

TEST(PngEncoder, WritesToAFileThatQtReadsBack)
{
    QTemporaryDir Dir;
    ASSERT_TRUE(Dir.isValid());
    const QString Path = Dir.filePath("reflection.png");
    const QImage Image = MakeImage(TPattern::Photo, 1200, 900);
    {
        QFile File(Path);
        ASSERT_TRUE(File.open(QIODevice::WriteOnly));
        QString Error;
        ASSERT_TRUE(WritePng(Image, &File, {}, &Error)) << Error.toStdString();
    }
    QFile File(Path);
    ASSERT_TRUE(File.open(QIODevice::ReadOnly));
    const QByteArray Bytes = File.readAll();
    EXPECT_EQ(Bytes, EncodePng(Image));
    QImageReader Reader(Path);
    EXPECT_EQ(Reader.format(), "png");
    EXPECT_EQ(Reader.read().convertToFormat(QImage::Format_ARGB32), Image);
}

// A device that takes a fixed number of bytes and then refuses more, like a full disk.
class TFullDevice : public QIODevice
{
  public:
    explicit TFullDevice(qint64 Capacity) : FCapacity(Capacity) { open(QIODevice::WriteOnly); }
    qint64 Written = 0;

  protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 Size) override
    {
        if (Written + Size > FCapacity)
            return -1;
        Written += Size;
        return Size;
    }

  private:
    qint64 FCapacity;
};

TEST(PngEncoder, BadInputGivesAnErrorNotACrash)
{
    const QImage Image = MakeImage(TPattern::Photo, 300, 400);
    QString Error;
    EXPECT_TRUE(EncodePng(QImage(), {}, &Error).isEmpty());
    EXPECT_FALSE(Error.isEmpty());

    QBuffer Closed;
    EXPECT_FALSE(WritePng(Image, &Closed, {}, &Error));
    EXPECT_FALSE(WritePng(Image, nullptr, {}, &Error));
    QBuffer ReadOnly;
    ReadOnly.open(QIODevice::ReadOnly);
    EXPECT_FALSE(WritePng(Image, &ReadOnly, {}, &Error));

    for (qint64 Capacity : {0, 20, 5000, 100000}) {
        TFullDevice Full(Capacity);
        Error.clear();
        TPngEncodeOptions Options;
        Options.BandRows = 10;
        EXPECT_FALSE(WritePng(Image, &Full, Options, &Error)) << Capacity;
        EXPECT_FALSE(Error.isEmpty());
    }

    struct TBadOptions {
        const char* Name;
        TPngEncodeOptions Options;
    };
    std::vector<TBadOptions> Bad(7);
    Bad[0] = {"level below 0", {}};
    Bad[0].Options.Level = -1;
    Bad[1] = {"level above 12", {}};
    Bad[1].Options.Level = 13;
    Bad[2] = {"negative threads", {}};
    Bad[2].Options.Threads = -2;
    Bad[3] = {"chunk type too short", {}};
    Bad[3].Options.ExtraChunks.append(TPngChunk{"bKG", {}});
    Bad[4] = {"chunk type with a digit", {}};
    Bad[4].Options.ExtraChunks.append(TPngChunk{"bK1D", {}});
    Bad[5] = {"second header", {}};
    Bad[5].Options.ExtraChunks.append(TPngChunk{"IHDR", QByteArray(13, 0)});
    Bad[6] = {"unknown coding", {}};
    Bad[6].Options.Coding = TPngCoding(7);
    for (const TBadOptions& Case : Bad) {
        Error.clear();
        EXPECT_TRUE(EncodePng(Image, Case.Options, &Error).isEmpty()) << Case.Name;
        EXPECT_FALSE(Error.isEmpty()) << Case.Name;
    }
}

} // namespace
