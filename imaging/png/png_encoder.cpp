#include "imaging/png/png_encoder.h"

#include "imaging/parallel_work.h"
#include "imaging/png/png_band_compressor.h"
#include "imaging/png/png_chunk_writer.h"
#include "imaging/png/png_deflate_join.h"

#include <QIODevice>
#include <QImage>
#include <QThread>

#include <algorithm>
#include <memory>
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

bool Encode(const QImage& Image, const TPngEncodeOptions& Options, const TPngSink& Sink, QString* Error)
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

    TPngSource Source;
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

    // The bands follow the threads asked for, not those the budget grants,
    // so that sharing the cores with other work never changes the file.
    const int BandThreads = Options.Threads > 0 ? Options.Threads : std::max(1, QThread::idealThreadCount());
    const int BandRows = ChooseBandRows(Options, Source.RowBytes, Height, BandThreads);
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
    std::vector<std::unique_ptr<TPngBandCompressor>> Compressors(static_cast<std::size_t>(Threads));
    std::vector<char> Failed(Bands.size(), 0);
    std::uint32_t Adler = 1;
    bool OutOfMemory = false;
    // Compressed bands wait for the writer a few at most, so a slow device
    // does not make the compressed image pile up in memory.
    const bool Written = Work.ForEachInOrder(
        BandCount, Threads * 3,
        [&](int Index, int Worker) {
            try {
                std::unique_ptr<TPngBandCompressor>& Compressor = Compressors[std::size_t(Worker)];
                if (!Compressor)
                    Compressor =
                        std::make_unique<TPngBandCompressor>(Source, Options.Level, Options.Coding, BandRows);
                Compressor->Compress(Bands[std::size_t(Index)], Index + 1 == BandCount);
            } catch (const std::exception&) {
                Failed[std::size_t(Index)] = 1; // in practice only memory runs out here
            }
        },
        [&](int Index) {
            TPngBand& Band = Bands[std::size_t(Index)];
            if (Failed[std::size_t(Index)]) {
                OutOfMemory = true;
                return false;
            }
            Adler = Adler32Combine(Adler, Band.Adler, Band.FilteredSize);
            if (!Writer.AppendImageData(Band.Deflate.data(), Band.Deflate.size()))
                return false;
            std::vector<std::uint8_t>().swap(Band.Deflate);
            return true;
        });
    if (!Written)
        return Fail(Error, OutOfMemory ? QStringLiteral("Not enough memory to compress the image.")
                                       : QStringLiteral("The PNG data could not be written."));
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
        const TPngSink Sink = [&Result](const std::uint8_t* Data, std::size_t Size) {
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
    const TPngSink Sink = [Device](const std::uint8_t* Data, std::size_t Size) {
        return Device->write(reinterpret_cast<const char*>(Data), qint64(Size)) == qint64(Size);
    };
    try {
        return Encode(Image, Options, Sink, Error);
    } catch (const std::bad_alloc&) {
        return Fail(Error, QStringLiteral("Not enough memory to encode the image."));
    }
}
