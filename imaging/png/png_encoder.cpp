#include "imaging/png/png_encoder.h"

#include "imaging/parallel_work.h"
#include "imaging/png/png_band_compressor.h"
#include "imaging/png/png_chunk_writer.h"
#include "imaging/png/png_deflate_join.h"

#include <QIODevice>
#include <QImage>

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

namespace
{

constexpr std::uint8_t Signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

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

// The outcome of producing one band.
enum class TBandOutcome : char { Compressed, OutOfMemory, FeedStopped };

bool Encode(const TPngRowPicture& Picture, const TPngEncodeOptions& Options, const TPngSink& Sink,
            QString* Error)
{
    if (Picture.Width <= 0 || Picture.Height <= 0 || !Picture.Feed)
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

    const int Width = Picture.Width, Height = Picture.Height;
    TPngSource Source;
    Source.Width = Width;
    Source.Bpp = Picture.Alpha || Options.ForceAlpha ? 4 : 3;
    Source.RowBytes = std::size_t(Width) * std::size_t(Source.Bpp);

    TPngChunkWriter Writer(Sink);
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

    const int BandRows =
        Options.BandRows > 0 ? std::min(Options.BandRows, Height) : PngBandRows(Source.RowBytes, Height);
    std::vector<TPngBand> Bands((std::size_t(Height) + BandRows - 1) / std::size_t(BandRows));
    for (std::size_t I = 0; I < Bands.size(); ++I) {
        Bands[I].FirstRow = int(I) * BandRows;
        Bands[I].RowCount = std::min(BandRows, Height - Bands[I].FirstRow);
    }

    // zlib header: deflate with a 32 KiB window; the level hint follows the
    // usual mapping and the check bits make the pair a multiple of 31.
    const int LevelHint = Options.Level < 2 ? 0 : Options.Level < 6 ? 1 : Options.Level == 6 ? 2 : 3;
    std::uint8_t ZlibHeader[2] = {0x78, std::uint8_t(LevelHint << 6)};
    ZlibHeader[1] |= std::uint8_t(31 - (ZlibHeader[0] * 256 + ZlibHeader[1]) % 31);
    if (!Writer.AppendImageData(ZlibHeader, 2))
        return Fail(Error, QStringLiteral("The PNG data could not be written."));

    const TParallelWork Work(Options.Threads);
    const int BandCount = int(Bands.size());
    const int Threads = Work.ThreadsFor(BandCount);
    const std::size_t Stride = std::size_t(Width);
    std::vector<std::unique_ptr<TPngBandCompressor>> Compressors(static_cast<std::size_t>(Threads));
    // Each thread's band of pixels, with one row above it for the filters.
    std::vector<std::vector<std::uint32_t>> Pixels(static_cast<std::size_t>(Threads));
    std::vector<std::uint32_t> RowAbove(Stride, 0);
    std::vector<TBandOutcome> Outcomes(Bands.size(), TBandOutcome::Compressed);
    std::mutex FeedMutex;
    std::condition_variable FeedTurn;
    int NextFed = 0;
    bool FeedStopped = false;
    // Written bands hand their deflate buffers back for the next bands: the
    // buffers keep their size, so memory is not given back to the system and
    // asked for (and cleared) again for every band.
    std::mutex SpareMutex;
    std::vector<std::vector<std::uint8_t>> SpareBuffers;

    // The feed hands out rows in order, so each band waits for its turn; the
    // deflating, which costs most, runs beside the next band's feed.
    auto FeedBand = [&](int Index, std::uint32_t* Rows) {
        const TPngBand& Band = Bands[std::size_t(Index)];
        std::unique_lock Lock(FeedMutex);
        FeedTurn.wait(Lock, [&] { return NextFed == Index; });
        TBandOutcome Outcome = FeedStopped ? TBandOutcome::FeedStopped
                               : Rows      ? TBandOutcome::Compressed
                                           : TBandOutcome::OutOfMemory;
        if (Outcome == TBandOutcome::Compressed) {
            try {
                std::copy(RowAbove.begin(), RowAbove.end(), Rows - Stride);
                if (!Picture.Feed(Band.FirstRow, Band.RowCount, Rows, Stride))
                    Outcome = TBandOutcome::FeedStopped;
                else
                    std::copy_n(Rows + (Band.RowCount - 1) * Stride, Stride, RowAbove.begin());
            } catch (const std::bad_alloc&) {
                Outcome = TBandOutcome::OutOfMemory;
            }
        }
        FeedStopped = FeedStopped || Outcome != TBandOutcome::Compressed;
        ++NextFed;
        FeedTurn.notify_all();
        return Outcome;
    };

    std::uint32_t Adler = 1;
    TBandOutcome Stopped = TBandOutcome::Compressed;
    // Compressed bands wait for the writer a few at most, so a slow device
    // does not make the compressed image pile up in memory.
    const bool Written = Work.ForEachInOrder(
        BandCount, Threads * 2,
        [&](int Index, int Worker) {
            TBandOutcome& Outcome = Outcomes[std::size_t(Index)];
            std::vector<std::uint32_t>& Buffer = Pixels[std::size_t(Worker)];
            try {
                if (Buffer.empty())
                    Buffer.resize((std::size_t(BandRows) + 1) * Stride);
            } catch (const std::bad_alloc&) {
                Outcome = TBandOutcome::OutOfMemory;
            }
            // Even a thread without memory takes its turn, so the bands after it are not kept waiting.
            const TBandOutcome Fed = FeedBand(Index, Buffer.empty() ? nullptr : Buffer.data() + Stride);
            if (Outcome != TBandOutcome::Compressed || Fed != TBandOutcome::Compressed) {
                if (Outcome == TBandOutcome::Compressed)
                    Outcome = Fed;
                return;
            }
            try {
                std::unique_ptr<TPngBandCompressor>& Compressor = Compressors[std::size_t(Worker)];
                if (!Compressor)
                    Compressor =
                        std::make_unique<TPngBandCompressor>(Source, Options.Level, Options.Coding, BandRows);
                {
                    const std::lock_guard Lock(SpareMutex);
                    if (!SpareBuffers.empty()) {
                        Bands[std::size_t(Index)].Deflate.swap(SpareBuffers.back());
                        SpareBuffers.pop_back();
                    }
                }
                Compressor->Compress(Bands[std::size_t(Index)],
                                     TPngBandPixels{Buffer.data() + Stride, Stride}, Index + 1 == BandCount);
            } catch (const std::exception&) {
                Outcome = TBandOutcome::OutOfMemory; // in practice only memory runs out here
            }
        },
        [&](int Index) {
            TPngBand& Band = Bands[std::size_t(Index)];
            if (Outcomes[std::size_t(Index)] != TBandOutcome::Compressed) {
                Stopped = Outcomes[std::size_t(Index)];
                return false;
            }
            Adler = Adler32Combine(Adler, Band.Adler, Band.FilteredSize);
            if (!Writer.AppendImageData(Band.Deflate.data(), Band.Deflate.size()))
                return false;
            Band.Deflate.clear();
            const std::lock_guard Lock(SpareMutex);
            SpareBuffers.push_back(std::move(Band.Deflate));
            return true;
        });
    if (!Written)
        return Fail(Error, Stopped == TBandOutcome::OutOfMemory
                               ? QStringLiteral("Not enough memory to compress the image.")
                           : Stopped == TBandOutcome::FeedStopped
                               ? QStringLiteral("The picture's rows could not be read.")
                               : QStringLiteral("The PNG data could not be written."));
    std::uint8_t Trailer[4];
    PutBigEndian32(Trailer, Adler);
    if (!Writer.AppendImageData(Trailer, 4) || !Writer.FlushImageData() ||
        !Writer.WriteChunk("IEND", nullptr, 0))
        return Fail(Error, QStringLiteral("The PNG data could not be written."));
    return true;
}

// The rows of a whole image as the encoder asks for them; RGB32 pixels
// carry no alpha of their own, so it is set on the way.
bool EncodeImage(const QImage& Image, const TPngEncodeOptions& Options, const TPngSink& Sink, QString* Error)
{
    if (Image.isNull())
        return Fail(Error, QStringLiteral("The image is empty."));
    QImage Source;
    if (Image.format() == QImage::Format_ARGB32 || Image.format() == QImage::Format_RGB32)
        Source = Image;
    else
        Source = Image.convertToFormat(QImage::Format_ARGB32);
    if (Source.isNull())
        return Fail(Error, QStringLiteral("Not enough memory to convert the image."));
    const std::uint32_t AlphaMask = Source.format() == QImage::Format_RGB32 ? 0xFF000000u : 0u;
    TPngRowPicture Picture;
    Picture.Width = Source.width();
    Picture.Height = Source.height();
    Picture.Alpha = !IsOpaque(Source);
    Picture.Feed = [&](int First, int Count, std::uint32_t* Rows, std::size_t Stride) {
        for (int Row = 0; Row < Count; ++Row) {
            const auto* In = reinterpret_cast<const std::uint32_t*>(Source.constScanLine(First + Row));
            std::uint32_t* Out = Rows + std::size_t(Row) * Stride;
            for (int X = 0; X < Picture.Width; ++X)
                Out[X] = In[X] | AlphaMask;
        }
        return true;
    };
    return Encode(Picture, Options, Sink, Error);
}

} // namespace

QByteArray EncodePng(const QImage& Image, const TPngEncodeOptions& Options, QString* Error)
{
    QByteArray Result;
    try {
        // Photographs rarely shrink below half their raw size.
        if (!Image.isNull())
            Result.reserve(qsizetype(Image.sizeInBytes() / 2));
        const TPngSink Sink = [&Result](const std::uint8_t* Data, std::size_t Size) {
            Result.append(reinterpret_cast<const char*>(Data), qsizetype(Size));
            return true;
        };
        if (!EncodeImage(Image, Options, Sink, Error))
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
    const TPngSink Sink = [Device](const std::uint8_t* Data, std::size_t Size) {
        return Device->write(reinterpret_cast<const char*>(Data), qint64(Size)) == qint64(Size);
    };
    try {
        return EncodeImage(Image, Options, Sink, Error);
    } catch (const std::bad_alloc&) {
        return Fail(Error, QStringLiteral("Not enough memory to encode the image."));
    }
}

int PngBandRows(std::size_t RowBytes, int Height)
{
    // Large enough that restarting the deflate window and sampling the band
    // cost little, small enough that a few bands per thread stay in memory
    // and a tall picture keeps every core busy. Nothing here may follow the
    // machine: the bands decide the bytes.
    const std::size_t Total = (RowBytes + 1) * std::size_t(std::max(1, Height));
    const std::size_t Target = std::clamp<std::size_t>(Total / 8, std::size_t(1) << 20, std::size_t(2) << 20);
    return int(std::clamp<std::size_t>(Target / (RowBytes + 1), 1, std::size_t(std::max(1, Height))));
}

bool WritePngRows(const TPngRowPicture& Picture, const TPngByteSink& Sink, const TPngEncodeOptions& Options,
                  QString* Error)
{
    try {
        return Encode(Picture, Options, Sink, Error);
    } catch (const std::bad_alloc&) {
        return Fail(Error, QStringLiteral("Not enough memory to encode the image."));
    }
}
