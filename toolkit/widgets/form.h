#pragma once

#include "toolkit/widgets/control.h"

#include <QByteArray>

Q_MOC_INCLUDE("toolkit/graphics/font.h")

// A top-level window read from a stored layout. Its client area is the whole
// widget; the title is the caption. OnCreate runs once the entire layout has
// been read and every component has finished loading, so a create handler
// sees the controls as the layout left them.
class TForm : public TControl
{
    Q_OBJECT
    Q_PROPERTY(int Left READ Left WRITE SetLeft)
    Q_PROPERTY(int Top READ Top WRITE SetTop)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(int ClientHeight READ ClientHeight WRITE SetClientHeight)
    Q_PROPERTY(int ClientWidth READ ClientWidth WRITE SetClientWidth)
    Q_PROPERTY(TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(TFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(TControlTypes::TPosition Position READ Position WRITE SetPosition)
    Q_PROPERTY(TNotifyEvent OnCreate READ OnCreate WRITE SetOnCreate)
    Q_PROPERTY(int PixelsPerInch READ PixelsPerInch WRITE SetPixelsPerInch)
    Q_PROPERTY(int TextHeight READ TextHeight WRITE SetTextHeight)
  public:
    explicit TForm(QWidget* Parent = nullptr);

    int ClientWidth() const { return width(); }
    void SetClientWidth(int Value) { SetWidth(Value); }
    int ClientHeight() const { return height(); }
    void SetClientHeight(int Value) { SetHeight(Value); }

    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition Value) { FPosition = Value; }

    // The resolution and text height the layout was designed at. Qt scales
    // the whole window for screens of another resolution, so they are kept
    // only to be read back.
    int PixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int Value) { FPixelsPerInch = Value; }
    int TextHeight() const { return FTextHeight; }
    void SetTextHeight(int Value) { FTextHeight = Value; }

    TNotifyEvent OnCreate() const { return FOnCreate; }
    void SetOnCreate(const TNotifyEvent& Value) { FOnCreate = Value; }

    // Reads Binary (a stored layout whose root is this window's class) into
    // the window, then runs OnCreate. Layout faults propagate as ELayoutError.
    void CreateFromLayout(const QByteArray& Binary);

  protected:
    void CaptionChanged() override;
    void showEvent(QShowEvent* Event) override;

  private:
    TPosition FPosition = poDesigned;
    int FPixelsPerInch = 96;
    int FTextHeight = 13;
    bool FPlaced = false;
    TNotifyEvent FOnCreate;
};
