#include "toolkit/widgets/panel.h"

#include "toolkit/widgets/align_controls.h"

#include <QMouseEvent>
#include <QPainter>

TPanel::TPanel(QWidget* Parent) : TControl(Parent)
{
    SetColor(clBtnFace);
    resize(185, 41);
    TakeNextTabOrder();
}

void TPanel::SetBevelOuter(TBevelCut Value)
{
    if (Value == FBevelOuter)
        return;
    FBevelOuter = Value;
    AlignControls(this);
    update();
}

QRect TPanel::ClientRect() const
{
    // The bevel takes one pixel on every side.
    return FBevelOuter == bvNone ? rect() : rect().adjusted(1, 1, -1, -1);
}

void TPanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (FBevelOuter == bvRaised || FBevelOuter == bvLowered) {
        const QColor light = ColorToQColor(clBtnHighlight), dark = ColorToQColor(clBtnShadow);
        const QColor& topLeft = FBevelOuter == bvRaised ? light : dark;
        const QColor& bottomRight = FBevelOuter == bvRaised ? dark : light;
        const QRect r = rect().adjusted(0, 0, -1, -1);
        p.setPen(topLeft);
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(bottomRight);
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
    }
    if (!Caption().isEmpty()) {
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(ClientRect(), Qt::AlignCenter | Qt::TextShowMnemonic, Caption());
    }
}

void TPanel::mouseReleaseEvent(QMouseEvent* Event)
{
    if (Event->button() == Qt::LeftButton && rect().contains(Event->position().toPoint()))
        Click();
    TControl::mouseReleaseEvent(Event);
}
