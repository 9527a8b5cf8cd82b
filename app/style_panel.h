#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

class QComboBox;
class QLabel;
class QSlider;

// The "Style" tool window: two sliders for the reflection style (blur and
// squash) and the side the reflection lies on, for the reflection control
// on the window's active page. It stays
// open beside the window, never blocks it, and every step of a slider shows
// at once in the page. It opens at the window's right edge below the top
// bar, where it covers no slider, and follows the window when that is moved
// or resized.
class TStylePanel : public QWidget
{
    Q_OBJECT
  public:
    // A tool window of Owner, hidden until shown.
    explicit TStylePanel(QWidget* Owner);

    // The control the sliders act on: the active page's (none: nothing is set).
    std::function<QObject*()> ActiveControl;
    // Runs after a slider has set a value on Control (to repaint the page).
    std::function<void(QObject* Control)> OnChange;

    // Puts the active control's style on the sliders, as the window does
    // with its four sliders on a page switch.
    void LoadFromControl();
    // Shows the window, placed below Top (in the owner's coordinates) at the
    // owner's right edge the first time.
    void Open(int Top);

    QSlider* BlurSlider() const { return FBlur; }
    QSlider* ScaleSlider() const { return FScale; }
    QComboBox* SideBox() const { return FSide; }
    QLabel* BlurValue() const { return FBlurValue; }
    QLabel* ScaleValue() const { return FScaleValue; }

  protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

  private:
    void SliderMoved(const char* Property, QSlider* Slider);
    void SideChosen();
    void ShowValues();

    QSlider* FBlur;
    QSlider* FScale;
    QComboBox* FSide;
    QLabel* FBlurValue;
    QLabel* FScaleValue;
    bool FLoading = false;
    bool FPlaced = false;
    QWidget* FOwner;
    QPoint FOwnerPos;
    int FOwnerWidth = 0;
};

// A small "Style ..." button placed on Parent at Place that opens Panel (and
// brings it forward when already open).
QWidget* AddStyleButton(QWidget* Parent, QPoint Place, TStylePanel* Panel);
