#include "toolkit/widgets/track_bar_style.h"

#include <QApplication>
#include <QPointer>
#include <QStyleOptionSlider>

TTrackBarStyle* TTrackBarStyle::Instance()
{
    static QPointer<TTrackBarStyle> instance;
    if (!instance) {
        instance = new TTrackBarStyle();
        instance->setParent(qApp);
    }
    return instance;
}

void TTrackBarStyle::drawComplexControl(ComplexControl Control, const QStyleOptionComplex* Option,
                                        QPainter* Painter, const QWidget* Widget) const
{
    const auto* slider = qstyleoption_cast<const QStyleOptionSlider*>(Option);
    if (Control != CC_Slider || !slider || !(slider->subControls & SC_SliderTickmarks)) {
        QProxyStyle::drawComplexControl(Control, Option, Painter, Widget);
        return;
    }
    QStyleOptionSlider rest(*slider);
    rest.subControls &= ~SC_SliderTickmarks;
    QProxyStyle::drawComplexControl(Control, &rest, Painter, Widget);
    // Ticks as for a slider at rest: neither hovered, focused nor pressed.
    QStyleOptionSlider ticks(*slider);
    ticks.subControls = SC_SliderTickmarks;
    ticks.activeSubControls = SC_None;
    ticks.state &= ~(State_MouseOver | State_HasFocus | State_Sunken);
    QProxyStyle::drawComplexControl(Control, &ticks, Painter, Widget);
}
