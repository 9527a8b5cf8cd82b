#include "toolkit/widgets/control.h"

#include "toolkit/graphics/font.h"
#include "toolkit/widgets/align_controls.h"
#include "toolkit/widgets/font_from_qfont.h"

#include <QEvent>
#include <QPalette>
#include <algorithm>
#include <vector>

namespace
{
Qt::CursorShape CursorShape(TCursor Cursor)
{
    switch (Cursor) {
    case crHandPoint:
        return Qt::PointingHandCursor;
    case crIBeam:
        return Qt::IBeamCursor;
    case crCross:
        return Qt::CrossCursor;
    default:
        return Qt::ArrowCursor;
    }
}
} // namespace

TControl::TControl(QWidget* Parent) : QWidget(Parent), FFont(std::make_unique<TFont>())
{
    AssignQFont(*FFont, font());
    FFont->OnChange = [this](TFont*) {
        if (FSyncingFont)
            return;
        FParentFont = false;
        ApplyFont();
    };
}

TControl::~TControl() = default;

void TControl::SetLeft(int Value)
{
    move(Value, y());
    RealignParent();
}

void TControl::SetTop(int Value)
{
    move(x(), Value);
    RealignParent();
}

void TControl::SetWidth(int Value)
{
    resize(std::max(0, Value), height());
    RealignParent();
}

void TControl::SetHeight(int Value)
{
    resize(width(), std::max(0, Value));
    RealignParent();
}

void TControl::SetAlign(TAlign Value)
{
    if (Value == FAlign)
        return;
    FAlign = Value;
    WatchAlignment(parentWidget());
    RealignParent();
}

void TControl::RealignParent()
{
    if (FAlign != alNone && parentWidget())
        AlignControls(parentWidget());
}

void TControl::SetCaption(const QString& Value)
{
    if (Value == FCaption)
        return;
    FCaption = Value;
    CaptionChanged();
    update();
}

void TControl::SetColor(TColor Value)
{
    if (Value == FColor && !FParentColor)
        return;
    FColor = Value;
    FParentColor = false;
    ApplyColor();
}

void TControl::SetParentColor(bool Value)
{
    if (Value == FParentColor)
        return;
    FParentColor = Value;
    ApplyColor();
}

void TControl::ApplyColor()
{
    // A control with its parent's colour lets the parent show through.
    setAutoFillBackground(!FParentColor);
    if (!FParentColor) {
        QPalette p = palette();
        p.setColor(QPalette::Window, ColorToQColor(FColor));
        setPalette(p);
    }
    update();
}

void TControl::SetCursor(TCursor Value)
{
    FCursor = Value;
    if (Value == crDefault)
        unsetCursor();
    else
        setCursor(CursorShape(Value));
}

void TControl::SetFont(TFont* Value)
{
    if (Value)
        FFont->CopyFrom(Value);
}

void TControl::SetParentFont(bool Value)
{
    if (Value == FParentFont)
        return;
    FParentFont = Value;
    ApplyFont();
}

void TControl::ApplyFont()
{
    if (FParentFont) {
        // A default QFont resolves nothing, so the widget inherits again.
        setFont(QFont());
        setPalette(QPalette());
        ApplyColor();
    } else {
        setFont(FFont->ToQFont());
        QPalette p = palette();
        const QColor text = ColorToQColor(FFont->Color());
        for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            p.setColor(role, text);
        setPalette(p);
    }
    FontChanged();
}

void TControl::changeEvent(QEvent* Event)
{
    // A control that takes its parent's font keeps its Font reading the same.
    if (Event->type() == QEvent::FontChange) {
        if (FParentFont) {
            FSyncingFont = true;
            AssignQFont(*FFont, font());
            FSyncingFont = false;
        }
        FontChanged();
    }
    QWidget::changeEvent(Event);
}

void TControl::SetTabOrder(int Value)
{
    if (Value < 0 || Value == FTabOrder)
        return;
    FTabOrder = Value;
    if (!IsLoading())
        ApplyTabOrder(parentWidget());
}

void TControl::TakeNextTabOrder()
{
    int taken = 0;
    if (parentWidget())
        for (QObject* object : parentWidget()->children())
            if (auto* control = qobject_cast<TControl*>(object);
                control && control != this && control->TabOrder() >= 0)
                ++taken;
    FTabOrder = taken;
}

void TControl::SetVisible(bool Value)
{
    setVisible(Value);
    // Docked siblings take over the room of a hidden control, and give it back.
    if (FAlign != alNone && parentWidget())
        AlignControls(parentWidget());
}

void TControl::Click()
{
    FOnClick(this);
}

void TControl::LayoutLoaded()
{
    TLayoutComponent::LayoutLoaded();
    ApplyTabOrder(parentWidget());
    RealignParent();
}

void TControl::SetInner(QWidget* Inner)
{
    FInner = Inner;
    FInner->setGeometry(rect());
    setFocusProxy(FInner);
}

void TControl::resizeEvent(QResizeEvent* Event)
{
    if (FInner)
        FInner->setGeometry(rect());
    QWidget::resizeEvent(Event);
}

void ApplyTabOrder(QWidget* Parent)
{
    if (!Parent)
        return;
    std::vector<TControl*> controls;
    for (QObject* object : Parent->children())
        if (auto* control = qobject_cast<TControl*>(object); control && control->TabOrder() >= 0)
            controls.push_back(control);
    std::stable_sort(controls.begin(), controls.end(),
                     [](const TControl* a, const TControl* b) { return a->TabOrder() < b->TabOrder(); });
    for (std::size_t i = 1; i < controls.size(); ++i)
        QWidget::setTabOrder(controls[i - 1], controls[i]);
}
