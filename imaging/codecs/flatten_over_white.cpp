#include "imaging/codecs/flatten_over_white.h"

#include <QImage>
#include <QPainter>

QImage FlattenOverWhite(const QImage& Image)
{
    // Already opaque in the flattened format: drawing it over white would
    // only copy it (the GIF writer flattens what it is given again).
    if (Image.format() == QImage::Format_RGB32)
        return Image;
    QImage flat(Image.size(), QImage::Format_RGB32);
    if (flat.isNull())
        return flat;
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawImage(QPoint(0, 0), Image);
    painter.end();
    return flat;
}
