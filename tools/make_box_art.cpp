// Draws the picture the image page shows at start: a plain, glossy light-blue
// product box standing at an angle on a transparent background, 171 x 220
// pixels, written as an 8-bit RGBA PNG that says its background is white.
//
// Usage: make_box_art OUTPUT.png

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QTransform>

#include <libdeflate.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace
{

constexpr int CanvasWidth = 171;
constexpr int CanvasHeight = 220;

// Box proportions in world units: a tall retail box whose front is about three
// times as wide as its spine.
constexpr double BoxWidth = 1.0;
constexpr double BoxDepth = 0.34;
constexpr double BoxHeight = 1.5;

struct Vec3 {
    double X, Y, Z;
};

// A simple pinhole camera a little above the box, looking slightly down at
// it, with the box turned so that its right-hand spine shows.
class Camera
{
  public:
    Camera()
    {
        const double eyeHeight = BoxHeight + 1.9;
        const double targetHeight = BoxHeight * 0.45;
        Pitch = std::atan2(eyeHeight - targetHeight, Distance);
        Eye = {0.0, eyeHeight, -Distance};
    }

    QPointF Project(Vec3 P) const
    {
        // Turn the box about its vertical axis.
        const double c = std::cos(Turn), s = std::sin(Turn);
        const Vec3 r{P.X * c + P.Z * s, P.Y, -P.X * s + P.Z * c};
        // Into camera space, then tilt the view down by the pitch.
        const Vec3 d{r.X - Eye.X, r.Y - Eye.Y, r.Z - Eye.Z};
        const double cp = std::cos(Pitch), sp = std::sin(Pitch);
        const double y = d.Y * cp + d.Z * sp;
        const double z = -d.Y * sp + d.Z * cp;
        return {Focal * d.X / z, -Focal * y / z};
    }

  private:
    static constexpr double Turn = 0.52; // radians, about 30 degrees
    static constexpr double Distance = 4.6;
    static constexpr double Focal = 100.0;
    double Pitch = 0.0;
    Vec3 Eye{};
};

// The seven visible corners of the box on the canvas.
struct BoxCorners {
    QPointF FrontLeftBottom, FrontRightBottom, BackRightBottom;
    QPointF FrontLeftTop, FrontRightTop, BackRightTop, BackLeftTop;
};

BoxCorners ProjectBox()
{
    const Camera camera;
    const double x0 = -BoxWidth / 2, x1 = BoxWidth / 2, z0 = -BoxDepth / 2, z1 = BoxDepth / 2;
    BoxCorners b{camera.Project({x0, 0, z0}),         camera.Project({x1, 0, z0}),
                 camera.Project({x1, 0, z1}),         camera.Project({x0, BoxHeight, z0}),
                 camera.Project({x1, BoxHeight, z0}), camera.Project({x1, BoxHeight, z1}),
                 camera.Project({x0, BoxHeight, z1})};

    // Scale and move the drawing so that it fills the canvas, with the lowest
    // corner just above the bottom row (the box stands on its reflection).
    std::array<QPointF*, 7> all{&b.FrontLeftBottom, &b.FrontRightBottom, &b.BackRightBottom, &b.FrontLeftTop,
                                &b.FrontRightTop,   &b.BackRightTop,     &b.BackLeftTop};
    double minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9;
    for (const QPointF* p : all) {
        minX = std::min(minX, p->x());
        maxX = std::max(maxX, p->x());
        minY = std::min(minY, p->y());
        maxY = std::max(maxY, p->y());
    }
    const double marginSide = 3.0, marginTop = 3.0, bottom = CanvasHeight - 1.5;
    const double scale =
        std::min((CanvasWidth - 2 * marginSide) / (maxX - minX), (bottom - marginTop) / (maxY - minY));
    const double offsetX = (CanvasWidth - (maxX - minX) * scale) / 2 - minX * scale;
    const double offsetY = bottom - maxY * scale;
    for (QPointF* p : all)
        *p = QPointF(p->x() * scale + offsetX, p->y() * scale + offsetY);
    return b;
}

// Maps a face's own flat rectangle onto its quad on the canvas, so that the
// gradients painted on the face follow its perspective.
QTransform FaceTransform(const QRectF& Local, const QPointF& TopLeft, const QPointF& TopRight,
                         const QPointF& BottomRight, const QPointF& BottomLeft)
{
    QPolygonF from;
    from << Local.topLeft() << Local.topRight() << Local.bottomRight() << Local.bottomLeft();
    QPolygonF to;
    to << TopLeft << TopRight << BottomRight << BottomLeft;
    QTransform t;
    QTransform::quadToQuad(from, to, t);
    return t;
}

// A diagonal glossy streak across a face: a band that brightens towards its
// middle. Start and End give the band's centre line in face units.
void PaintStreak(QPainter& P, const QRectF& Face, QPointF Start, QPointF End, double HalfWidth, int PeakAlpha)
{
    const QPointF dir = End - Start;
    const double len = std::hypot(dir.x(), dir.y());
    const QPointF normal(-dir.y() / len * HalfWidth, dir.x() / len * HalfWidth);
    QLinearGradient g(Start - normal, Start + normal);
    g.setColorAt(0.0, QColor(255, 255, 255, 0));
    g.setColorAt(0.35, QColor(255, 255, 255, PeakAlpha / 2));
    g.setColorAt(0.5, QColor(255, 255, 255, PeakAlpha));
    g.setColorAt(0.65, QColor(255, 255, 255, PeakAlpha / 2));
    g.setColorAt(1.0, QColor(255, 255, 255, 0));
    P.save();
    P.setClipRect(Face, Qt::IntersectClip);
    P.fillRect(Face, g);
    P.restore();
}

void PaintFront(QPainter& P, const BoxCorners& B)
{
    const QRectF face(0, 0, 100 * BoxWidth, 100 * BoxHeight);
    P.save();
    P.setTransform(
        FaceTransform(face, B.FrontLeftTop, B.FrontRightTop, B.FrontRightBottom, B.FrontLeftBottom));

    QLinearGradient base(face.topLeft(), face.bottomLeft());
    base.setColorAt(0.0, QColor(0xA2, 0xD6, 0xF9));
    base.setColorAt(0.45, QColor(0x7C, 0xC3, 0xF1));
    base.setColorAt(1.0, QColor(0x3E, 0x94, 0xD6));
    P.fillRect(face, base);

    // Light falls from the upper right: the left of the front is a little darker.
    QLinearGradient side(face.topLeft(), face.topRight());
    side.setColorAt(0.0, QColor(0x10, 0x40, 0x80, 40));
    side.setColorAt(0.6, QColor(0x10, 0x40, 0x80, 0));
    P.fillRect(face, side);

    // The glossy upper part ends in a soft curve.
    QPainterPath gloss;
    gloss.moveTo(face.topLeft());
    gloss.lineTo(face.topRight());
    gloss.lineTo(face.right(), face.height() * 0.30);
    gloss.quadTo(face.width() * 0.45, face.height() * 0.36, face.left(), face.height() * 0.52);
    gloss.closeSubpath();
    QLinearGradient glossFill(face.topLeft(), QPointF(0, face.height() * 0.52));
    glossFill.setColorAt(0.0, QColor(255, 255, 255, 115));
    glossFill.setColorAt(1.0, QColor(255, 255, 255, 25));
    P.fillPath(gloss, glossFill);

    PaintStreak(P, face, QPointF(face.left(), face.height() * 0.86),
                QPointF(face.right(), face.height() * 0.58), 9.0, 95);

    // A bright rim along the top and the front corner, as on a rounded fold.
    QLinearGradient rim(face.topRight(), QPointF(face.right() - 6, 0));
    rim.setColorAt(0.0, QColor(255, 255, 255, 120));
    rim.setColorAt(1.0, QColor(255, 255, 255, 0));
    P.fillRect(QRectF(face.right() - 6, 0, 6, face.height()), rim);
    P.restore();
}

void PaintSpine(QPainter& P, const BoxCorners& B)
{
    const QRectF face(0, 0, 100 * BoxDepth, 100 * BoxHeight);
    P.save();
    P.setTransform(
        FaceTransform(face, B.FrontRightTop, B.BackRightTop, B.BackRightBottom, B.FrontRightBottom));

    QLinearGradient base(face.topLeft(), face.bottomLeft());
    base.setColorAt(0.0, QColor(0x6F, 0xB6, 0xEA));
    base.setColorAt(0.5, QColor(0x45, 0x98, 0xDA));
    base.setColorAt(1.0, QColor(0x22, 0x6C, 0xB2));
    P.fillRect(face, base);

    // Lighter at the fold next to the front, darker towards the back.
    QLinearGradient across(face.topLeft(), face.topRight());
    across.setColorAt(0.0, QColor(255, 255, 255, 70));
    across.setColorAt(0.25, QColor(255, 255, 255, 0));
    across.setColorAt(1.0, QColor(0x08, 0x30, 0x68, 50));
    P.fillRect(face, across);

    QLinearGradient gloss(face.topLeft(), QPointF(0, face.height() * 0.45));
    gloss.setColorAt(0.0, QColor(255, 255, 255, 90));
    gloss.setColorAt(1.0, QColor(255, 255, 255, 0));
    P.fillRect(QRectF(0, 0, face.width(), face.height() * 0.45), gloss);

    // The streak of the front continues round the fold.
    PaintStreak(P, face, QPointF(face.left(), face.height() * 0.58),
                QPointF(face.right(), face.height() * 0.50), 9.0, 60);
    P.restore();
}

void PaintTop(QPainter& P, const BoxCorners& B)
{
    const QRectF face(0, 0, 100 * BoxWidth, 100 * BoxDepth);
    P.save();
    P.setTransform(FaceTransform(face, B.BackLeftTop, B.BackRightTop, B.FrontRightTop, B.FrontLeftTop));
    QLinearGradient base(face.topLeft(), face.bottomRight());
    base.setColorAt(0.0, QColor(0xCF, 0xEC, 0xFF));
    base.setColorAt(0.6, QColor(0xE6, 0xF6, 0xFF));
    base.setColorAt(1.0, QColor(0xF7, 0xFC, 0xFF));
    P.fillRect(face, base);
    P.restore();
}

void PaintEdges(QPainter& P, const BoxCorners& B)
{
    // Bright folds between the faces.
    QPen fold(QColor(255, 255, 255, 170), 1.0);
    fold.setCapStyle(Qt::RoundCap);
    P.setPen(fold);
    P.drawLine(B.FrontLeftTop, B.FrontRightTop);
    P.drawLine(B.FrontRightTop, B.BackRightTop);
    QPen corner(QColor(255, 255, 255, 120), 1.0);
    P.setPen(corner);
    P.drawLine(B.FrontRightTop, B.FrontRightBottom);

    // A thin darker outline keeps the box crisp against any background.
    QPolygonF outline;
    outline << B.FrontLeftBottom << B.FrontRightBottom << B.BackRightBottom << B.BackRightTop << B.BackLeftTop
            << B.FrontLeftTop;
    QPen edge(QColor(0x14, 0x4F, 0x8C, 150), 1.0);
    edge.setJoinStyle(Qt::RoundJoin);
    P.setPen(edge);
    P.setBrush(Qt::NoBrush);
    P.drawPolygon(outline);
}

QImage DrawBox()
{
    QImage image(CanvasWidth, CanvasHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    const BoxCorners b = ProjectBox();

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);

    // Fill the silhouette first so that anti-aliased seams between faces
    // never let the transparent background show through.
    QPolygonF silhouette;
    silhouette << b.FrontLeftBottom << b.FrontRightBottom << b.BackRightBottom << b.BackRightTop
               << b.BackLeftTop << b.FrontLeftTop;
    p.setBrush(QColor(0x4C, 0x9C, 0xDC));
    p.drawPolygon(silhouette);

    PaintSpine(p, b);
    PaintFront(p, b);
    PaintTop(p, b);
    PaintEdges(p, b);
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

void AppendBigEndian(QByteArray& Out, quint32 Value)
{
    Out.append(char(Value >> 24)).append(char(Value >> 16)).append(char(Value >> 8)).append(char(Value));
}

quint32 ReadBigEndian(const QByteArray& In, qsizetype At)
{
    const auto* b = reinterpret_cast<const unsigned char*>(In.constData() + At);
    return quint32(b[0]) << 24 | quint32(b[1]) << 16 | quint32(b[2]) << 8 | quint32(b[3]);
}

// Inserts a bKGD chunk (white) right after IHDR. Returns an empty array when
// the PNG is not the 8-bit RGBA kind this tool promises.
QByteArray WithWhiteBackgroundChunk(const QByteArray& Png)
{
    static const char signature[] = "\x89PNG\r\n\x1a\n";
    constexpr qsizetype signatureSize = 8, ihdrSize = 8 + 13 + 4;
    if (Png.size() < signatureSize + ihdrSize || !Png.startsWith(QByteArray(signature, signatureSize)) ||
        ReadBigEndian(Png, 8) != 13 || Png.mid(12, 4) != "IHDR")
        return {};
    const int bitDepth = static_cast<unsigned char>(Png[signatureSize + 8 + 8]);
    const int colourType = static_cast<unsigned char>(Png[signatureSize + 8 + 9]);
    if (bitDepth != 8 || colourType != 6)
        return {};

    // For colour type 6 the background is three 16-bit samples (R, G, B).
    QByteArray chunk("bKGD");
    chunk.append("\x00\xFF\x00\xFF\x00\xFF", 6);
    QByteArray out = Png.left(signatureSize + ihdrSize);
    AppendBigEndian(out, 6);
    out.append(chunk);
    AppendBigEndian(out, quint32(libdeflate_crc32(0, chunk.constData(), size_t(chunk.size()))));
    out.append(Png.mid(signatureSize + ihdrSize));
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_box_art OUTPUT.png\n");
        return 2;
    }

    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "png");
        if (!writer.write(DrawBox())) {
            std::fprintf(stderr, "make_box_art: PNG encoding failed: %s\n", qPrintable(writer.errorString()));
            return 1;
        }
    }
    const QByteArray out = WithWhiteBackgroundChunk(png);
    if (out.isEmpty()) {
        std::fprintf(stderr, "make_box_art: the encoder did not produce an 8-bit RGBA PNG\n");
        return 1;
    }
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::WriteOnly) || file.write(out) != out.size() || !file.flush()) {
        std::fprintf(stderr, "make_box_art: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
