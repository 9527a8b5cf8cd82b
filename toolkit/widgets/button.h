#pragma once

#include "toolkit/widgets/control.h"

Q_MOC_INCLUDE("toolkit/graphics/font.h")

class QPushButton;

// A push button; "&" in the caption marks the mnemonic, "&&" shows "&".
class TButton : public TControl
{
    Q_OBJECT
    Q_PROPERTY(int Left READ Left WRITE SetLeft)
    Q_PROPERTY(int Top READ Top WRITE SetTop)
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
    Q_PROPERTY(int Height READ Height WRITE SetHeight)
    Q_PROPERTY(TControlTypes::TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(TControlTypes::TCursor Cursor READ Cursor WRITE SetCursor)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(int TabOrder READ TabOrder WRITE SetTabOrder)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TNotifyEvent OnClick READ OnClick WRITE SetOnClick)
  public:
    explicit TButton(QWidget* Parent = nullptr);

    QPushButton* Button() const { return FButton; }

  protected:
    void CaptionChanged() override;

  private:
    QPushButton* FButton;
};
