// Undo, redo and reset of the window's values, made as the user makes them.
#include "tests/app/main_form_fixture.h"

#include "app/style_panel.h"
#include "controls/orb_reflection_image.h"
#include "controls/orb_reflection_label.h"
#include "toolkit/graphics/font.h"
#include "toolkit/widgets/button.h"
#include "toolkit/widgets/edit.h"
#include "toolkit/widgets/track_bar.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <functional>
#include <initializer_list>
#include <vector>

namespace
{
std::string Describe(const TWindowValues& Values)
{
    const auto parameters = [](const TReflectionParameters& P) {
        return QStringLiteral("%1/%2/%3/%4/%5/%6/side %7")
            .arg(P.Size)
            .arg(P.OpacityStart)
            .arg(P.OpacityEnd)
            .arg(P.Axis)
            .arg(P.Blur)
            .arg(P.Scale)
            .arg(int(P.Direction));
    };
    return QStringLiteral("image %1, label %2, text \"%3\", font %4 %5")
        .arg(parameters(Values.Image), parameters(Values.Label), Values.Text,
             Values.Font ? Values.Font->Name() : QString())
        .arg(Values.Font ? Values.Font->Height() : 0)
        .toStdString();
}

// A drag: the thumb held down over several values and let go.
void Drag(QSlider* Slider, std::initializer_list<int> Values)
{
    Slider->setSliderDown(true);
    for (int value : Values)
        Slider->setValue(value);
    Slider->setSliderDown(false);
}
} // namespace

using MainFormHistory = MainFormTest;

TEST_F(MainFormHistory, CtrlZAndCtrlShiftZStepThroughEachChange)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(21);
    Script->FontAnswer = font;
    struct TStep {
        const char* Name;
        std::function<void()> Change;
    } steps[] = {
        {"size slider, one step of the keyboard", [this] { Form->TrackBar1->Slider()->setValue(90); }},
        {"a drag of the opacity slider is one step",
         [this] {
             Drag(Form->TrackBar2->Slider(), {10, 20, 30});
         }},
        {"blur in the style window", [this] { Form->StylePanel()->BlurSlider()->setValue(12); }},
        {"the side in the style window", [this] { Form->StylePanel()->SideBox()->setCurrentIndex(2); }},
        {"text", [this] { Form->Edit1->LineEdit()->setText(QStringLiteral("Undo <b>me</b>")); }},
        {"font", [this] { ClickAt(Form->Button3->Button(), QPoint(5, 5)); }},
        {"the label's offset on its page",
         [this] {
             SwitchToPage(1);
             Drag(Form->TrackBar4->Slider(), {-3, 4, 9});
         }},
    };
    std::vector<TWindowValues> seen{Form->CurrentValues()};
    for (const TStep& step : steps) {
        SCOPED_TRACE(step.Name);
        step.Change();
        ASSERT_FALSE(Form->CurrentValues() == seen.back()) << Describe(seen.back());
        seen.push_back(Form->CurrentValues());
    }
    for (std::size_t back = seen.size() - 1; back-- > 0;) {
        SCOPED_TRACE(steps[back].Name);
        PressKey(Form.get(), Qt::Key_Z, Qt::ControlModifier);
        EXPECT_TRUE(Form->CurrentValues() == seen[back])
            << Describe(Form->CurrentValues()) << "\nexpected " << Describe(seen[back]);
    }
    // The sliders show the active page's values as they were.
    EXPECT_EQ(Form->TrackBar4->Position(), seen.front().Label.Axis);
    EXPECT_EQ(Form->Edit1->Text(), seen.front().Text);
    for (std::size_t forward = 1; forward < seen.size(); ++forward) {
        SCOPED_TRACE(steps[forward - 1].Name);
        PressKey(Form.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_TRUE(Form->CurrentValues() == seen[forward])
            << Describe(Form->CurrentValues()) << "\nexpected " << Describe(seen[forward]);
    }
    EXPECT_EQ(Form->OrbReflectionLabel1->Font()->Height(), -21);
}

TEST_F(MainFormHistory, ResetPutsTheStartValuesBackAsOneStepAndKeepsTheText)
{
    const TWindowValues start = Form->CurrentValues();
    Form->TrackBar1->Slider()->setValue(140);
    Form->StylePanel()->ScaleSlider()->setValue(40);
    SwitchToPage(1);
    Form->TrackBar2->Slider()->setValue(250);
    Form->Edit1->LineEdit()->setText(QStringLiteral("Kept"));
    const TWindowValues changed = Form->CurrentValues();

    ClickAt(Form->findChild<QPushButton*>(QStringLiteral("ResetButton")), QPoint(5, 5));
    const TWindowValues reset = Form->CurrentValues();
    EXPECT_EQ(reset.Image, start.Image);
    EXPECT_EQ(reset.Label, start.Label);
    EXPECT_EQ(reset.Text, QStringLiteral("Kept"));
    EXPECT_EQ(Form->TrackBar2->Position(), start.Label.OpacityStart);

    PressKey(Form.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(Form->CurrentValues() == changed) << Describe(Form->CurrentValues());
}
