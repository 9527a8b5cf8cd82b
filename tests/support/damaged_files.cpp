#include "damaged_files.h"

#include "imaging/codecs/gif_writer.h"

#include <QBuffer>
#include <QImageWriter>
#include <QRandomGenerator>
#include <QtEndian>
#include <zlib.h>

QImage NoisyPicture(int Width, int Height)
{
    QImage image(Width, Height, QImage::Format_ARGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            image.setPixel(x, y, 0xFF000000u | (random.generate() & 0x00FFFFFFu));
    return image;
}

QByteArray GifOf(const QImage& Picture)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    WriteGifImage(Picture, &buffer);
    return bytes;
}

QByteArray Rle8Bmp(int Width, int Height, const QByteArray& Rle)
{
    constexpr int headers = 14 + 40;
    constexpr int palette = 256 * 4;
    QByteArray file(headers + palette, '\0');
    auto* data = reinterpret_cast<uchar*>(file.data());
    data[0] = 'B';
    data[1] = 'M';
    qToLittleEndian<quint32>(quint32(headers + palette + Rle.size()), data + 2);
    qToLittleEndian<quint32>(headers + palette, data + 10);
    qToLittleEndian<quint32>(40, data + 14);
    qToLittleEndian<qint32>(Width, data + 18);
    qToLittleEndian<qint32>(Height, data + 22);
    qToLittleEndian<quint16>(1, data + 26);
    qToLittleEndian<quint16>(8, data + 28);
    qToLittleEndian<quint32>(1, data + 30); // BI_RLE8
    qToLittleEndian<quint32>(quint32(Rle.size()), data + 34);
    for (int i = 0; i < 256; ++i)
        data[headers + i * 4 + 1] = uchar(i); // greens
    return file + Rle;
}

namespace
{
QByteArray Chunk(const char* Type, const QByteArray& Body)
{
    QByteArray chunk(4, '\0');
    qToBigEndian<quint32>(quint32(Body.size()), chunk.data());
    chunk += QByteArray(Type, 4) + Body;
    const quint32 crc = quint32(crc32(crc32(0, reinterpret_cast<const Bytef*>(Type), 4),
                                      reinterpret_cast<const Bytef*>(Body.constData()), uInt(Body.size())));
    QByteArray tail(4, '\0');
    qToBigEndian<quint32>(crc, tail.data());
    return chunk + tail;
}
} // namespace

QByteArray PngWithStream(int Width, int Height, const QByteArray& Stream)
{
    QByteArray header(13, '\0');
    qToBigEndian<quint32>(quint32(Width), header.data());
    qToBigEndian<quint32>(quint32(Height), header.data() + 4);
    header[8] = 8; // bit depth
    header[9] = 6; // RGBA
    QByteArray file("\x89PNG\r\n\x1a\n", 8);
    file += Chunk("IHDR", header);
    for (qsizetype at = 0; at < Stream.size(); at += 8192)
        file += Chunk("IDAT", Stream.mid(at, 8192));
    return file + Chunk("IEND", {});
}

QByteArray ZeroRowsStream(int Width, int Height, qint64 Extra)
{
    const QByteArray raw(qsizetype(Height) * (1 + Width * 4) + Extra, '\0');
    uLongf size = compressBound(uLong(raw.size()));
    QByteArray stream(qsizetype(size), '\0');
    compress2(reinterpret_cast<Bytef*>(stream.data()), &size, reinterpret_cast<const Bytef*>(raw.constData()),
              uLong(raw.size()), 9);
    stream.resize(qsizetype(size));
    return stream;
}

qsizetype GifCodeSizeOffset(const QByteArray& Gif)
{
    const auto* bytes = reinterpret_cast<const uchar*>(Gif.constData());
    qsizetype pos = 13 + ((bytes[10] & 0x80) ? 3 * (2 << (bytes[10] & 7)) : 0);
    while (pos < Gif.size() && bytes[pos] == 0x21) { // extensions: label, sub-blocks
        pos += 2;
        while (pos < Gif.size() && bytes[pos] != 0)
            pos += 1 + bytes[pos];
        ++pos;
    }
    // The image descriptor and its local colour table.
    return pos + 10 + ((bytes[pos + 9] & 0x80) ? 3 * (2 << (bytes[pos + 9] & 7)) : 0);
}

QByteArray TgaOf(const QImage& Picture)
{
    QByteArray file(18, '\0');
    file[2] = 2; // uncompressed true colour
    qToLittleEndian<quint16>(quint16(Picture.width()), file.data() + 12);
    qToLittleEndian<quint16>(quint16(Picture.height()), file.data() + 14);
    file[16] = 24;
    file[17] = 0x20; // top-left origin
    for (int y = 0; y < Picture.height(); ++y)
        for (int x = 0; x < Picture.width(); ++x) {
            const QRgb pixel = Picture.pixel(x, y);
            file.append(char(qBlue(pixel))).append(char(qGreen(pixel))).append(char(qRed(pixel)));
        }
    // The version 2 footer: no extension or developer area.
    return file + QByteArray(8, '\0') + QByteArray("TRUEVISION-XFILE.\0", 18);
}

QByteArray TiffWithDamagedLzw(const QImage& Picture)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "tiff");
    writer.setCompression(1); // LZW
    writer.write(Picture);
    QRandomGenerator random(3);
    for (qsizetype i = 200; i < 600 && i < bytes.size(); ++i)
        bytes[i] = char(random.bounded(256));
    return bytes;
}
