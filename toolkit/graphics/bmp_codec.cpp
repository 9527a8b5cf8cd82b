#include "toolkit/graphics/bmp_codec.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>
#include <stdexcept>

namespace
{

// BMP layout sizes in bytes.
constexpr int FileHeaderSize = 14;
constexpr int InfoHeaderSize = 40;
constexpr int V4HeaderSize = 108;
constexpr quint32 BI_RGB = 0;
constexpr quint32 BI_BITFIELDS = 3;

void Put16(QByteArray& Out, int Offset, quint16 Value)
{
    qToLittleEndian(Value, Out.data() + Offset);
}
void Put32(QByteArray& Out, int Offset, quint32 Value)
{
    qToLittleEndian(Value, Out.data() + Offset);
}

// Qt decodes an uncompressed BMP whose pixel rows are cut short and fills in
// the rest; such data is damaged, so the headers are checked against the
// number of bytes first. Returns why the data is not usable, or nothing.
QString CheckBmpLayout(const QByteArray& Bytes)
{
    if (Bytes.size() < FileHeaderSize + 12 || !Bytes.startsWith("BM"))
        return QStringLiteral("the data does not start with a BMP file header");
    const auto* data = reinterpret_cast<const uchar*>(Bytes.constData());
    const quint32 offBits = qFromLittleEndian<quint32>(data + 10);
    const quint32 headerSize = qFromLittleEndian<quint32>(data + FileHeaderSize);
    qint64 width = 0, height = 0;
    int bitCount = 0;
    quint32 compression = BI_RGB;
    if (headerSize == 12) {
        width = qFromLittleEndian<quint16>(data + 18);
        height = qFromLittleEndian<quint16>(data + 20);
        bitCount = qFromLittleEndian<quint16>(data + 24);
    } else {
        if (headerSize < InfoHeaderSize || Bytes.size() < FileHeaderSize + InfoHeaderSize)
            return QStringLiteral("the BMP info header is incomplete");
        width = qFromLittleEndian<qint32>(data + 18);
        height = qFromLittleEndian<qint32>(data + 22);
        bitCount = qFromLittleEndian<quint16>(data + 28);
        compression = qFromLittleEndian<quint32>(data + 30);
    }
    height = height < 0 ? -height : height;
    if (width <= 0 || height <= 0)
        return QStringLiteral("the bitmap has no pixels");
    if (width * height > BmpMaxPixels)
        return QStringLiteral("%1 x %2 pixels is too large").arg(width).arg(height);
    if (compression == BI_RGB || compression == BI_BITFIELDS || compression == 6) {
        const qint64 rowBytes = ((width * bitCount + 31) / 32) * 4;
        if (qint64(offBits) + rowBytes * height > Bytes.size())
            return QStringLiteral("the pixel data is cut short");
    }
    return {};
}

} // namespace

QByteArray EncodeBmp(const QImage& Source)
{
    if (Source.isNull())
        return {};
    const QImage Image =
        Source.format() == QImage::Format_ARGB32 ? Source : Source.convertToFormat(QImage::Format_ARGB32);
    const int width = Image.width(), height = Image.height();
    bool opaque = true;
    for (int y = 0; y < height && opaque; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(Image.constScanLine(y));
        for (int x = 0; x < width; ++x)
            if (qAlpha(line[x]) != 255) {
                opaque = false;
                break;
            }
    }
    const int headerSize = opaque ? InfoHeaderSize : V4HeaderSize;
    const int bitCount = opaque ? 24 : 32;
    const qint64 rowBytes = ((qint64(width) * bitCount + 31) / 32) * 4;
    const qint64 imageBytes = rowBytes * height;
    const qint64 offBits = FileHeaderSize + headerSize;
    if (offBits + imageBytes > qint64(0x7FFFFFFF))
        throw std::runtime_error("The bitmap is too large for the BMP file format");
    QByteArray out(int(offBits + imageBytes), '\0');
    // BITMAPFILEHEADER
    out[0] = 'B';
    out[1] = 'M';
    Put32(out, 2, quint32(out.size()));
    Put32(out, 10, quint32(offBits));
    // BITMAPINFOHEADER (first 40 bytes of the version 4 header as well)
    const int h = FileHeaderSize;
    Put32(out, h + 0, quint32(headerSize));
    Put32(out, h + 4, quint32(width));
    Put32(out, h + 8, quint32(height)); // positive: bottom-up rows
    Put16(out, h + 12, 1);
    Put16(out, h + 14, quint16(bitCount));
    Put32(out, h + 16, opaque ? BI_RGB : BI_BITFIELDS);
    Put32(out, h + 20, quint32(imageBytes));
    Put32(out, h + 24, quint32(Image.dotsPerMeterX() > 0 ? Image.dotsPerMeterX() : BmpDefaultDotsPerMeter));
    Put32(out, h + 28, quint32(Image.dotsPerMeterY() > 0 ? Image.dotsPerMeterY() : BmpDefaultDotsPerMeter));
    if (!opaque) {
        Put32(out, h + 40, 0x00FF0000u);
        Put32(out, h + 44, 0x0000FF00u);
        Put32(out, h + 48, 0x000000FFu);
        Put32(out, h + 52, 0xFF000000u);
        Put32(out, h + 56, 0x73524742u); // 'sRGB' colour space
    }
    char* bits = out.data() + offBits;
    for (int y = 0; y < height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(Image.constScanLine(height - 1 - y));
        auto* row = reinterpret_cast<uchar*>(bits + rowBytes * y);
        for (int x = 0; x < width; ++x) {
            const QRgb pixel = line[x];
            *row++ = uchar(qBlue(pixel));
            *row++ = uchar(qGreen(pixel));
            *row++ = uchar(qRed(pixel));
            if (!opaque)
                *row++ = uchar(qAlpha(pixel));
        }
    }
    return out;
}

QImage DecodeBmp(QByteArray Bytes, QString* Reason)
{
    QString reason = Bytes.isEmpty() ? QStringLiteral("the stream holds no data") : CheckBmpLayout(Bytes);
    QImage image;
    if (reason.isEmpty()) {
        QBuffer buffer(&Bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, "bmp");
        if (!reader.read(&image) || image.isNull())
            reason = reader.errorString();
    }
    if (!reason.isEmpty()) {
        if (Reason)
            *Reason = reason;
        return {};
    }
    return image;
}
