#include "designer/widget_box_icons.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <functional>

namespace
{
// Draws Motif into the top half of a Size x Size square and a copy of it,
// mirrored and fading out, into the bottom half.
QPixmap Reflected(int Size, const std::function<void(QPainter&, const QRectF&)>& Motif)
{
    const int half = Size / 2;
    QImage top(Size, half, QImage::Format_ARGB32_Premultiplied);
    top.fill(Qt::transparent);
    {
        QPainter painter(&top);
        painter.setRenderHint(QPainter::Antialiasing);
        Motif(painter, QRectF(1, 1, Size - 2, half - 1));
    }
    QImage mirror = top.mirrored(false, true);
    {
        QPainter painter(&mirror);
        painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        QLinearGradient fade(0, 0, 0, half);
        fade.setColorAt(0, QColor(0, 0, 0, 140));
        fade.setColorAt(1, QColor(0, 0, 0, 0));
        painter.fillRect(mirror.rect(), fade);
    }
    QImage icon(Size, Size, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.drawImage(0, 0, top);
    painter.drawImage(0, half, mirror);
    painter.end();
    return QPixmap::fromImage(icon);
}

QIcon ReflectedIcon(const std::function<void(QPainter&, const QRectF&)>& Motif)
{
    QIcon icon;
    for (int size : {16, 22, 32, 48})
        icon.addPixmap(Reflected(size, Motif));
    return icon;
}
} // namespace

QIcon ReflectionImageIcon()
{
    return ReflectedIcon([](QPainter& Painter, const QRectF& Area) {
        Painter.setPen(QPen(QColor(40, 70, 120), 1));
        Painter.setBrush(QColor(120, 180, 240));
        Painter.drawRect(Area.adjusted(0.5, 0.5, -0.5, 0));
        // A green hill and a sun: a picture, not a plain box.
        Painter.setPen(Qt::NoPen);
        Painter.setBrush(QColor(60, 150, 60));
        Painter.drawEllipse(QRectF(Area.left(), Area.center().y(), Area.width(), Area.height()));
        Painter.setBrush(QColor(250, 210, 60));
        const qreal sun = Area.height() / 3;
        Painter.drawEllipse(QRectF(Area.right() - 2 * sun, Area.top() + sun / 3, sun, sun));
    });
}

QIcon ReflectionLabelIcon()
{
    return ReflectedIcon([](QPainter& Painter, const QRectF& Area) {
        QFont font = Painter.font();
        font.setBold(true);
        font.setPixelSize(qMax(6, int(Area.height() * 1.1)));
        Painter.setFont(font);
        Painter.setPen(QColor(30, 80, 160));
        Painter.drawText(Area, Qt::AlignHCenter | Qt::AlignBottom, QStringLiteral("Ab"));
    });
}
