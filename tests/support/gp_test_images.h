#pragma once

// Small image files made at test time, shared by the tests.

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QImageWriter>
#include <QtEndian>
#include <libdeflate.h>

namespace gp_test
{

// Encodes Image with Qt's writer for Format ("png", "jpeg", ...).
inline QByteArray Encode(const QImage& Image, const char* Format, int Quality = -1)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, Format);
    if (Quality >= 0)
        writer.setQuality(Quality);
    if (!writer.write(Image))
        return {};
    return bytes;
}

// A small picture with a distinct colour per quadrant, opaque.
inline QImage Quadrants(int Width = 16, int Height = 12)
{
    QImage image(Width, Height, QImage::Format_ARGB32);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            const bool right = x >= Width / 2, bottom = y >= Height / 2;
            image.setPixel(
                x, y, !bottom ? (right ? 0xFF0000FFu : 0xFFFF0000u) : (right ? 0xFFFFFF00u : 0xFF00FF00u));
        }
    return image;
}

// A PNG chunk with its length and CRC.
inline QByteArray PngChunk(const char* Type, const QByteArray& Payload)
{
    QByteArray chunk;
    quint32 length = qToBigEndian<quint32>(quint32(Payload.size()));
    chunk.append(reinterpret_cast<const char*>(&length), 4);
    QByteArray body = QByteArray(Type, 4) + Payload;
    chunk.append(body);
    quint32 crc = qToBigEndian<quint32>(libdeflate_crc32(0, body.constData(), size_t(body.size())));
    chunk.append(reinterpret_cast<const char*>(&crc), 4);
    return chunk;
}

// A PNG whose header declares Width x Height RGBA pixels; its data is one
// small compressed block, far too short for the declared size.
inline QByteArray PngDeclaring(quint32 Width, quint32 Height)
{
    QByteArray header(13, '\0');
    qToBigEndian<quint32>(Width, header.data());
    qToBigEndian<quint32>(Height, header.data() + 4);
    header[8] = 8; // bit depth
    header[9] = 6; // RGBA
    const QByteArray signature("\x89PNG\r\n\x1a\n", 8);
    // A zlib stream of eight zero bytes.
    const QByteArray idat = QByteArray::fromHex("78da636080000000080001");
    return signature + PngChunk("IHDR", header) + PngChunk("IDAT", idat) + PngChunk("IEND", {});
}

} // namespace gp_test
