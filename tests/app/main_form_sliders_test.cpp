// Sliders, pages and the footer link of the main window.

#include "tests/app/main_form_fixture.h"

#include "controls/orb_reflection_image.h"
#include "controls/orb_reflection_label.h"
#include "toolkit/widgets/button.h"
#include "toolkit/widgets/label.h"
#include "toolkit/widgets/page_control.h"
#include "toolkit/widgets/track_bar.h"

#include <QPushButton>
#include <QSlider>

namespace
{

struct TSliderReading {
    int Size, OpacityStart, OpacityEnd, Axis;
};

TSliderReading Sliders(const TForm2& Form)
{
    return {Form.TrackBar1->Position(), Form.TrackBar2->Position(), Form.TrackBar3->Position(),
            Form.TrackBar4->Position()};
}

QStringList ValueLabels(const TForm2& Form)
{
    return {Form.Label2->Caption(), Form.Label5->Caption(), Form.Label6->Caption(), Form.Label9->Caption()};
}

TSliderReading ImageParameters(const TForm2& Form)
{
    const TOrbReflectionImage* image = Form.OrbReflectionImage1;
    return {image->ReflectionSize(), image->ReflectionOpacityStart(), image->ReflectionOpacityEnd(),
            image->ReflectionAxis()};
}

void ExpectReading(const TSliderReading& Actual, const TSliderReading& Expected)
{
    EXPECT_EQ(Actual.Size, Expected.Size);
    EXPECT_EQ(Actual.OpacityStart, Expected.OpacityStart);
    EXPECT_EQ(Actual.OpacityEnd, Expected.OpacityEnd);
    EXPECT_EQ(Actual.Axis, Expected.Axis);
}

} // namespace

using MainFormSliders = MainFormTest;

TEST_F(MainFormSliders, AfterStartSlidersAndValueLabelsShowTheImageControl)
{
    ExpectReading(Sliders(*Form), {50, 120, 1, 1});
    EXPECT_EQ(ValueLabels(*Form), QStringList({"50", "120", "1", "1"}));
    ExpectReading(ImageParameters(*Form), {50, 120, 1, 1});
    // AutoSize fits the control to the 220-row picture plus 50 reflection rows.
    EXPECT_EQ(Form->OrbReflectionImage1->size(), QSize(171, 270));
}

TEST_F(MainFormSliders, EachSliderSetsItsParameterAndValueLabel)
{
    struct TCase {
        const char* Name;
        TTrackBar* TForm2::*Slider;
        TLabel* TForm2::*ValueLabel;
        int Position;
        TSliderReading Expected;
    };
    const TCase cases[] = {
        // One after the other on the same window: each moves only its own parameter.
        {"size", &TForm2::TrackBar1, &TForm2::Label2, 80, {80, 120, 1, 1}},
        {"opacity start", &TForm2::TrackBar2, &TForm2::Label5, 200, {80, 200, 1, 1}},
        {"opacity end", &TForm2::TrackBar3, &TForm2::Label6, 30, {80, 200, 30, 1}},
        {"negative axis", &TForm2::TrackBar4, &TForm2::Label9, -7, {80, 200, 30, -7}},
        {"size zero", &TForm2::TrackBar1, &TForm2::Label2, 0, {0, 200, 30, -7}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        // Moved as the user moves it: through the Qt slider.
        (Form.get()->*c.Slider)->Slider()->setValue(c.Position);
        ExpectReading(ImageParameters(*Form), c.Expected);
        EXPECT_EQ((Form.get()->*c.ValueLabel)->Caption(), QString::number(c.Position));
    }
}

TEST_F(MainFormSliders, SizeChangeRefitsTheImageControl)
{
    Form->TrackBar1->Slider()->setValue(100);
    EXPECT_EQ(Form->OrbReflectionImage1->size(), QSize(171, 320));
}

TEST_F(MainFormSliders, SliderOnTheTextPageLeavesTheImageControlAlone)
{
    SwitchToPage(1);
    ASSERT_EQ(Form->PageControl1->ActivePageIndex(), 1);
    Form->TrackBar1->Slider()->setValue(200);
    Form->TrackBar4->Slider()->setValue(-20);
    ExpectReading(ImageParameters(*Form), {50, 120, 1, 1});
    EXPECT_EQ(Form->Label2->Caption(), QStringLiteral("200"));

    // Back on the image page the sliders show the image control again.
    SwitchToPage(0);
    ASSERT_EQ(Form->PageControl1->ActivePageIndex(), 0);
    ExpectReading(Sliders(*Form), {50, 120, 1, 1});
    EXPECT_EQ(ValueLabels(*Form), QStringList({"50", "120", "1", "1"}));
}

TEST_F(MainFormSliders, LoadingClampsToTheSliderAndWritesTheClampedValueBack)
{
    Form->OrbReflectionImage1->SetReflectionSize(300);
    Form->OrbReflectionImage1->SetReflectionAxis(-45);
    Form->LoadSliders();
    EXPECT_EQ(Form->TrackBar1->Position(), 255);
    EXPECT_EQ(Form->TrackBar4->Position(), -30);
    EXPECT_EQ(Form->OrbReflectionImage1->ReflectionSize(), 255);
    EXPECT_EQ(Form->OrbReflectionImage1->ReflectionAxis(), -30);
    EXPECT_EQ(Form->Label2->Caption(), QStringLiteral("255"));
    EXPECT_EQ(Form->Label9->Caption(), QStringLiteral("-30"));
}

TEST_F(MainFormSliders, LoadingAnUnchangedPositionRunsNoHandler)
{
    Form->Label2->SetCaption(QStringLiteral("untouched"));
    Form->LoadSliders();
    EXPECT_EQ(Form->Label2->Caption(), QStringLiteral("untouched"));
}

TEST_F(MainFormSliders, FooterLinkOpensItsCaptionText)
{
    ClickAt(Form->Label11, Form->Label11->rect().center());
    EXPECT_EQ(Script->OpenedUrls, QStringList({Form->Label11->Caption()}));
    EXPECT_TRUE(Script->Messages.isEmpty());
}

// The stored layout's 0..255 is 6 % of a 4000-row photo: an opened picture
// lets the size slider reach its height and the offset a tenth of it.
TEST_F(MainFormSliders, SizeSliderReachesTheOpenedPicturesHeight)
{
    const struct {
        const char* Name;
        QSize Picture;
        int SizeMax, AxisMax;
    } cases[] = {
        {"photo taller than the stored range", QSize(300, 3000), 3000, 300},
        {"a tenth rounded up", QSize(100, 1234), 1234, 124},
        {"a low picture keeps the stored ranges", QSize(320, 200), 255, 30},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const QString file = Folder.filePath(QStringLiteral("%1.png").arg(c.Picture.height()));
        QImage picture(c.Picture, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        ASSERT_TRUE(picture.save(file));
        Open(file);
        EXPECT_EQ(Form->TrackBar1->Max(), c.SizeMax);
        EXPECT_EQ(Form->TrackBar4->Max(), c.AxisMax);
        EXPECT_EQ(Form->TrackBar4->Min(), -c.AxisMax);
        // Moved by the user to the end of its range.
        Form->TrackBar1->Slider()->setValue(Form->TrackBar1->Slider()->maximum());
        EXPECT_EQ(Form->OrbReflectionImage1->ReflectionSize(), c.SizeMax);
        EXPECT_EQ(Form->Label2->Caption(), QString::number(c.SizeMax));
        Form->TrackBar4->Slider()->setValue(Form->TrackBar4->Slider()->minimum());
        EXPECT_EQ(Form->OrbReflectionImage1->ReflectionAxis(), -c.AxisMax);
    }
}

TEST_F(MainFormSliders, OnTheTextPageTheSizeSliderReachesTheTextsHeight)
{
    QFont tall(QStringLiteral("DejaVu Sans"));
    tall.setPixelSize(320);
    Script->FontAnswer = tall;
    SwitchToPage(1);
    EXPECT_EQ(Form->TrackBar1->Max(), 255);
    ClickAt(Form->Button3->Button(), QPoint(5, 5));
    const int textHeight = Form->OrbReflectionLabel1->MarkupHeight();
    ASSERT_GT(textHeight, 255);
    EXPECT_EQ(Form->TrackBar1->Max(), textHeight);
    Form->TrackBar1->Slider()->setValue(textHeight);
    EXPECT_EQ(Form->OrbReflectionLabel1->ReflectionSize(), textHeight);
    // Back on the image page the stored layout's picture keeps 0..255.
    SwitchToPage(0);
    EXPECT_EQ(Form->TrackBar1->Max(), 255);
    EXPECT_EQ(Form->OrbReflectionLabel1->ReflectionSize(), textHeight);
}
