#pragma once

#include <QProxyStyle>

// The application's style for the sliders of track bars, with one change:
// the tick marks are drawn in the same colour whatever the slider's state,
// where the stock style recolours them once the pointer has passed over.
class TTrackBarStyle : public QProxyStyle
{
    Q_OBJECT
  public:
    // One instance for all track bars, owned by the application object.
    static TTrackBarStyle* Instance();

    void drawComplexControl(ComplexControl Control, const QStyleOptionComplex* Option, QPainter* Painter,
                            const QWidget* Widget = nullptr) const override;

  private:
    TTrackBarStyle() = default;
};
