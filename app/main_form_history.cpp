// Undo, redo and reset of the window's values.
#include "app/main_form.h"

#include "app/image_view.h"
#include "app/style_panel.h"
#include "controls/orb_reflection_image.h"
#include "controls/orb_reflection_label.h"
#include "toolkit/graphics/font.h"
#include "toolkit/widgets/edit.h"
#include "toolkit/widgets/panel.h"
#include "toolkit/widgets/track_bar.h"

#include <QPushButton>
#include <QSlider>
#include <QVariant>
#include <algorithm>
#include <initializer_list>
#include <utility>

namespace
{
// Each value with the control property that holds it.
const std::pair<int TReflectionParameters::*, const char*> ValueProperties[] = {
    {&TReflectionParameters::Size, "ReflectionSize"},
    {&TReflectionParameters::OpacityStart, "ReflectionOpacityStart"},
    {&TReflectionParameters::OpacityEnd, "ReflectionOpacityEnd"},
    {&TReflectionParameters::Axis, "ReflectionAxis"},
    {&TReflectionParameters::Blur, "ReflectionBlur"},
    {&TReflectionParameters::Scale, "ReflectionScale"},
};

TReflectionParameters ValuesOf(const QObject* Control)
{
    TReflectionParameters values;
    for (const auto& [field, property] : ValueProperties)
        values.*field = Control->property(property).toInt();
    values.Direction =
        TReflectionDirection(Control->property("ReflectionDirection").value<TReflectionSide>());
    return values;
}

void SetValues(QObject* Control, const TReflectionParameters& Values)
{
    for (const auto& [field, property] : ValueProperties)
        Control->setProperty(property, Values.*field);
    Control->setProperty("ReflectionDirection", QVariant::fromValue(TReflectionSide(Values.Direction)));
}
} // namespace

TWindowValues TForm2::CurrentValues() const
{
    TWindowValues values;
    values.Image = ValuesOf(OrbReflectionImage1);
    values.Label = ValuesOf(OrbReflectionLabel1);
    values.Text = Edit1->Text();
    auto font = std::make_shared<TFont>();
    font->CopyFrom(OrbReflectionLabel1->Font());
    values.Font = std::move(font);
    return values;
}

void TForm2::SetUpHistory()
{
    // A drag is one step: the values are recorded when the thumb is let go.
    for (TTrackBar* slider : {TrackBar1, TrackBar2, TrackBar3, TrackBar4})
        connect(slider->Slider(), &QSlider::sliderReleased, this, [this] { ValuesChanged(); });
    for (QSlider* slider : {FStylePanel->BlurSlider(), FStylePanel->ScaleSlider()})
        connect(slider, &QSlider::sliderReleased, this, [this] { ValuesChanged(); });
    FStartValues = CurrentValues();
    FHistory.Reset(FStartValues);
    FHistoryReady = true;
}

bool TForm2::SliderDragged() const
{
    for (const TTrackBar* slider : {TrackBar1, TrackBar2, TrackBar3, TrackBar4})
        if (slider->Slider()->isSliderDown())
            return true;
    return FStylePanel &&
           (FStylePanel->BlurSlider()->isSliderDown() || FStylePanel->ScaleSlider()->isSliderDown());
}

void TForm2::ValuesChanged()
{
    if (!FHistoryReady || FApplyingValues || FLoadingSliders)
        return;
    ShowOutputSize();
    if (SliderDragged())
        return;
    FHistory.Record(CurrentValues());
}

void TForm2::ApplyValues(const TWindowValues& Values)
{
    FApplyingValues = true;
    SetValues(OrbReflectionImage1, Values.Image);
    SetValues(OrbReflectionLabel1, Values.Label);
    if (Edit1->Text() != Values.Text)
        Edit1->SetText(Values.Text);
    if (Values.Font && !(*Values.Font == *OrbReflectionLabel1->Font()))
        OrbReflectionLabel1->Font()->CopyFrom(Values.Font.get());
    LoadSliders();
    FApplyingValues = false;
    if (FImageView)
        FImageView->Refresh();
    ShowOutputSize();
}

void TForm2::Undo()
{
    if (const std::optional<TWindowValues> values = FHistory.Undo())
        ApplyValues(*values);
}

void TForm2::Redo()
{
    if (const std::optional<TWindowValues> values = FHistory.Redo())
        ApplyValues(*values);
}

void TForm2::ResetValues()
{
    // The text and its font are the user's own work: only the values go back.
    TWindowValues values = CurrentValues();
    values.Image = FStartValues.Image;
    values.Label = FStartValues.Label;
    ApplyValues(values);
    FHistory.Record(CurrentValues());
}

void TForm2::SetUpResetButton(QWidget* After)
{
    auto* button = new QPushButton(QStringLiteral("&Reset"), Panel1);
    button->setObjectName(QStringLiteral("ResetButton"));
    button->setToolTip(QStringLiteral("Put the reflection and style values the window started with back "
                                      "(Ctrl+Z undoes, Ctrl+Shift+Z redoes)"));
    button->move(After->geometry().right() + 8, After->y());
    button->resize(button->sizeHint().width(), After->height());
    connect(button, &QPushButton::clicked, this, [this] { ResetValues(); });
    button->show();
    setMinimumWidth(std::max(minimumWidth(), button->geometry().right() + 8));
}
