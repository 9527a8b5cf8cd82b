#include "toolkit/widgets/track_bar_style.h"

#include "toolkit/widgets/track_bar.h"

#include <QApplication>
#include <QHoverEvent>
#include <QSlider>
#include <gtest/gtest.h>

TEST(TrackBarStyle, TickMarksKeepTheirColourWhenThePointerPassesOverAndLeaves)
{
    TTrackBar bar;
    bar.SetMin(-30);
    bar.SetMax(30);
    bar.SetFrequency(2);
    bar.resize(150, 32);
    QSlider* slider = bar.Slider();
    slider->setAttribute(Qt::WA_Hover);
    bar.show();
    QApplication::processEvents();
    // The ticks lie below the groove; compare that band before and after.
    const auto tickBand = [slider] {
        const QImage shot = slider->grab().toImage();
        return shot.copy(0, shot.height() / 2, shot.width(), shot.height() - shot.height() / 2);
    };
    const QImage before = tickBand();
    const QPointF at(20, 8), away(-1, -1);
    QHoverEvent enter(QEvent::HoverEnter, at, at, away);
    QHoverEvent move(QEvent::HoverMove, at, at, at);
    QHoverEvent leave(QEvent::HoverLeave, away, away, at);
    QApplication::sendEvent(slider, &enter);
    QApplication::sendEvent(slider, &move);
    EXPECT_EQ(tickBand(), before) << "while the pointer is over the slider";
    QApplication::sendEvent(slider, &leave);
    EXPECT_EQ(tickBand(), before) << "after the pointer has left";
    EXPECT_EQ(slider->style(), TTrackBarStyle::Instance());
}
