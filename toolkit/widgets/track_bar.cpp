#include "toolkit/widgets/track_bar.h"

#include "toolkit/widgets/track_bar_style.h"

#include <QPainter>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <algorithm>

TTrackBar::TTrackBar(QWidget* Parent) : TControl(Parent), FSlider(new QSlider(Qt::Horizontal, this))
{
    FSlider->setTickPosition(QSlider::TicksBelow);
    FSlider->setStyle(TTrackBarStyle::Instance());
    FSlider->setPageStep(2);
    SetInner(FSlider);
    setFocusPolicy(Qt::StrongFocus);
    resize(150, 45);
    TakeNextTabOrder();
    SetParams(FPosition, FMin, FMax);
    FSlider->setTickInterval(FFrequency);
    connect(FSlider, &QSlider::valueChanged, this, &TTrackBar::UserMoved);
}

void TTrackBar::SetParams(int Position, int Min, int Max)
{
    const int clamped = std::clamp(Position, Min, Max);
    FMin = Min;
    FMax = Max;
    {
        const QSignalBlocker block(FSlider);
        FSlider->setRange(FMin, FMax);
        FSlider->setValue(clamped);
    }
    if (clamped == FPosition)
        return;
    FPosition = clamped;
    if (!IsLoading())
        FOnChange(this);
}

void TTrackBar::SetMax(int Value)
{
    if (Value >= FMin && Value != FMax)
        SetParams(FPosition, FMin, Value);
}

void TTrackBar::SetMin(int Value)
{
    if (Value <= FMax && Value != FMin)
        SetParams(FPosition, Value, FMax);
}

void TTrackBar::SetPosition(int Value)
{
    SetParams(Value, FMin, FMax);
}

void TTrackBar::UserMoved(int Value)
{
    if (Value == FPosition)
        return;
    FPosition = Value;
    FOnChange(this);
}

void TTrackBar::SetOrientation(TTrackBarOrientation Value)
{
    if (Value == FOrientation)
        return;
    FOrientation = Value;
    FSlider->setOrientation(Value == trHorizontal ? Qt::Horizontal : Qt::Vertical);
    // The classic control swaps its width and height when turned.
    if (!IsLoading())
        resize(height(), width());
}

void TTrackBar::SetFrequency(int Value)
{
    if (Value == FFrequency)
        return;
    FFrequency = Value;
    FSlider->setTickInterval(std::max(0, Value));
}

void TTrackBar::SetSelEnd(int Value)
{
    if (Value == FSelEnd)
        return;
    FSelEnd = Value;
    update();
}

void TTrackBar::SetSelStart(int Value)
{
    if (Value == FSelStart)
        return;
    FSelStart = Value;
    update();
}

void TTrackBar::SetShowSelRange(bool Value)
{
    if (Value == FShowSelRange)
        return;
    FShowSelRange = Value;
    update();
}

void TTrackBar::paintEvent(QPaintEvent* Event)
{
    TControl::paintEvent(Event);
    // The selection range is a bar beside the groove, drawn over the slider's
    // margin when it is shown and not empty.
    if (!FShowSelRange || FSelEnd <= FSelStart || FMax <= FMin)
        return;
    QStyleOptionSlider option;
    option.initFrom(FSlider);
    option.orientation = FSlider->orientation();
    option.minimum = FMin;
    option.maximum = FMax;
    const QRect groove =
        FSlider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, FSlider);
    const int span = FSlider->orientation() == Qt::Horizontal ? groove.width() : groove.height();
    const auto at = [&](int v) {
        return QStyle::sliderPositionFromValue(FMin, FMax, std::clamp(v, FMin, FMax), span);
    };
    QRect bar = FSlider->orientation() == Qt::Horizontal
                    ? QRect(groove.left() + at(FSelStart), groove.top() - 3, at(FSelEnd) - at(FSelStart), 2)
                    : QRect(groove.left() - 3, groove.top() + at(FSelStart), 2, at(FSelEnd) - at(FSelStart));
    QPainter p(this);
    p.fillRect(bar, palette().color(QPalette::Highlight));
}
