#pragma once

#include "toolkit/graphics/color.h"
#include "toolkit/layout/layout_component.h"
#include "toolkit/notify_event.h"
#include "toolkit/widgets/control_types.h"

#include <QPointer>
#include <QWidget>
#include <memory>

class TFont;

// Common ground of the window's controls: position and size relative to the
// parent, docking, colour, cursor, font, caption, tab order and visibility.
// Each control class publishes the subset it has, in its own order; the
// methods live here once. A control that wraps a Qt widget keeps it filling
// the control.
class TControl : public QWidget, public TLayoutComponent
{
    Q_OBJECT
  public:
    explicit TControl(QWidget* Parent);
    ~TControl() override;

    int Left() const { return x(); }
    void SetLeft(int Value);
    int Top() const { return y(); }
    void SetTop(int Value);
    int Width() const { return width(); }
    void SetWidth(int Value);
    int Height() const { return height(); }
    void SetHeight(int Value);

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign Value);

    QString Caption() const { return FCaption; }
    void SetCaption(const QString& Value);

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool Value);

    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);

    // Setting copies Value's content into the control's own font.
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value);
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);

    int TabOrder() const { return FTabOrder; }
    void SetTabOrder(int Value);

    bool Visible() const { return !isHidden(); }
    void SetVisible(bool Value);

    TNotifyEvent OnClick() const { return FOnClick; }
    void SetOnClick(const TNotifyEvent& Value) { FOnClick = Value; }
    // Runs OnClick as a click of the user would.
    virtual void Click();

    // The area inside the control where docked children go.
    virtual QRect ClientRect() const { return rect(); }

    void LayoutLoaded() override;

  protected:
    // The Qt widget a control wraps; it is kept filling the control and takes
    // the keyboard focus for it.
    void SetInner(QWidget* Inner);
    QWidget* Inner() const { return FInner; }

    // Focusable controls take the next free tab order among their siblings.
    void TakeNextTabOrder();

    virtual void CaptionChanged() {}
    virtual void FontChanged() {}

    void resizeEvent(QResizeEvent* Event) override;
    void changeEvent(QEvent* Event) override;

  private:
    void ApplyFont();
    void ApplyColor();
    void RealignParent();

    QWidget* FInner = nullptr;
    TAlign FAlign = alNone;
    QString FCaption;
    TColor FColor = clBtnFace;
    bool FParentColor = true;
    TCursor FCursor = crDefault;
    std::unique_ptr<TFont> FFont;
    bool FParentFont = true;
    bool FSyncingFont = false;
    int FTabOrder = -1;
    TNotifyEvent FOnClick;
};

// Orders the keyboard focus chain of Parent's controls by their TabOrder.
void ApplyTabOrder(QWidget* Parent);
