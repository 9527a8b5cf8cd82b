#pragma once

#include "toolkit/widgets/control.h"

class QSlider;

// A slider over Min..Max with a tick every Frequency steps. Position always
// stays inside the range; OnChange runs only when the position really changes,
// whether the user moved the thumb or code set it.
class TTrackBar : public TControl
{
    Q_OBJECT
    Q_PROPERTY(int Left READ Left WRITE SetLeft)
    Q_PROPERTY(int Top READ Top WRITE SetTop)
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
    Q_PROPERTY(int Height READ Height WRITE SetHeight)
    Q_PROPERTY(TControlTypes::TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(TControlTypes::TCursor Cursor READ Cursor WRITE SetCursor)
    Q_PROPERTY(int Max READ Max WRITE SetMax)
    Q_PROPERTY(int Min READ Min WRITE SetMin)
    Q_PROPERTY(TControlTypes::TTrackBarOrientation Orientation READ Orientation WRITE SetOrientation)
    Q_PROPERTY(int Frequency READ Frequency WRITE SetFrequency)
    Q_PROPERTY(int Position READ Position WRITE SetPosition)
    Q_PROPERTY(int SelEnd READ SelEnd WRITE SetSelEnd)
    Q_PROPERTY(int SelStart READ SelStart WRITE SetSelStart)
    Q_PROPERTY(bool ShowSelRange READ ShowSelRange WRITE SetShowSelRange)
    Q_PROPERTY(int TabOrder READ TabOrder WRITE SetTabOrder)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(TNotifyEvent OnChange READ OnChange WRITE SetOnChange)
  public:
    explicit TTrackBar(QWidget* Parent = nullptr);

    // A new bound that would cross the other one is ignored, as in the
    // classic control; a bound that moves past the position drags it along.
    int Max() const { return FMax; }
    void SetMax(int Value);
    int Min() const { return FMin; }
    void SetMin(int Value);
    TTrackBarOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TTrackBarOrientation Value);
    int Frequency() const { return FFrequency; }
    void SetFrequency(int Value);
    int Position() const { return FPosition; }
    void SetPosition(int Value);
    int SelEnd() const { return FSelEnd; }
    void SetSelEnd(int Value);
    int SelStart() const { return FSelStart; }
    void SetSelStart(int Value);
    bool ShowSelRange() const { return FShowSelRange; }
    void SetShowSelRange(bool Value);

    TNotifyEvent OnChange() const { return FOnChange; }
    void SetOnChange(const TNotifyEvent& Value) { FOnChange = Value; }

    QSlider* Slider() const { return FSlider; }

  protected:
    void paintEvent(QPaintEvent* Event) override;

  private:
    void SetParams(int Position, int Min, int Max);
    void UserMoved(int Value);

    QSlider* FSlider;
    int FMin = 0, FMax = 10, FPosition = 0, FFrequency = 1, FSelStart = 0, FSelEnd = 0;
    bool FShowSelRange = true;
    TTrackBarOrientation FOrientation = trHorizontal;
    TNotifyEvent FOnChange;
};
