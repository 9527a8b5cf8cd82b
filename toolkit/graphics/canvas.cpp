#include "toolkit/graphics/canvas.h"

#include "toolkit/graphics/brush.h"
#include "toolkit/graphics/color.h"
#include "toolkit/graphics/font.h"
#include "toolkit/graphics/font_cell_metrics.h"
#include "toolkit/graphics/graphic.h"
#include "toolkit/graphics/pen.h"

#include <QFontMetrics>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>
#include <QVector>

namespace
{

// Dash patterns of the classic cosmetic pens, in pixels on / off.
QVector<int> DashPattern(TPen::TPenStyle Style)
{
    switch (Style) {
    case TPen::psDash:
        return {18, 6};
    case TPen::psDot:
        return {3, 3};
    case TPen::psDashDot:
        return {9, 6, 3, 6};
    case TPen::psDashDotDot:
        return {9, 3, 3, 3, 3, 3};
    default:
        return {};
    }
}

Qt::PenStyle QtPenStyle(TPen::TPenStyle Style)
{
    switch (Style) {
    case TPen::psDash:
        return Qt::DashLine;
    case TPen::psDot:
        return Qt::DotLine;
    case TPen::psDashDot:
        return Qt::DashDotLine;
    case TPen::psDashDotDot:
        return Qt::DashDotDotLine;
    case TPen::psClear:
        return Qt::NoPen;
    default:
        return Qt::SolidLine;
    }
}

QPen ToQPen(const TPen& Pen)
{
    if (!Pen.IsVisible())
        return QPen(Qt::NoPen);
    QPen pen(ColorToQColor(Pen.Color()));
    pen.setWidth(qMax(1, Pen.Width()));
    pen.setStyle(QtPenStyle(Pen.Style()));
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

QBrush ToQBrush(const TBrush& Brush)
{
    if (!Brush.IsSolid())
        return QBrush(Qt::NoBrush);
    return QBrush(ColorToQColor(Brush.Color()));
}

} // namespace

TCanvasPaint::TCanvasPaint(TCanvas& Canvas, const QRect* ExtraClip)
{
    Canvas.SyncBrush();
    QPainter* active = Canvas.FExternal;
    if (!active && Canvas.FOwnPainter && Canvas.FOwnPainter->isActive())
        active = Canvas.FOwnPainter.get();
    if (active) {
        FPainter = active;
        FPainter->save();
        FSaved = true;
    } else {
        if (!Canvas.FDevice || Canvas.FDevice->paintingActive())
            return;
        if (Canvas.FDevice->width() <= 0 || Canvas.FDevice->height() <= 0)
            return;
        FTemporary = std::make_unique<QPainter>();
        if (!FTemporary->begin(Canvas.FDevice))
            return;
        FPainter = FTemporary.get();
    }
    FPainter->setRenderHint(QPainter::Antialiasing, false);
    FPainter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    FPainter->setRenderHint(QPainter::TextAntialiasing, true);
    if (Canvas.FClipping)
        FPainter->setClipRect(Canvas.FClipRect, Qt::IntersectClip);
    if (ExtraClip)
        FPainter->setClipRect(*ExtraClip, Qt::IntersectClip);
}

TCanvasPaint::~TCanvasPaint()
{
    if (FSaved)
        FPainter->restore();
    else if (FTemporary && FTemporary->isActive())
        FTemporary->end();
}

TCanvas::TCanvas(QPaintDevice* Device)
    : FDevice(Device), FFont(std::make_unique<TFont>()), FPen(std::make_unique<TPen>()),
      FBrush(std::make_unique<TBrush>())
{
    FBrushStyleSeen = FBrush->Style();
    FBrushColorSeen = FBrush->Color();
}

TCanvas::TCanvas(QPainter* ActivePainter) : TCanvas(ActivePainter ? ActivePainter->device() : nullptr)
{
    FExternal = ActivePainter && ActivePainter->isActive() ? ActivePainter : nullptr;
    if (FExternal)
        FExternal->save();
}

TCanvas::~TCanvas()
{
    ReleasePainter();
    if (FExternal)
        FExternal->restore();
}

QImage* TCanvas::DeviceImage() const
{
    if (!FDevice || FDevice->devType() != QInternal::Image)
        return nullptr;
    return static_cast<QImage*>(FDevice);
}

QPainter* TCanvas::Painter()
{
    if (FExternal) {
        FExternal->restore();
        FExternal->save();
        if (FClipping)
            FExternal->setClipRect(FClipRect, Qt::IntersectClip);
        return FExternal;
    }
    if (!FOwnPainter)
        FOwnPainter = std::make_unique<QPainter>();
    if (!FOwnPainter->isActive()) {
        if (!FDevice || FDevice->paintingActive() || !FOwnPainter->begin(FDevice))
            return FOwnPainter.get();
    }
    if (FClipping)
        FOwnPainter->setClipRect(FClipRect, Qt::ReplaceClip);
    else
        FOwnPainter->setClipping(false);
    return FOwnPainter.get();
}

void TCanvas::ReleasePainter()
{
    if (FOwnPainter && FOwnPainter->isActive())
        FOwnPainter->end();
}

int TCanvas::PixelsPerInchX() const
{
    if (const QImage* image = DeviceImage())
        return image->dotsPerMeterX() > 0 ? qRound(image->dotsPerMeterX() * 0.0254) : 96;
    return FDevice && FDevice->logicalDpiX() > 0 ? FDevice->logicalDpiX() : 96;
}

int TCanvas::PixelsPerInchY() const
{
    if (const QImage* image = DeviceImage())
        return image->dotsPerMeterY() > 0 ? qRound(image->dotsPerMeterY() * 0.0254) : 96;
    return FDevice && FDevice->logicalDpiY() > 0 ? FDevice->logicalDpiY() : 96;
}

int TCanvas::TextWidth(const QString& Text) const
{
    return QFontMetrics(FFont->ToQFont()).horizontalAdvance(Text);
}

int TCanvas::TextHeight(const QString& Text) const
{
    Q_UNUSED(Text);
    return FontCellMetrics(FFont->ToQFont()).Height();
}

QSize TCanvas::TextExtent(const QString& Text) const
{
    return QSize(TextWidth(Text), TextHeight(Text));
}

void TCanvas::TextOut(int X, int Y, const QString& Text)
{
    const QFont font = FFont->ToQFont();
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(Text);
    const TFontCellMetrics cell = FontCellMetrics(font);
    {
        TCanvasPaint paint(*this);
        if (paint.IsActive()) {
            paint->translate(X, Y);
            paint->rotate(-FTextRotation / 10.0);
            if (FBkMode == OPAQUE && FBrush->IsSolid())
                paint->fillRect(QRect(0, 0, width, cell.Height()), ColorToQColor(FBrush->Color()));
            paint->setFont(font);
            paint->setPen(ColorToQColor(FFont->Color()));
            paint->drawText(QPoint(0, cell.Ascent), Text);
        }
    }
    FPenPos = QPoint(X + width, Y);
}

void TCanvas::SyncBrush()
{
    if (FBrush->Style() == FBrushStyleSeen && FBrush->Color() == FBrushColorSeen)
        return;
    FBrushStyleSeen = FBrush->Style();
    FBrushColorSeen = FBrush->Color();
    FBkMode = FBrush->IsSolid() ? OPAQUE : TRANSPARENT;
}

int TCanvas::BkMode() const
{
    const_cast<TCanvas*>(this)->SyncBrush();
    return FBkMode;
}

void TCanvas::SetBkMode(int Mode)
{
    SyncBrush();
    if (Mode == TRANSPARENT || Mode == OPAQUE)
        FBkMode = Mode;
}

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2)
{
    const QRect area = QRect(QPoint(qMin(X1, X2), qMin(Y1, Y2)), QPoint(qMax(X1, X2) - 1, qMax(Y1, Y2) - 1));
    if (area.isEmpty())
        return;
    TCanvasPaint paint(*this);
    if (!paint.IsActive())
        return;
    const QBrush brush = ToQBrush(*FBrush);
    if (brush.style() != Qt::NoBrush)
        paint->fillRect(area, brush);
    if (!FPen->IsVisible())
        return;
    const int width = qMax(1, FPen->Width());
    if (width == 1) {
        // An aliased one-pixel outline of QRect(x, y, w - 1, h - 1) covers
        // exactly the outermost pixels of the area.
        paint->setPen(ToQPen(*FPen));
        paint->setBrush(Qt::NoBrush);
        paint->drawRect(area.adjusted(0, 0, -1, -1));
    } else {
        // Wider pens are centred on the outline path.
        paint->setPen(ToQPen(*FPen));
        paint->setBrush(Qt::NoBrush);
        paint->drawRect(QRectF(area).adjusted(0.5, 0.5, -0.5, -0.5));
    }
}

void TCanvas::FillRect(const QRect& Rect)
{
    if (!FBrush->IsSolid() || Rect.isEmpty())
        return;
    TCanvasPaint paint(*this);
    if (paint.IsActive())
        paint->fillRect(Rect.normalized(), ColorToQColor(FBrush->Color()));
}

void TCanvas::LineTo(int X, int Y)
{
    const QPoint from = FPenPos;
    const QPoint to(X, Y);
    FPenPos = to;
    if (!FPen->IsVisible() || from == to)
        return;
    TCanvasPaint paint(*this);
    if (!paint.IsActive())
        return;
    if (FPen->Width() > 1) {
        paint->setPen(ToQPen(*FPen));
        paint->drawLine(from, to);
        return;
    }
    // Thin lines are stepped here so that the end point is left out, as the
    // window system does, and so that dash patterns count whole pixels.
    const QVector<int> pattern = DashPattern(FPen->Style());
    int patternIndex = 0, patternLeft = pattern.isEmpty() ? 0 : pattern[0];
    QPolygon points;
    int x = from.x(), y = from.y();
    const int dx = qAbs(to.x() - x), dy = -qAbs(to.y() - y);
    const int sx = x < to.x() ? 1 : -1, sy = y < to.y() ? 1 : -1;
    int error = dx + dy;
    while (x != to.x() || y != to.y()) {
        if (pattern.isEmpty() || patternIndex % 2 == 0)
            points << QPoint(x, y);
        if (!pattern.isEmpty() && --patternLeft == 0) {
            patternIndex = (patternIndex + 1) % pattern.size();
            patternLeft = pattern[patternIndex];
        }
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x += sx;
        }
        if (twice <= dx) {
            error += dx;
            y += sy;
        }
    }
    QPen pen(ColorToQColor(FPen->Color()));
    pen.setWidth(1);
    paint->setPen(pen);
    paint->drawPoints(points);
}

void TCanvas::Polygon(const QPolygon& Points)
{
    if (Points.size() < 2)
        return;
    TCanvasPaint paint(*this);
    if (!paint.IsActive())
        return;
    paint->setPen(ToQPen(*FPen));
    paint->setBrush(ToQBrush(*FBrush));
    paint->drawPolygon(Points);
}

void TCanvas::DrawFocusRect(const QRect& Rect)
{
    const QRect area = Rect.normalized();
    if (area.isEmpty())
        return;
    // Every other pixel of the outline, each exactly once, in a checkerboard
    // aligned to the device origin.
    QPolygon points;
    const int left = area.x(), top = area.y(), right = RectRight(area) - 1, bottom = RectBottom(area) - 1;
    auto add = [&points](int X, int Y) {
        if (((X + Y) & 1) == 0)
            points << QPoint(X, Y);
    };
    for (int x = left; x <= right; ++x) {
        add(x, top);
        if (bottom != top)
            add(x, bottom);
    }
    for (int y = top + 1; y < bottom; ++y) {
        add(left, y);
        if (right != left)
            add(right, y);
    }
    QImage* image = FExternal ? nullptr : DeviceImage();
    if (image && image->depth() == 32) {
        // Inverting the colour bits directly keeps the alpha byte and makes
        // the second drawing restore the pixels exactly.
        QRect allowed = image->rect();
        if (FClipping)
            allowed &= FClipRect;
        for (const QPoint& point : points) {
            if (!allowed.contains(point))
                continue;
            auto* line = reinterpret_cast<quint32*>(image->scanLine(point.y()));
            line[point.x()] ^= 0x00FFFFFFu;
        }
        return;
    }
    TCanvasPaint paint(*this);
    if (!paint.IsActive())
        return;
    paint->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    paint->setPen(QPen(QColor(255, 255, 255), 1));
    paint->drawPoints(points);
}

void TCanvas::SetClipRect(const QRect& Rect)
{
    FClipping = true;
    FClipRect = Rect.normalized();
}

void TCanvas::ClearClipRect()
{
    FClipping = false;
    FClipRect = QRect();
}

void TCanvas::CopyRect(const QRect& Dest, const TCanvas& Source, const QRect& SourceRect)
{
    if (Dest.isEmpty() || SourceRect.isEmpty())
        return;
    QImage pixels;
    if (const QImage* image = Source.DeviceImage())
        pixels = image->copy(SourceRect.normalized());
    else if (Source.FDevice && Source.FDevice->devType() == QInternal::Pixmap)
        pixels = static_cast<const QPixmap*>(Source.FDevice)->copy(SourceRect.normalized()).toImage();
    if (pixels.isNull())
        return;
    DrawImage(Dest, pixels, false);
}

void TCanvas::DrawImage(const QRect& Dest, const QImage& Image, bool Blend)
{
    if (Dest.isEmpty() || Image.isNull())
        return;
    TCanvasPaint paint(*this);
    if (!paint.IsActive())
        return;
    paint->setCompositionMode(Blend ? QPainter::CompositionMode_SourceOver
                                    : QPainter::CompositionMode_Source);
    paint->drawImage(Dest.normalized(), Image);
}

void TCanvas::DrawImageSmooth(const QRect& Dest, const QImage& Image, bool Blend)
{
    if (Dest.isEmpty() || Image.isNull())
        return;
    TCanvasPaint paint(*this);
    if (!paint.IsActive())
        return;
    paint->setRenderHint(QPainter::SmoothPixmapTransform, true);
    paint->setCompositionMode(Blend ? QPainter::CompositionMode_SourceOver
                                    : QPainter::CompositionMode_Source);
    paint->drawImage(Dest.normalized(), Image);
}

void TCanvas::Draw(int X, int Y, TGraphic* Graphic)
{
    if (!Graphic || Graphic->IsEmpty())
        return;
    Graphic->DrawInRect(*this, QRect(X, Y, Graphic->Width(), Graphic->Height()));
}

void TCanvas::StretchDraw(const QRect& Rect, TGraphic* Graphic)
{
    if (!Graphic || Graphic->IsEmpty())
        return;
    Graphic->DrawInRect(*this, Rect);
}
