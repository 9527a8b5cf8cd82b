#pragma once

#include "toolkit/widgets/control.h"

Q_MOC_INCLUDE("toolkit/graphics/font.h")

class QLineEdit;

// A one-line text box. OnChange runs whenever the text changes, typed or set.
class TEdit : public TControl
{
    Q_OBJECT
    Q_PROPERTY(int Left READ Left WRITE SetLeft)
    Q_PROPERTY(int Top READ Top WRITE SetTop)
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
    Q_PROPERTY(int Height READ Height WRITE SetHeight)
    Q_PROPERTY(TControlTypes::TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(TControlTypes::TCursor Cursor READ Cursor WRITE SetCursor)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(int TabOrder READ TabOrder WRITE SetTabOrder)
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TNotifyEvent OnChange READ OnChange WRITE SetOnChange)
  public:
    explicit TEdit(QWidget* Parent = nullptr);

    QString Text() const;
    void SetText(const QString& Value);

    TNotifyEvent OnChange() const { return FOnChange; }
    void SetOnChange(const TNotifyEvent& Value) { FOnChange = Value; }

    QLineEdit* LineEdit() const { return FLine; }

  private:
    QLineEdit* FLine;
    TNotifyEvent FOnChange;
};
