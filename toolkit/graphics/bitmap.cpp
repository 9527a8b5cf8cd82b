#include "toolkit/graphics/bitmap.h"

#include "toolkit/graphics/canvas.h"

#include <QBuffer>
#include <QIODevice>
#include <QImageReader>
#include <QPainter>
#include <QtEndian>
#include <cstring>
#include <stdexcept>

namespace
{

// BMP layout sizes in bytes.
constexpr int FileHeaderSize = 14;
constexpr int InfoHeaderSize = 40;
constexpr int V4HeaderSize = 108;
constexpr quint32 BI_RGB = 0;
constexpr quint32 BI_BITFIELDS = 3;
// Pixels per meter written when the image has none: 96 pixels per inch.
constexpr int DefaultDotsPerMeter = 3780;
// Larger bitmaps are refused rather than allocated.
constexpr qint64 MaxPixels = qint64(1) << 28;

void Put16(QByteArray& Out, int Offset, quint16 Value)
{
    qToLittleEndian(Value, Out.data() + Offset);
}
void Put32(QByteArray& Out, int Offset, quint32 Value)
{
    qToLittleEndian(Value, Out.data() + Offset);
}

QImage NewImage(int Width, int Height)
{
    QImage image(Width, Height, QImage::Format_ARGB32);
    if (image.isNull())
        throw std::runtime_error("Could not allocate memory for a bitmap of " + std::to_string(Width) +
                                 " x " + std::to_string(Height) + " pixels");
    image.setDotsPerMeterX(DefaultDotsPerMeter);
    image.setDotsPerMeterY(DefaultDotsPerMeter);
    return image;
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
    if (width * height > MaxPixels)
        return QStringLiteral("%1 x %2 pixels is too large").arg(width).arg(height);
    if (compression == BI_RGB || compression == BI_BITFIELDS || compression == 6) {
        const qint64 rowBytes = ((width * bitCount + 31) / 32) * 4;
        if (qint64(offBits) + rowBytes * height > Bytes.size())
            return QStringLiteral("the pixel data is cut short");
    }
    return {};
}

} // namespace

TBitmap::TBitmap(QObject* parent) : TGraphic(parent), FCanvas(std::make_unique<TCanvas>(&FImage)) {}

TBitmap::~TBitmap()
{
    FCanvas->ReleasePainter();
}

QImage& TBitmap::Image()
{
    return FImage;
}

void TBitmap::SetSize(int NewWidth, int NewHeight)
{
    NewWidth = qMax(0, NewWidth);
    NewHeight = qMax(0, NewHeight);
    if (NewWidth == FWidth && NewHeight == FHeight)
        return;
    if (qint64(NewWidth) * NewHeight > MaxPixels)
        throw std::runtime_error("Could not allocate memory for a bitmap of " + std::to_string(NewWidth) +
                                 " x " + std::to_string(NewHeight) + " pixels");
    FCanvas->ReleasePainter();
    QImage resized;
    if (NewWidth > 0 && NewHeight > 0) {
        resized = NewImage(NewWidth, NewHeight);
        resized.fill(0xFFFFFFFFu);
        if (!FImage.isNull()) {
            resized.setDotsPerMeterX(FImage.dotsPerMeterX());
            resized.setDotsPerMeterY(FImage.dotsPerMeterY());
            const int rows = qMin(NewHeight, FImage.height());
            const int bytes = qMin(NewWidth, FImage.width()) * 4;
            for (int y = 0; y < rows; ++y)
                std::memcpy(resized.scanLine(y), FImage.constScanLine(y), size_t(bytes));
        }
    }
    FImage = resized;
    FWidth = NewWidth;
    FHeight = NewHeight;
    Changed();
}

void TBitmap::SetImage(const QImage& Image)
{
    FCanvas->ReleasePainter();
    if (Image.isNull()) {
        FImage = QImage();
        FWidth = FHeight = 0;
    } else {
        FImage = Image.convertToFormat(QImage::Format_ARGB32);
        if (FImage.isNull())
            throw std::runtime_error("Could not allocate memory for a bitmap");
        FWidth = FImage.width();
        FHeight = FImage.height();
    }
    Changed();
}

void TBitmap::SetTransparent(bool Value)
{
    if (FTransparent == Value)
        return;
    FTransparent = Value;
    Changed();
}

TColor TBitmap::TransparentColor() const
{
    if (FFixedTransparentColor)
        return FTransparentColor;
    if (IsEmpty() || FImage.isNull())
        return clNone;
    const QRgb pixel = FImage.pixel(0, FImage.height() - 1);
    return RGBToColor(qRed(pixel), qGreen(pixel), qBlue(pixel));
}

void TBitmap::SetTransparentColor(TColor Value)
{
    FFixedTransparentColor = true;
    FTransparentColor = Value;
    Changed();
}

void TBitmap::SetAutoTransparentColor()
{
    FFixedTransparentColor = false;
    Changed();
}

void TBitmap::DrawInRect(TCanvas& Canvas, const QRect& Rect)
{
    if (IsEmpty() || FImage.isNull() || Rect.isEmpty())
        return;
    if (!FTransparent) {
        Canvas.DrawImage(Rect, FImage, false);
        return;
    }
    if (TransparentColor() == clNone) {
        Canvas.DrawImage(Rect, FImage, false);
        return;
    }
    // Pixels of the key colour become fully transparent and the rest are
    // drawn over the canvas, so the canvas keeps its pixels where the key was.
    const TColor key = ColorToRGB(TransparentColor());
    QImage masked = FImage.copy();
    const QRgb keyRgb = qRgb(key & 0xFF, (key >> 8) & 0xFF, (key >> 16) & 0xFF) & 0x00FFFFFFu;
    for (int y = 0; y < masked.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(masked.scanLine(y));
        for (int x = 0; x < masked.width(); ++x)
            if ((line[x] & 0x00FFFFFFu) == keyRgb)
                line[x] = 0;
    }
    Canvas.DrawImage(Rect, masked, true);
}

QByteArray TBitmap::SaveToBmp() const
{
    if (IsEmpty() || FImage.isNull())
        return {};
    const int width = FImage.width(), height = FImage.height();
    bool opaque = true;
    for (int y = 0; y < height && opaque; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(FImage.constScanLine(y));
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
    Put32(out, h + 24, quint32(FImage.dotsPerMeterX() > 0 ? FImage.dotsPerMeterX() : DefaultDotsPerMeter));
    Put32(out, h + 28, quint32(FImage.dotsPerMeterY() > 0 ? FImage.dotsPerMeterY() : DefaultDotsPerMeter));
    if (!opaque) {
        Put32(out, h + 40, 0x00FF0000u);
        Put32(out, h + 44, 0x0000FF00u);
        Put32(out, h + 48, 0x000000FFu);
        Put32(out, h + 52, 0xFF000000u);
        Put32(out, h + 56, 0x73524742u); // 'sRGB' colour space
    }
    char* bits = out.data() + offBits;
    for (int y = 0; y < height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(FImage.constScanLine(height - 1 - y));
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

void TBitmap::SaveStream(QIODevice* Stream)
{
    if (!Stream)
        return;
    const QByteArray bytes = SaveToBmp();
    if (!bytes.isEmpty() && Stream->write(bytes) != bytes.size())
        throw std::runtime_error("Could not write the bitmap: " + Stream->errorString().toStdString());
}

void TBitmap::LoadStream(QIODevice* Stream)
{
    if (!Stream)
        return;
    QByteArray bytes = Stream->readAll();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    QImage image;
    QString reason;
    if (bytes.isEmpty())
        reason = QStringLiteral("the stream holds no data");
    else
        reason = CheckBmpLayout(bytes);
    if (reason.isEmpty() && (!reader.read(&image) || image.isNull()))
        reason = reader.errorString();
    if (!reason.isEmpty()) {
        const bool wasEmpty = IsEmpty();
        FCanvas->ReleasePainter();
        FImage = QImage();
        FWidth = FHeight = 0;
        if (!wasEmpty)
            Changed();
        throw std::runtime_error("Bitmap image is not valid: " + reason.toStdString());
    }
    SetImage(image);
}

void TBitmap::CopyFrom(const TPersistent* Source)
{
    if (Source == this)
        return;
    if (!Source) {
        SetImage(QImage());
        return;
    }
    if (const auto* other = qobject_cast<const TBitmap*>(Source)) {
        FCanvas->ReleasePainter();
        FImage = other->FImage.copy();
        FWidth = other->FWidth;
        FHeight = other->FHeight;
        FTransparent = other->FTransparent;
        FFixedTransparentColor = other->FFixedTransparentColor;
        FTransparentColor = other->FTransparentColor;
        Changed();
        return;
    }
    if (const auto* graphic = qobject_cast<const TGraphic*>(Source)) {
        auto* drawable = const_cast<TGraphic*>(graphic);
        if (drawable->IsEmpty()) {
            SetImage(QImage());
            return;
        }
        QImage image = NewImage(qMax(1, drawable->Width()), qMax(1, drawable->Height()));
        image.fill(0xFFFFFFFFu);
        {
            TCanvas canvas(&image);
            drawable->DrawInRect(canvas, image.rect());
        }
        SetImage(image);
    }
}
