#include "app/checkerboard.h"

#include "controls/orb_reflection_label.h"

#include <QBrush>
#include <QEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QPixmap>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <exception>

namespace
{
constexpr int Square = 8;
const QColor Light(255, 255, 255);
const QColor Dark(204, 204, 204);

// The device pixels per pixel of what Painter paints on: a widget on a
// high-density screen, or an image made for one.
double DeviceRatio(QPainter& Painter)
{
    const QPaintDevice* device = Painter.paintEngine() ? Painter.paintEngine()->paintDevice() : nullptr;
    if (!device)
        device = Painter.device();
    return device ? std::max(1.0, device->devicePixelRatio()) : 1.0;
}
} // namespace

void PaintCheckerboard(QPainter& Painter, const QRect& Area)
{
    if (Area.isEmpty())
        return;
    // A two-by-two tile of the device's own pixels, repeated by the brush
    // and anchored at the area's corner: squares with sharp edges at any
    // density, not a one-to-one tile enlarged.
    const double ratio = DeviceRatio(Painter);
    const int square = std::max(1, int(std::lround(Square * ratio)));
    QPixmap tile(2 * square, 2 * square);
    tile.fill(Light);
    {
        QPainter tilePainter(&tile);
        tilePainter.fillRect(square, 0, square, square, Dark);
        tilePainter.fillRect(0, square, square, square, Dark);
    }
    QBrush brush(tile);
    brush.setTransform(QTransform::fromScale(1 / ratio, 1 / ratio) *
                       QTransform::fromTranslate(Area.left(), Area.top()));
    Painter.fillRect(Area, brush);
}

TTransparencyPreview::TTransparencyPreview(TOrbReflectionLabel* Label, std::function<bool()> Active)
    : QObject(Label), FLabel(Label), FActive(std::move(Active))
{
    Label->installEventFilter(this);
}

bool TTransparencyPreview::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched != FLabel || Event->type() != QEvent::Paint || !FActive || !FActive())
        return QObject::eventFilter(Watched, Event);
    QPainter painter(FLabel);
    // Drawn at the screen's density, as the label draws itself.
    QImage picture;
    try {
        picture = FLabel->ScreenPicture(DeviceRatio(painter), true);
    } catch (const std::exception&) {
        // Not enough memory for the preview: the label paints itself.
        painter.end();
        return QObject::eventFilter(Watched, Event);
    }
    PaintCheckerboard(painter, FLabel->rect());
    if (!picture.isNull())
        painter.drawImage(QPoint(0, 0), picture);
    return true;
}
