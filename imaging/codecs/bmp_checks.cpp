#include "imaging/codecs/bmp_checks.h"

#include "imaging/codecs/image_decoding.h"

#include <QtEndian>

namespace
{
constexpr qsizetype FileHeaderSize = 14;
constexpr quint32 CoreHeaderSize = 12;
constexpr quint32 InfoHeaderSize = 40;
constexpr quint32 BiRgb = 0;
constexpr quint32 BiRle8 = 1;
constexpr quint32 BiRle4 = 2;
constexpr quint32 BiBitfields = 3;
constexpr quint32 BiAlphaBitfields = 6;

struct TBmpHeader {
    qint64 Width = 0;
    qint64 Height = 0;
    int BitCount = 0;
    quint32 Compression = BiRgb;
    quint32 PixelOffset = 0;
};

// Walks an RLE8 or RLE4 stream: every run must stay inside its row and the
// picture, and the stream must reach its end-of-bitmap code (or fill the last
// row) before the file ends.
QString CheckRle(const unsigned char* Bytes, qsizetype Size, const TBmpHeader& Header)
{
    const bool four = Header.Compression == BiRle4;
    qint64 x = 0;
    qint64 y = 0;
    qsizetype pos = Header.PixelOffset;
    const auto overrun = [&] { return x > Header.Width || y >= Header.Height; };
    while (pos + 1 < Size) {
        const int count = Bytes[pos];
        const int code = Bytes[pos + 1];
        pos += 2;
        if (count > 0) {
            x += count;
            if (overrun())
                return QStringLiteral("an RLE run overruns the picture");
            continue;
        }
        if (code == 0) { // end of line
            x = 0;
            ++y;
            continue;
        }
        if (code == 1) // end of bitmap
            return {};
        if (code == 2) { // delta
            if (pos + 1 >= Size)
                break;
            x += Bytes[pos];
            y += Bytes[pos + 1];
            pos += 2;
            if (overrun())
                return QStringLiteral("an RLE delta moves outside the picture");
            continue;
        }
        // Absolute mode: code pixels follow, padded to a whole 16-bit word.
        const qsizetype bytes = four ? (code + 1) / 2 : code;
        pos += bytes + (bytes & 1);
        x += code;
        if (overrun())
            return QStringLiteral("an RLE run overruns the picture");
    }
    const bool lastRowFilled =
        (y == Header.Height - 1 && x == Header.Width) || (y == Header.Height && x == 0);
    if (pos <= Size && lastRowFilled)
        return {};
    return QStringLiteral("the RLE data is cut short");
}
} // namespace

QString FindBmpDamage(const QByteArray& Data)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(Data.constData());
    const qsizetype size = Data.size();
    if (size < FileHeaderSize + qsizetype(CoreHeaderSize) || !Data.startsWith("BM"))
        return QStringLiteral("the BMP file header is incomplete");
    TBmpHeader header;
    header.PixelOffset = qFromLittleEndian<quint32>(bytes + 10);
    const quint32 infoSize = qFromLittleEndian<quint32>(bytes + FileHeaderSize);
    if (infoSize == CoreHeaderSize) {
        header.Width = qFromLittleEndian<quint16>(bytes + 18);
        header.Height = qFromLittleEndian<quint16>(bytes + 20);
        header.BitCount = qFromLittleEndian<quint16>(bytes + 24);
    } else {
        if (infoSize < InfoHeaderSize || size < FileHeaderSize + qsizetype(InfoHeaderSize))
            return QStringLiteral("the BMP info header is incomplete");
        header.Width = qFromLittleEndian<qint32>(bytes + 18);
        header.Height = qFromLittleEndian<qint32>(bytes + 22);
        header.BitCount = qFromLittleEndian<quint16>(bytes + 28);
        header.Compression = qFromLittleEndian<quint32>(bytes + 30);
    }
    if (header.Height < 0)
        header.Height = -header.Height;
    QString reason;
    if (CheckImageSize(header.Width, header.Height, &reason) != TGpStatus::Ok)
        return reason;
    if (qint64(header.PixelOffset) < FileHeaderSize + qint64(infoSize) || header.PixelOffset >= quint64(size))
        return QStringLiteral("the pixel data offset %1 lies outside the file").arg(header.PixelOffset);

    switch (header.Compression) {
    case BiRgb:
    case BiBitfields:
    case BiAlphaBitfields: {
        const qint64 rowBytes = ((header.Width * header.BitCount + 31) / 32) * 4;
        if (qint64(header.PixelOffset) + rowBytes * header.Height > size)
            return QStringLiteral("the pixel data is cut short");
        return {};
    }
    case BiRle8:
    case BiRle4:
        return CheckRle(bytes, size, header);
    default:
        return {};
    }
}
