// The "Text" page: its label control, edit box, dialogs, and the shared
// sliders and save button acting on the label while the page is active.

#include "tests/app/main_form_fixture.h"

#include "controls/orb_reflection_image.h"
#include "controls/orb_reflection_label.h"
#include "toolkit/graphics/font.h"
#include "toolkit/strings.h"
#include "toolkit/widgets/button.h"
#include "toolkit/widgets/edit.h"
#include "toolkit/widgets/label.h"
#include "toolkit/widgets/page_control.h"
#include "toolkit/widgets/track_bar.h"

#include <QApplication>
#include <QImageReader>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>

namespace
{
QStringList SliderTexts(const TForm2& Form)
{
    return {QString::number(Form.TrackBar1->Position()),
            QString::number(Form.TrackBar2->Position()),
            QString::number(Form.TrackBar3->Position()),
            QString::number(Form.TrackBar4->Position()),
            Form.Label2->Caption(),
            Form.Label5->Caption(),
            Form.Label6->Caption(),
            Form.Label9->Caption()};
}

void ReleaseOver(QWidget* Widget, Qt::MouseButton Button)
{
    const QPointF local(Widget->rect().center());
    QMouseEvent press(QEvent::MouseButtonPress, local, Widget->mapToGlobal(local), Button, Button,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, local, Widget->mapToGlobal(local), Button, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(Widget, &press);
    QApplication::sendEvent(Widget, &release);
}
} // namespace

using MainFormTextPage = MainFormTest;

TEST_F(MainFormTextPage, FirstSwitchLoadsTheLabelDefaultsAndTheAxisSliderActsOnTheLabelOnly)
{
    SwitchToPage(1);
    ASSERT_EQ(Form->PageControl1->ActivePageIndex(), 1);
    EXPECT_EQ(SliderTexts(*Form), QStringList({"20", "128", "0", "-7", "20", "128", "0", "-7"}));

    Form->TrackBar4->Slider()->setValue(-30);
    EXPECT_EQ(Form->OrbReflectionLabel1->ReflectionAxis(), -30);
    EXPECT_EQ(Form->OrbReflectionImage1->ReflectionAxis(), 1);
    EXPECT_EQ(Form->Label9->Caption(), QStringLiteral("-30"));
}

TEST_F(MainFormTextPage, OnlyTheRightButtonOpensTheColourDialogPresetWithTheLabelsColour)
{
    SwitchToPage(1);
    TOrbReflectionLabel* label = Form->OrbReflectionLabel1;
    const struct {
        Qt::MouseButton button;
        std::optional<QColor> answer;
        int dialogs;
        QColor colour; // of the label afterwards
    } cases[] = {
        {Qt::LeftButton, QColor(Qt::red), 0, Qt::white},
        {Qt::MiddleButton, QColor(Qt::red), 0, Qt::white},
        {Qt::RightButton, std::nullopt, 1, Qt::white},
        {Qt::RightButton, QColor(0, 0, 128), 2, QColor(0, 0, 128)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dialogs);
        Script->ColorAnswer = c.answer;
        ReleaseOver(label, c.button);
        EXPECT_EQ(Script->ColorDialogs, c.dialogs);
        EXPECT_EQ(ColorToQColor(label->ShownColor()), c.colour);
    }
    EXPECT_EQ(Script->AskedColor, QColor(Qt::white)) << "preset with the colour the label had";
}

TEST_F(MainFormTextPage, TypedMarkupAndTheChosenFontReachTheLabel)
{
    SwitchToPage(1);
    TOrbReflectionLabel* label = Form->OrbReflectionLabel1;
    EXPECT_EQ(label->MarkupText(), QStringLiteral("Reflection"));
    label->PaintSurface();
    const int plain = label->MarkupWidth();

    Form->Edit1->LineEdit()->setText(QStringLiteral("<b>Reflection</b>"));
    EXPECT_EQ(label->HTMLText()->Lines(), QStringList{QStringLiteral("<b>Reflection</b>")});
    label->PaintSurface();
    EXPECT_GT(label->MarkupWidth(), plain) << "the bold tag takes effect";

    QFont chosen(QStringLiteral("DejaVu Sans"));
    chosen.setPixelSize(40);
    chosen.setItalic(true);
    Script->FontAnswer = chosen;
    ClickAt(Form->Button3->Button(), Form->Button3->Button()->rect().center());
    EXPECT_EQ(Script->AskedFont.pixelSize(), 27) << "offered the label's font";
    EXPECT_EQ(label->Font()->Name(), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(label->Font()->Height(), -40);
    EXPECT_TRUE(label->Font()->Style() & TFont::fsItalic);
}

TEST_F(MainFormTextPage, SavingWithTheTextPageActiveWritesTheLabelAsShown)
{
    SwitchToPage(1);
    Form->Edit1->LineEdit()->setText(QStringLiteral("Saved <font color=\"clRed\">text</font>"));
    const QString target = Folder.filePath(QStringLiteral("text.png"));
    SaveAs(target);
    ASSERT_EQ(KindOfFile(target), TFileKind::Png) << Script->Messages.join(QLatin1Char('\n')).toStdString();
    const QImage saved = QImageReader(target).read().convertToFormat(QImage::Format_RGB32);
    TOrbReflectionLabel* label = Form->OrbReflectionLabel1;
    EXPECT_EQ(saved.size(), label->size());
    EXPECT_TRUE(saved == label->Surface().convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(saved.pixel(saved.width() - 1, saved.height() - 1), 0xFFFFFFFFu);

    const QString failed = Folder.filePath(QStringLiteral("missing-folder/text.png"));
    SaveAs(failed);
    EXPECT_EQ(KindOfFile(failed), TFileKind::Missing);
    EXPECT_EQ(Script->Messages.size(), 1);
}
