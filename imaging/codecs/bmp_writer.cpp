#include "imaging/codecs/bmp_writer.h"

#include "imaging/codecs/image_row_feed.h"

#include <QIODevice>
#include <QImage>
#include <QtEndian>
#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace
{
constexpr int FileHeaderBytes = 14;
constexpr int InfoHeaderBytes = 40;

void Put16(char* At, std::uint16_t Value)
{
    qToLittleEndian(Value, At);
}

void Put32(char* At, std::uint32_t Value)
{
    qToLittleEndian(Value, At);
}

bool Fail(QString* Reason, const QString& Text)
{
    if (Reason)
        *Reason = Text;
    return false;
}
} // namespace

QByteArray BmpFromRows(const TBmpRowPicture& Picture, QString* Reason)
{
    const int width = Picture.Width, height = Picture.Height;
    if (width <= 0 || height <= 0 || !Picture.Feed) {
        Fail(Reason, QStringLiteral("no image to write"));
        return {};
    }
    const qint64 rowBytes = (qint64(width) * 3 + 3) / 4 * 4;
    const qint64 offset = FileHeaderBytes + InfoHeaderBytes;
    const qint64 fileBytes = offset + rowBytes * height;
    if (fileBytes > qint64(0x7FFFFFFF)) {
        Fail(Reason, QStringLiteral("a BMP file cannot hold %1 × %2 pixels").arg(width).arg(height));
        return {};
    }
    QByteArray file;
    std::vector<std::uint32_t> band;
    try {
        file = QByteArray(qsizetype(fileBytes), '\0');
        band.resize(std::size_t(width) * BmpBandRows);
    } catch (const std::bad_alloc&) {
        Fail(Reason, QStringLiteral("out of memory for a %1 × %2 BMP file").arg(width).arg(height));
        return {};
    }
    char* bytes = file.data();
    bytes[0] = 'B';
    bytes[1] = 'M';
    Put32(bytes + 2, std::uint32_t(fileBytes));
    Put32(bytes + 10, std::uint32_t(offset));
    char* info = bytes + FileHeaderBytes;
    Put32(info, InfoHeaderBytes);
    Put32(info + 4, std::uint32_t(width));
    Put32(info + 8, std::uint32_t(height)); // positive: the rows run bottom-up
    Put16(info + 12, 1);
    Put16(info + 14, 24);
    Put32(info + 20, std::uint32_t(rowBytes * height));
    Put32(info + 24, std::uint32_t(Picture.DotsPerMeterX));
    Put32(info + 28, std::uint32_t(Picture.DotsPerMeterY));
    for (int top = 0; top < height; top += BmpBandRows) {
        const int rows = std::min(BmpBandRows, height - top);
        if (!Picture.Feed(top, rows, band.data(), std::size_t(width)))
            return {};
        for (int y = 0; y < rows; ++y) {
            const std::uint32_t* in = band.data() + std::size_t(y) * std::size_t(width);
            auto* out = reinterpret_cast<std::uint8_t*>(bytes + offset + (height - 1 - top - y) * rowBytes);
            for (int x = 0; x < width; ++x, out += 3) {
                out[0] = std::uint8_t(in[x]);
                out[1] = std::uint8_t(in[x] >> 8);
                out[2] = std::uint8_t(in[x] >> 16);
            }
        }
    }
    return file;
}

bool WriteBmpImage(const QImage& Image, QIODevice* Device, QString* Reason)
{
    const QImage rows =
        Image.format() == QImage::Format_RGB32 ? Image : Image.convertToFormat(QImage::Format_RGB32);
    if (rows.isNull())
        return Fail(Reason, QStringLiteral("out of memory converting the image"));
    TBmpRowPicture picture;
    picture.Width = rows.width();
    picture.Height = rows.height();
    picture.DotsPerMeterX = rows.dotsPerMeterX();
    picture.DotsPerMeterY = rows.dotsPerMeterY();
    picture.Feed = ImageRowFeed(rows);
    const QByteArray file = BmpFromRows(picture, Reason);
    if (file.isEmpty())
        return SaveOnThisThreadCancelled() ? Fail(Reason, QStringLiteral("cancelled")) : false;
    if (Device->write(file) == file.size())
        return true;
    return Fail(Reason, Device->errorString());
}
