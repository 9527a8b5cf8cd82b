// Draws the program icon, a glossy light-blue orb standing on its fading
// reflection, at the sizes the desktop asks for.
//
// Usage: make_icons OUTPUT_DIR  (writes lumivex-48.png, -32, -24 and -16)

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include <cstdio>

namespace
{

// The orb on its own, filling Size x Size. Each size is drawn directly rather
// than scaled down from a large one, so that the small icons stay sharp.
QImage DrawOrb(int Size)
{
    QImage orb(Size, Size, QImage::Format_ARGB32_Premultiplied);
    orb.fill(Qt::transparent);
    QPainter p(&orb);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = Size;
    const QRectF ball(0.5, 0.5, s - 1.0, s - 1.0);

    QRadialGradient body(QPointF(s * 0.38, s * 0.30), s * 0.75, QPointF(s * 0.38, s * 0.30));
    body.setColorAt(0.0, QColor(0xD2, 0xEE, 0xFF));
    body.setColorAt(0.45, QColor(0x7C, 0xC4, 0xF2));
    body.setColorAt(1.0, QColor(0x2A, 0x7C, 0xC8));
    p.setPen(QPen(QColor(0x17, 0x58, 0x98, 190), s >= 32 ? 1.0 : 0.8));
    p.setBrush(body);
    p.drawEllipse(ball);

    // The gloss: a soft white cap over the upper half.
    const QRectF cap(s * 0.20, s * 0.07, s * 0.60, s * 0.42);
    QLinearGradient gloss(cap.topLeft(), cap.bottomLeft());
    gloss.setColorAt(0.0, QColor(255, 255, 255, 230));
    gloss.setColorAt(1.0, QColor(255, 255, 255, 10));
    p.setPen(Qt::NoPen);
    p.setBrush(gloss);
    p.drawEllipse(cap);
    return orb;
}

QImage DrawIcon(int Size)
{
    QImage icon(Size, Size, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);

    // The orb takes the upper part; what is left below is for the reflection.
    const int orbSize = (Size * 5 + 4) / 8;
    const int left = (Size - orbSize) / 2;
    const int top = Size >= 24 ? 1 : 0;
    const QImage orb = DrawOrb(orbSize);

    // The reflection: the orb mirrored, fading out from 45% opacity.
    QImage reflection = orb.mirrored(false, true);
    {
        QPainter fade(&reflection);
        fade.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        QLinearGradient alpha(0, 0, 0, orbSize * 0.6);
        alpha.setColorAt(0.0, QColor(0, 0, 0, 115));
        alpha.setColorAt(1.0, QColor(0, 0, 0, 0));
        fade.fillRect(reflection.rect(), alpha);
    }

    QPainter p(&icon);
    p.drawImage(left, top + orbSize, reflection);
    p.drawImage(left, top, orb);
    p.end();
    return icon.convertToFormat(QImage::Format_ARGB32);
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icons OUTPUT_DIR\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.exists() && !QDir().mkpath(dir.path())) {
        std::fprintf(stderr, "make_icons: cannot create %s\n", argv[1]);
        return 1;
    }
    for (int size : {48, 32, 24, 16}) {
        const QString path = dir.filePath(QStringLiteral("lumivex-%1.png").arg(size));
        if (!DrawIcon(size).save(path, "png")) {
            std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
