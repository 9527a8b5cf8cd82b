#include "imaging/codecs/png_checks.h"

#include "imaging/codecs/image_decoding.h"

#include <QtEndian>
#include <algorithm>
#include <array>
#include <libdeflate.h>
#include <vector>
#include <zlib.h>

namespace
{
constexpr char Signature[] = "\x89PNG\r\n\x1a\n";
constexpr qsizetype SignatureSize = 8;
constexpr qsizetype ChunkOverhead = 12; // length, type, checksum
constexpr quint32 HeaderSize = 13;
// A deflate stream is never much larger than what it holds: stored blocks add
// five bytes per 64 KiB, fixed codes at most one bit per byte. Anything beyond
// this margin is not picture data.
constexpr qint64 CompressedSlackBytes = 64 * 1024;

struct THeader {
    qint64 Width = 0;
    qint64 Height = 0;
    int BitDepth = 0;
    int Channels = 0;
    bool Interlaced = false;
};

// Rows of one pass (or of the whole picture without interlacing): how many and
// the bytes of each, the filter byte included.
struct TPass {
    qint64 Rows = 0;
    qint64 RowBytes = 0;
};

int ChannelsOf(int ColourType, int BitDepth)
{
    switch (ColourType) {
    case 0:
        return (BitDepth == 1 || BitDepth == 2 || BitDepth == 4 || BitDepth == 8 || BitDepth == 16) ? 1 : 0;
    case 3:
        return (BitDepth == 1 || BitDepth == 2 || BitDepth == 4 || BitDepth == 8) ? 1 : 0;
    case 2:
        return (BitDepth == 8 || BitDepth == 16) ? 3 : 0;
    case 4:
        return (BitDepth == 8 || BitDepth == 16) ? 2 : 0;
    case 6:
        return (BitDepth == 8 || BitDepth == 16) ? 4 : 0;
    default:
        return 0;
    }
}

std::vector<TPass> PassesOf(const THeader& Header)
{
    const qint64 bitsPerPixel = qint64(Header.BitDepth) * Header.Channels;
    const auto rowBytes = [&](qint64 Width) { return 1 + (Width * bitsPerPixel + 7) / 8; };
    if (!Header.Interlaced)
        return {TPass{Header.Height, rowBytes(Header.Width)}};
    // Adam7: each pass's first column and row, and its steps.
    static constexpr std::array<std::array<int, 4>, 7> adam7{
        {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4}, {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}}};
    std::vector<TPass> passes;
    for (const auto& [x0, y0, dx, dy] : adam7) {
        const qint64 columns = Header.Width > x0 ? (Header.Width - x0 + dx - 1) / dx : 0;
        const qint64 rows = Header.Height > y0 ? (Header.Height - y0 + dy - 1) / dy : 0;
        if (columns > 0 && rows > 0)
            passes.push_back(TPass{rows, rowBytes(columns)});
    }
    return passes;
}

// Walks the inflated rows as they come, checking each filter byte, and counts
// what arrives after the last row.
class TRowWalker
{
  public:
    explicit TRowWalker(std::vector<TPass> Passes) : FPasses(std::move(Passes)) {}

    // False when a row's filter type is not one of the five.
    bool Take(const unsigned char* Bytes, qint64 Count)
    {
        while (Count > 0) {
            if (FPass >= FPasses.size()) {
                FExtra += Count;
                return true;
            }
            const TPass& pass = FPasses[FPass];
            if (FInRow == 0 && Bytes[0] > 4)
                return false;
            const qint64 step = std::min(Count, pass.RowBytes - FInRow);
            FInRow += step;
            Bytes += step;
            Count -= step;
            if (FInRow == pass.RowBytes) {
                FInRow = 0;
                if (++FRow == pass.Rows) {
                    FRow = 0;
                    ++FPass;
                }
            }
        }
        return true;
    }

    bool Complete() const { return FPass >= FPasses.size(); }
    qint64 Extra() const { return FExtra; }

  private:
    std::vector<TPass> FPasses;
    std::size_t FPass = 0;
    qint64 FRow = 0;
    qint64 FInRow = 0;
    qint64 FExtra = 0;
};

class TInflater
{
  public:
    TInflater() { FOk = inflateInit(&FStream) == Z_OK; }
    ~TInflater()
    {
        if (FOk)
            inflateEnd(&FStream);
    }
    TInflater(const TInflater&) = delete;
    TInflater& operator=(const TInflater&) = delete;

    // Inflates one IDAT chunk's bytes into Rows. Stops at the first damage and
    // as soon as more than a few bytes arrive after the last row, so that no
    // stream costs more than the picture's own size.
    QString Feed(const unsigned char* Bytes, qint64 Count, TRowWalker& Rows)
    {
        if (!FOk)
            return QStringLiteral("out of memory for the inflater");
        FStream.next_in = const_cast<unsigned char*>(Bytes);
        FStream.avail_in = uInt(Count);
        while (FStream.avail_in > 0 && !FEnded) {
            FStream.next_out = FScratch.data();
            FStream.avail_out = uInt(FScratch.size());
            const int status = inflate(&FStream, Z_NO_FLUSH);
            const qint64 produced = qint64(FScratch.size()) - FStream.avail_out;
            if (produced > 0 && !Rows.Take(FScratch.data(), produced))
                return QStringLiteral("a row has an unknown filter type");
            if (Rows.Extra() > ExtraAllowed)
                return QStringLiteral("the image data is longer than the picture");
            if (status == Z_STREAM_END) {
                FEnded = true;
            } else if (status != Z_OK) {
                return QStringLiteral("the compressed image data is damaged (%1)")
                    .arg(QLatin1String(FStream.msg ? FStream.msg : "inflate failed"));
            }
        }
        return {};
    }

    bool Ended() const { return FEnded; }

  private:
    // Some writers add a byte or two of padding after the rows; libpng accepts that.
    static constexpr qint64 ExtraAllowed = 64;
    z_stream FStream{};
    std::array<unsigned char, 64 * 1024> FScratch{};
    bool FOk = false;
    bool FEnded = false;
};

quint32 Read32(const unsigned char* Bytes)
{
    return qFromBigEndian<quint32>(Bytes);
}
} // namespace

QString ScanPngLayout(const QByteArray& Data, TPngLayout& Layout, bool* Unreadable)
{
    // Everything but the two kinds of damage that libpng only warns about.
    if (Unreadable)
        *Unreadable = true;
    Layout = TPngLayout{};
    const auto* bytes = reinterpret_cast<const unsigned char*>(Data.constData());
    const qsizetype size = Data.size();
    if (size < SignatureSize || !Data.startsWith(QByteArray(Signature, SignatureSize)))
        return QStringLiteral("the PNG signature is missing");

    // The chunk layout, every checksum, the header and the total of
    // compressed data, all before anything is inflated.
    THeader header;
    qint64 compressed = 0;
    bool seenHeader = false;
    bool seenEnd = false;
    for (qsizetype pos = SignatureSize; !seenEnd;) {
        if (size - pos < ChunkOverhead)
            return QStringLiteral("the file is cut short");
        const quint32 length = Read32(bytes + pos);
        if (length > 0x7FFFFFFFu || qint64(length) > size - pos - ChunkOverhead)
            return QStringLiteral("the file is cut short");
        const unsigned char* type = bytes + pos + 4;
        const quint32 stored = Read32(bytes + pos + 8 + length);
        if (quint32(libdeflate_crc32(0, type, std::size_t(length) + 4)) != stored) {
            // Bit 5 of the first letter marks an ancillary chunk.
            if (Unreadable)
                *Unreadable = (type[0] & 0x20) == 0;
            return QStringLiteral("a chunk's checksum is wrong");
        }
        const QByteArray name(reinterpret_cast<const char*>(type), 4);
        const unsigned char* body = type + 4;
        if (!seenHeader) {
            if (name != "IHDR" || length != HeaderSize)
                return QStringLiteral("the header chunk is missing");
            header.Width = Read32(body);
            header.Height = Read32(body + 4);
            header.BitDepth = body[8];
            header.Channels = ChannelsOf(body[9], body[8]);
            header.Interlaced = body[12] == 1;
            Layout.ColourType = body[9];
            if (header.Channels == 0 || body[10] != 0 || body[11] != 0 || body[12] > 1)
                return QStringLiteral("the header names an unknown colour type, depth or method");
            QString reason;
            if (CheckImageSize(header.Width, header.Height, &reason) != TGpStatus::Ok)
                return reason;
            seenHeader = true;
        } else if (name == "IDAT") {
            compressed += length;
            Layout.ImageData.push_back(TPngLayout::TPiece{pos + 8, qsizetype(length)});
        } else if (name == "IEND") {
            seenEnd = true;
        } else if (name == "PLTE") {
            Layout.Palette = QByteArray(reinterpret_cast<const char*>(body), length);
        } else if (name == "tRNS") {
            Layout.Transparency = QByteArray(reinterpret_cast<const char*>(body), length);
        } else if ((type[0] & 0x20) == 0 || name == "zTXt") {
            // Not among them: the colour profile and the metadata packets
            // (iCCP, eXIf, iTXt), which change no pixel and are read by
            // image_packets.h on either road.
            Layout.HasUnusualChunk = true;
        }
        pos += ChunkOverhead + length;
    }
    Layout.Width = header.Width;
    Layout.Height = header.Height;
    Layout.BitDepth = header.BitDepth;
    Layout.Channels = header.Channels;
    Layout.Interlaced = header.Interlaced;

    qint64 needed = 0;
    for (const TPass& pass : PassesOf(header))
        needed += pass.Rows * pass.RowBytes;
    if (compressed == 0)
        return QStringLiteral("there is no image data");
    if (compressed > needed + needed / 4 + CompressedSlackBytes)
        return QStringLiteral(
                   "the compressed data (%1 bytes) is far larger than the picture needs (%2 bytes)")
            .arg(compressed)
            .arg(needed);
    return {};
}

qint64 PngRowBytes(const TPngLayout& Layout)
{
    return (Layout.Width * Layout.BitDepth * Layout.Channels + 7) / 8;
}

int PngFilterBytesPerPixel(const TPngLayout& Layout)
{
    return std::max(1, Layout.BitDepth * Layout.Channels / 8);
}

QString FindPngDamage(const QByteArray& Data, bool* Unreadable)
{
    TPngLayout layout;
    const QString damage = ScanPngLayout(Data, layout, Unreadable);
    if (!damage.isEmpty())
        return damage;
    if (Unreadable)
        *Unreadable = true;
    THeader header;
    header.Width = layout.Width;
    header.Height = layout.Height;
    header.BitDepth = layout.BitDepth;
    header.Channels = layout.Channels;
    header.Interlaced = layout.Interlaced;

    // Inflate the image data no further than the rows need.
    const auto* bytes = reinterpret_cast<const unsigned char*>(Data.constData());
    TRowWalker rows(PassesOf(header));
    TInflater inflater;
    for (const TPngLayout::TPiece& piece : layout.ImageData) {
        if (inflater.Ended())
            break;
        const QString found = inflater.Feed(bytes + piece.Offset, piece.Size, rows);
        if (!found.isEmpty())
            return found;
    }
    if (!rows.Complete())
        return QStringLiteral("the image data ends before the last row");
    if (!inflater.Ended())
        return QStringLiteral("the compressed image data is cut short");
    return {};
}
