#include "app/checkerboard.h"

#include "controls/orb_reflection_label.h"
#include "markup/label/label_rendering.h"

#include <QBrush>
#include <QEvent>
#include <QPainter>
#include <QPixmap>
#include <QTransform>
#include <exception>

namespace
{
constexpr int Square = 8;
const QColor Light(255, 255, 255);
const QColor Dark(204, 204, 204);
} // namespace

void PaintCheckerboard(QPainter& Painter, const QRect& Area)
{
    if (Area.isEmpty())
        return;
    // A two-by-two tile repeated by the brush, anchored at the area's corner.
    QPixmap tile(2 * Square, 2 * Square);
    tile.fill(Light);
    {
        QPainter tilePainter(&tile);
        tilePainter.fillRect(Square, 0, Square, Square, Dark);
        tilePainter.fillRect(0, Square, Square, Square, Dark);
    }
    QBrush brush(tile);
    brush.setTransform(QTransform::fromTranslate(Area.left(), Area.top()));
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
    TLabelPictureOptions options;
    options.Transparent = true;
    QImage picture;
    try {
        picture = FLabel->Picture(options);
    } catch (const std::exception&) {
        // Not enough memory for the preview: the label paints itself.
        return QObject::eventFilter(Watched, Event);
    }
    QPainter painter(FLabel);
    PaintCheckerboard(painter, FLabel->rect());
    if (!picture.isNull())
        painter.drawImage(QPoint(0, 0), picture);
    return true;
}
