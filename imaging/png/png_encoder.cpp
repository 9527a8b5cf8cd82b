#include "imaging/png/png_encoder.h"

#include "imaging/png/png_deflate_join.h"
#include "imaging/png/png_filter.h"
#include "imaging/png/png_literal_deflate.h"

#include <QIODevice>
#include <QImage>
#include <QThread>

#include <libdeflate.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

namespace
{

// Decoders read image data chunk by chunk; 1 MiB keeps the chunk overhead
// negligible while no reader has to hold a huge chunk at once.
constexpr std::size_t MaxIdatPayload = std::size_t(1) << 20;
constexpr std::uint8_t Signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

using TSink = std::function<bool(const std::uint8_t*, std::size_t)>;

void PutBigEndian32(std::uint8_t* Out, std::uint32_t Value)
{
    Out[0] = std::uint8_t(Value >> 24);
    Out[1] = std::uint8_t(Value >> 16);
    Out[2] = std::uint8_t(Value >> 8);
    Out[3] = std::uint8_t(Value);
}

struct TCompressorDeleter {
    void operator()(libdeflate_compressor* Compressor) const { libdeflate_free_compressor(Compressor); }
};
using TCompressor = std::unique_ptr<libdeflate_compressor, TCompressorDeleter>;

// Writes whole chunks to the sink and splits the zlib stream over IDAT chunks.
class TChunkWriter
{
  public:
    explicit TChunkWriter(const TSink& Sink) : FSink(Sink), FIdat(8 + MaxIdatPayload + 4) {}

    bool WriteChunk(const char* Type, const std::uint8_t* Data, std::size_t Size)
    {
        std::vector<std::uint8_t> Chunk(8 + Size + 4);
        PutBigEndian32(Chunk.data(), std::uint32_t(Size));
        std::memcpy(Chunk.data() + 4, Type, 4);
        if (Size)
            std::memcpy(Chunk.data() + 8, Data, Size);
        PutBigEndian32(Chunk.data() + 8 + Size, libdeflate_crc32(0, Chunk.data() + 4, 4 + Size));
        return FSink(Chunk.data(), Chunk.size());
    }

    bool AppendImageData(const std::uint8_t* Data, std::size_t Size)
    {
        while (Size) {
            const std::size_t Take = std::min(Size, MaxIdatPayload - FFill);
            std::memcpy(FIdat.data() + 8 + FFill, Data, Take);
            FFill += Take;
            Data += Take;
            Size -= Take;
            if (FFill == MaxIdatPayload && !FlushImageData())
                return false;
        }
        return true;
    }

    bool FlushImageData()
    {
        if (FFill == 0)
            return true;
        PutBigEndian32(FIdat.data(), std::uint32_t(FFill));
        std::memcpy(FIdat.data() + 4, "IDAT", 4);
        PutBigEndian32(FIdat.data() + 8 + FFill, libdeflate_crc32(0, FIdat.data() + 4, 4 + FFill));
        const std::size_t Total = 8 + FFill + 4;
        FFill = 0;
        return FSink(FIdat.data(), Total);
    }

  private:
    const TSink& FSink;
    std::vector<std::uint8_t> FIdat;
    std::size_t FFill = 0;
};

// The pixels as the encoder reads them: 32-bit 0xAARRGGBB words, plus a mask
// that forces alpha where the format promises opacity.
struct TSource {
    QImage Image;
    std::uint32_t AlphaMask = 0;
    int Bpp = 4;
    std::size_t RowBytes = 0;

    void ConvertRow(int Y, std::uint8_t* __restrict Out) const
    {
        const auto* Pixels = reinterpret_cast<const std::uint32_t*>(Image.constScanLine(Y));
        const int Width = Image.width();
        if (Bpp == 4) {
            for (int X = 0; X < Width; ++X) {
                const std::uint32_t P = Pixels[X] | AlphaMask;
                Out[4 * X] = std::uint8_t(P >> 16);
                Out[4 * X + 1] = std::uint8_t(P >> 8);
                Out[4 * X + 2] = std::uint8_t(P);
                Out[4 * X + 3] = std::uint8_t(P >> 24);
            }
        } else {
            for (int X = 0; X < Width; ++X) {
                const std::uint32_t P = Pixels[X];
                Out[3 * X] = std::uint8_t(P >> 16);
                Out[3 * X + 1] = std::uint8_t(P >> 8);
                Out[3 * X + 2] = std::uint8_t(P);
            }
        }
    }
};

// Reflections are translucent at the bottom, so the search starts there and
// usually ends on the first line it reads.
bool IsOpaque(const QImage& Image)
{
    if (Image.format() == QImage::Format_RGB32)
        return true;
    for (int Y = Image.height() - 1; Y >= 0; --Y) {
        const auto* Pixels = reinterpret_cast<const std::uint32_t*>(Image.constScanLine(Y));
        std::uint32_t All = 0xFF000000u;
        for (int X = 0; X < Image.width(); ++X)
            All &= Pixels[X];
        if ((All >> 24) != 0xFF)
            return false;
    }
    return true;
}

struct TBand {
    int FirstRow = 0;
    int RowCount = 0;
    std::vector<std::uint8_t> Deflate;
    std::uint32_t Adler = 1;
    std::uint64_t FilteredSize = 0;
    bool Done = false;
    bool Failed = false;
};

// Stored blocks cannot fail and join like any other; used when compression
// gives up or its output could not be walked.
void StoreBlocks(const std::uint8_t* Data, std::size_t Size, bool Final, std::vector<std::uint8_t>& Out)
{
    Out.clear();
    Out.reserve(Size + (Size / 65535 + 1) * 5);
    do {
        const std::size_t Take = std::min<std::size_t>(Size, 65535);
        Size -= Take;
        Out.push_back(Final && Size == 0 ? 1 : 0);
        Out.push_back(std::uint8_t(Take));
        Out.push_back(std::uint8_t(Take >> 8));
        Out.push_back(std::uint8_t(~Take));
        Out.push_back(std::uint8_t(~Take >> 8));
        Out.insert(Out.end(), Data, Data + Take);
        Data += Take;
    } while (Size);
}

// One worker's reusable buffers.
class TBandCompressor
{
  public:
    TBandCompressor(const TSource& Source, int Level, TPngCoding Coding, int MaxBandRows)
        : FSource(Source), FCoding(Level == 0 ? TPngCoding::Matches : Coding),
          FCompressor(libdeflate_alloc_compressor(Level)),
          FFiltered(std::size_t(MaxBandRows) * (Source.RowBytes + 1)), FPrev(Source.RowBytes),
          FCur(Source.RowBytes), FScratch(Source.RowBytes)
    {
        if (!FCompressor)
            throw std::bad_alloc();
        FOutput.resize(libdeflate_deflate_compress_bound(FCompressor.get(), FFiltered.size()));
    }

    void Compress(TBand& Band, bool Last)
    {
        const std::size_t Stride = FSource.RowBytes + 1;
        const std::size_t Size = std::size_t(Band.RowCount) * Stride;
        if (Band.FirstRow > 0)
            FSource.ConvertRow(Band.FirstRow - 1, FPrev.data());
        else
            std::fill(FPrev.begin(), FPrev.end(), 0);
        for (int Row = 0; Row < Band.RowCount; ++Row) {
            FSource.ConvertRow(Band.FirstRow + Row, FCur.data());
            FilterScanLine(FPrev.data(), FCur.data(), FSource.RowBytes, FSource.Bpp,
                           FFiltered.data() + Row * Stride, FScratch);
            FPrev.swap(FCur);
        }
        Band.FilteredSize = Size;
        Band.Adler = libdeflate_adler32(1, FFiltered.data(), Size);

        if (FCoding != TPngCoding::Matches) {
            Band.Deflate.clear();
            DeflateLiteralsAndRuns(FFiltered.data(), Size, Last, Band.Deflate);
            if (FCoding == TPngCoding::LiteralsAndRuns || !MatchesMayPay(Size))
                return;
            FLiteral.swap(Band.Deflate);
            CompressWithMatches(Band, Size, Last);
            if (FLiteral.size() <= Band.Deflate.size())
                FLiteral.swap(Band.Deflate);
            return;
        }
        CompressWithMatches(Band, Size, Last);
    }

  private:
    // Codes slices spread over the band both ways; matches are tried on the
    // whole band only when they clearly win on the slices.
    bool MatchesMayPay(std::size_t Size)
    {
        constexpr std::size_t Slices = 4, SliceBytes = 32 * 1024;
        FSample.clear();
        if (Size <= Slices * SliceBytes) {
            FSample.assign(FFiltered.begin(), FFiltered.begin() + Size);
        } else {
            for (std::size_t I = 0; I < Slices; ++I) {
                const auto From = FFiltered.begin() + (Size - SliceBytes) * I / (Slices - 1);
                FSample.insert(FSample.end(), From, From + SliceBytes);
            }
        }
        FSampleOut.clear();
        DeflateLiteralsAndRuns(FSample.data(), FSample.size(), true, FSampleOut);
        const std::size_t WithMatches = libdeflate_deflate_compress(
            FCompressor.get(), FSample.data(), FSample.size(), FOutput.data(), FOutput.size());
        // A few per cent either way is noise of the sample; beyond, matches found real repetition.
        return WithMatches != 0 && WithMatches * 100 < FSampleOut.size() * 97;
    }

    void CompressWithMatches(TBand& Band, std::size_t Size, bool Last)
    {
        const std::size_t Packed = libdeflate_deflate_compress(FCompressor.get(), FFiltered.data(), Size,
                                                               FOutput.data(), FOutput.size());
        if (Packed == 0) {
            StoreBlocks(FFiltered.data(), Size, Last, Band.Deflate);
            return;
        }
        Band.Deflate.assign(FOutput.begin(), FOutput.begin() + Packed);
        // Every band but the last must leave the stream open for the next one.
        if (!Last && !MakeDeflateJoinable(Band.Deflate))
            StoreBlocks(FFiltered.data(), Size, false, Band.Deflate);
    }

  private:
    const TSource& FSource;
    const TPngCoding FCoding;
    TCompressor FCompressor;
    std::vector<std::uint8_t> FFiltered, FOutput, FPrev, FCur, FLiteral, FSample, FSampleOut;
    TPngFilterScratch FScratch;
};

// Runs the bands on worker threads and hands them back in order.
class TBandScheduler
{
  public:
    TBandScheduler(const TSource& Source, std::vector<TBand>& Bands, int Level, TPngCoding Coding,
                   int MaxBandRows, int Threads)
        : FSource(Source), FBands(Bands), FLevel(Level), FCoding(Coding), FMaxBandRows(MaxBandRows),
          FWindow(std::size_t(Threads) * 3)
    {
        try {
            for (int I = 0; I < Threads; ++I)
                FWorkers.emplace_back([this] { Work(); });
        } catch (...) {
            Stop();
            throw;
        }
    }
    ~TBandScheduler() { Stop(); }

    void Stop()
    {
        {
            std::lock_guard Lock(FMutex);
            FAbort = true;
        }
        FChanged.notify_all();
        for (auto& Worker : FWorkers)
            if (Worker.joinable())
                Worker.join();
    }

    // Blocks until band Index is compressed; false if it failed.
    bool Wait(std::size_t Index)
    {
        std::unique_lock Lock(FMutex);
        FChanged.wait(Lock, [&] { return FBands[Index].Done; });
        return !FBands[Index].Failed;
    }
    // Band Index has been written out: its memory goes, and workers may move on.
    void Release(std::size_t Index)
    {
        {
            std::lock_guard Lock(FMutex);
            std::vector<std::uint8_t>().swap(FBands[Index].Deflate);
            FReleased = Index + 1;
        }
        FChanged.notify_all();
    }

  private:
    void Work()
    {
        std::unique_ptr<TBandCompressor> Compressor;
        for (;;) {
            std::size_t Index = 0;
            {
                std::unique_lock Lock(FMutex);
                // Stay a few bands ahead of the writer at most, so a slow device
                // does not make the compressed image pile up in memory.
                FChanged.wait(
                    Lock, [&] { return FAbort || FNext >= FBands.size() || FNext < FReleased + FWindow; });
                if (FAbort || FNext >= FBands.size())
                    return;
                Index = FNext++;
            }
            bool Failed = false;
            try {
                if (!Compressor)
                    Compressor = std::make_unique<TBandCompressor>(FSource, FLevel, FCoding, FMaxBandRows);
                Compressor->Compress(FBands[Index], Index + 1 == FBands.size());
            } catch (const std::exception&) {
                Failed = true; // in practice only memory runs out here
            }
            {
                std::lock_guard Lock(FMutex);
                FBands[Index].Done = true;
                FBands[Index].Failed = Failed;
            }
            FChanged.notify_all();
        }
    }

    const TSource& FSource;
    std::vector<TBand>& FBands;
    const int FLevel;
    const TPngCoding FCoding;
    const int FMaxBandRows;
    const std::size_t FWindow;
    std::mutex FMutex;
    std::condition_variable FChanged;
    std::size_t FNext = 0, FReleased = 0;
    bool FAbort = false;
    std::vector<std::thread> FWorkers;
};

bool Fail(QString* Error, const QString& Text)
{
    if (Error)
        *Error = Text;
    return false;
}

bool ValidChunkType(const QByteArray& Type)
{
    if (Type.size() != 4)
        return false;
    for (char C : Type)
        if (!((C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z')))
            return false;
    // These three carry the encoder's own structure.
    return Type != "IHDR" && Type != "IDAT" && Type != "IEND";
}

int ChooseBandRows(const TPngEncodeOptions& Options, std::size_t RowBytes, int Height, int Threads)
{
    if (Options.BandRows > 0)
        return std::min(Options.BandRows, Height);
    // Enough bands to keep every thread busy until the end, each large enough
    // that restarting the deflate window costs nothing measurable.
    const std::size_t Total = (RowBytes + 1) * std::size_t(Height);
    const std::size_t Target = std::clamp<std::size_t>(Total / (std::size_t(Threads) * 4),
                                                       std::size_t(1) << 20, std::size_t(8) << 20);
    return int(std::clamp<std::size_t>(Target / (RowBytes + 1), 1, std::size_t(Height)));
}

bool Encode(const QImage& Image, const TPngEncodeOptions& Options, const TSink& Sink, QString* Error)
{
    if (Image.isNull())
        return Fail(Error, QStringLiteral("The image is empty."));
    if (Options.Level < 0 || Options.Level > 12)
        return Fail(Error,
                    QStringLiteral("The compression level %1 is not between 0 and 12.").arg(Options.Level));
    if (Options.Coding != TPngCoding::Auto && Options.Coding != TPngCoding::Matches &&
        Options.Coding != TPngCoding::LiteralsAndRuns)
        return Fail(Error, QStringLiteral("The coding %1 is unknown.").arg(int(Options.Coding)));
    if (Options.Threads < 0 || Options.BandRows < 0)
        return Fail(Error, QStringLiteral("The thread and band counts cannot be negative."));
    for (const TPngChunk& Chunk : Options.ExtraChunks)
        if (!ValidChunkType(Chunk.Type))
            return Fail(Error, QStringLiteral("\"%1\" is not a chunk type that can be added.")
                                   .arg(QString::fromLatin1(Chunk.Type)));

    TSource Source;
    if (Image.format() == QImage::Format_ARGB32 || Image.format() == QImage::Format_RGB32)
        Source.Image = Image;
    else
        Source.Image = Image.convertToFormat(QImage::Format_ARGB32);
    if (Source.Image.isNull())
        return Fail(Error, QStringLiteral("Not enough memory to convert the image."));
    if (Source.Image.format() == QImage::Format_RGB32)
        Source.AlphaMask = 0xFF000000u;
    Source.Bpp = !Options.ForceAlpha && IsOpaque(Source.Image) ? 3 : 4;
    const int Width = Source.Image.width(), Height = Source.Image.height();
    Source.RowBytes = std::size_t(Width) * std::size_t(Source.Bpp);

    TChunkWriter Writer(Sink);
    std::uint8_t Header[13];
    PutBigEndian32(Header, std::uint32_t(Width));
    PutBigEndian32(Header + 4, std::uint32_t(Height));
    Header[8] = 8;                            // bits per sample
    Header[9] = Source.Bpp == 4 ? 6 : 2;      // RGBA or RGB
    Header[10] = Header[11] = Header[12] = 0; // deflate, adaptive filters, no interlace
    if (!Sink(Signature, sizeof Signature) || !Writer.WriteChunk("IHDR", Header, sizeof Header))
        return Fail(Error, QStringLiteral("The PNG data could not be written."));
    for (const TPngChunk& Chunk : Options.ExtraChunks)
        if (!Writer.WriteChunk(Chunk.Type.constData(),
                               reinterpret_cast<const std::uint8_t*>(Chunk.Data.constData()),
                               std::size_t(Chunk.Data.size())))
            return Fail(Error, QStringLiteral("The PNG data could not be written."));

    const int HardwareThreads = std::max(1, QThread::idealThreadCount());
    int Threads = Options.Threads > 0 ? Options.Threads : HardwareThreads;
    const int BandRows = ChooseBandRows(Options, Source.RowBytes, Height, Threads);
    std::vector<TBand> Bands((std::size_t(Height) + BandRows - 1) / std::size_t(BandRows));
    for (std::size_t I = 0; I < Bands.size(); ++I) {
        Bands[I].FirstRow = int(I) * BandRows;
        Bands[I].RowCount = std::min(BandRows, Height - Bands[I].FirstRow);
    }
    Threads = int(std::min<std::size_t>(std::size_t(Threads), Bands.size()));

    // zlib header: deflate with a 32 KiB window; the level hint follows the
    // usual mapping and the check bits make the pair a multiple of 31.
    const int LevelHint = Options.Level < 2 ? 0 : Options.Level < 6 ? 1 : Options.Level == 6 ? 2 : 3;
    std::uint8_t ZlibHeader[2] = {0x78, std::uint8_t(LevelHint << 6)};
    ZlibHeader[1] |= std::uint8_t(31 - (ZlibHeader[0] * 256 + ZlibHeader[1]) % 31);
    if (!Writer.AppendImageData(ZlibHeader, 2))
        return Fail(Error, QStringLiteral("The PNG data could not be written."));

    std::uint32_t Adler = 1;
    try {
        TBandScheduler Scheduler(Source, Bands, Options.Level, Options.Coding, BandRows, Threads);
        for (std::size_t I = 0; I < Bands.size(); ++I) {
            if (!Scheduler.Wait(I))
                return Fail(Error, QStringLiteral("Not enough memory to compress the image."));
            Adler = Adler32Combine(Adler, Bands[I].Adler, Bands[I].FilteredSize);
            if (!Writer.AppendImageData(Bands[I].Deflate.data(), Bands[I].Deflate.size()))
                return Fail(Error, QStringLiteral("The PNG data could not be written."));
            Scheduler.Release(I);
        }
    } catch (const std::system_error&) {
        return Fail(Error, QStringLiteral("No thread could be started to compress the image."));
    }
    std::uint8_t Trailer[4];
    PutBigEndian32(Trailer, Adler);
    if (!Writer.AppendImageData(Trailer, 4) || !Writer.FlushImageData() ||
        !Writer.WriteChunk("IEND", nullptr, 0))
        return Fail(Error, QStringLiteral("The PNG data could not be written."));
    return true;
}

} // namespace

QByteArray EncodePng(const QImage& Image, const TPngEncodeOptions& Options, QString* Error)
{
    QByteArray Result;
    try {
        // Photographs rarely shrink below half their raw size.
        if (!Image.isNull())
            Result.reserve(qsizetype(Image.sizeInBytes() / 2));
        const TSink Sink = [&Result](const std::uint8_t* Data, std::size_t Size) {
            Result.append(reinterpret_cast<const char*>(Data), qsizetype(Size));
            return true;
        };
        if (!Encode(Image, Options, Sink, Error))
            return {};
    } catch (const std::bad_alloc&) {
        Fail(Error, QStringLiteral("Not enough memory to encode the image."));
        return {};
    }
    return Result;
}

bool WritePng(const QImage& Image, QIODevice* Device, const TPngEncodeOptions& Options, QString* Error)
{
    if (!Device || !Device->isWritable())
        return Fail(Error, QStringLiteral("The device is not open for writing."));
    const TSink Sink = [Device](const std::uint8_t* Data, std::size_t Size) {
        return Device->write(reinterpret_cast<const char*>(Data), qint64(Size)) == qint64(Size);
    };
    try {
        return Encode(Image, Options, Sink, Error);
    } catch (const std::bad_alloc&) {
        return Fail(Error, QStringLiteral("Not enough memory to encode the image."));
    }
}
