#include "imaging/codecs/flatten_over_white.h"

#include <QColorSpace>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <new>

namespace
{
// Draws Source over white into Target, which must be Format_RGB32 and as
// large: the one drawing both ways share, so their pixels agree.
void DrawOverWhite(QImage& Target, const QImage& Source)
{
    Target.fill(Qt::white);
    QPainter painter(&Target);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawImage(QPoint(0, 0), Source);
    painter.end();
}

// Rows drawn at a time in place: a band's copy is all the extra memory.
constexpr int BandRows = 64;
} // namespace

QImage FlattenOverWhite(const QImage& Image)
{
    // Already opaque in the flattened format: drawing it over white would
    // only copy it (the GIF writer flattens what it is given again).
    if (Image.format() == QImage::Format_RGB32)
        return Image;
    QImage flat(Image.size(), QImage::Format_RGB32);
    if (flat.isNull())
        return flat;
    DrawOverWhite(flat, Image);
    return flat;
}

void FlattenOverWhiteInPlace(QImage& Image)
{
    if (Image.isNull() || Image.format() == QImage::Format_RGB32)
        return;
    // The flattened copy is a new image: no text, no colour space, the
    // default resolution, which the writers put in the file. In place, the
    // same is set, and a picture carrying text takes the copy.
    const QImage fresh(1, 1, QImage::Format_RGB32);
    if (Image.format() != QImage::Format_ARGB32 || !Image.textKeys().isEmpty()) {
        Image = FlattenOverWhite(Image);
        return;
    }
    // Source-over onto an opaque target works pixel by pixel, so a band
    // drawn over the white band it came from is what the whole picture
    // drawn at once gives there.
    const int width = Image.width();
    const qsizetype stride = Image.bytesPerLine();
    for (int top = 0; top < Image.height(); top += BandRows) {
        const int rows = std::min(BandRows, Image.height() - top);
        const QImage band = Image.copy(0, top, width, rows);
        if (band.isNull()) {
            Image = QImage();
            return;
        }
        QImage target(Image.scanLine(top), width, rows, stride, QImage::Format_RGB32);
        DrawOverWhite(target, band);
    }
    Image.reinterpretAsFormat(QImage::Format_RGB32);
    Image.setDotsPerMeterX(fresh.dotsPerMeterX());
    Image.setDotsPerMeterY(fresh.dotsPerMeterY());
    Image.setDevicePixelRatio(1);
    Image.setOffset(fresh.offset());
    if (Image.colorSpace().isValid())
        Image.setColorSpace(QColorSpace());
}

void FlattenRowsOverWhite(std::uint32_t* Rows, int Width, int Count, std::size_t Stride)
{
    if (Width <= 0 || Count <= 0)
        return;
    const qsizetype bytesPerLine = qsizetype(Stride * 4);
    const QImage band =
        QImage(reinterpret_cast<const uchar*>(Rows), Width, Count, bytesPerLine, QImage::Format_ARGB32)
            .copy();
    if (band.isNull())
        throw std::bad_alloc();
    QImage target(reinterpret_cast<uchar*>(Rows), Width, Count, bytesPerLine, QImage::Format_RGB32);
    DrawOverWhite(target, band);
}

int FreshDotsPerMeterX()
{
    return QImage(1, 1, QImage::Format_RGB32).dotsPerMeterX();
}

int FreshDotsPerMeterY()
{
    return QImage(1, 1, QImage::Format_RGB32).dotsPerMeterY();
}
