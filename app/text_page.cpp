// The handlers of the "Text" page: its edit box, its font button and the
// colour dialog opened from the label control.
#include "app/main_form.h"

#include "app/page_filler.h"
#include "controls/orb_reflection_label.h"
#include "markup/label_rendering.h"
#include "toolkit/layout/layout_error.h"
#include "toolkit/strings.h"
#include "toolkit/widgets/button.h"
#include "toolkit/widgets/color_dialog.h"
#include "toolkit/widgets/edit.h"
#include "toolkit/widgets/font_dialog.h"
#include "toolkit/widgets/label.h"
#include "toolkit/widgets/tab_sheet.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTextDocument>

namespace
{
template <class T> T* TextPageComponent(const QObject* Root, const char* Name)
{
    T* found = Root->findChild<T*>(QString::fromLatin1(Name));
    if (!found)
        throw ELayoutError(std::string("The main window's layout has no ") + Name);
    return found;
}
} // namespace

void TForm2::FindTextPageComponents()
{
    OrbReflectionLabel1 = TextPageComponent<TOrbReflectionLabel>(this, "OrbReflectionLabel1");
    Label7 = TextPageComponent<TLabel>(this, "Label7");
    Edit1 = TextPageComponent<TEdit>(this, "Edit1");
    Button3 = TextPageComponent<TButton>(this, "Button3");
    FontDialog1 = TextPageComponent<TFontDialog>(this, "FontDialog1");
    ColorDialog1 = TextPageComponent<TColorDialog>(this, "ColorDialog1");
}

void TForm2::SetUpTextPage()
{
    // Below the edit row at any window size: the text never slides up behind
    // the row in a short window nor leaves a band above it in a tall one.
    new TPageFiller(OrbReflectionLabel1);

    Edit1->LineEdit()->setToolTip(Qt::convertFromPlainText(
        QStringLiteral("Markup: <b>bold</b>, <i>italic</i>, <u>underline</u>, <s>strikeout</s>,\n"
                       "<font color=\"orange\" size=\"5\" face=\"DejaVu Sans\">...</font>,\n"
                       "<sub>, <sup>, <shadow>, <p align=\"center\">, <br>, <hr>,\n"
                       "<a href=\"https://example.com\">link</a>, &lt; &amp; &copy; &euro;\n"
                       "Colours: names such as red or clNavy, or #RRGGBB.\n"
                       "Every tag and entity: docs/markup.md"),
        Qt::WhiteSpacePre));

    // Beside the edit box and the "Font" button, in their row.
    const int left = Edit1->x() + Edit1->width() + 16;
    CheckBox1 = new QCheckBox(QStringLiteral("Trim to the text"), TabSheet2);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->adjustSize();
    CheckBox1->move(left, Edit1->y() + (Edit1->height() - CheckBox1->height()) / 2);
    CheckBox2 = new QCheckBox(QStringLiteral("Transparent background"), TabSheet2);
    CheckBox2->setObjectName(QStringLiteral("CheckBox2"));
    CheckBox2->adjustSize();
    CheckBox2->move(CheckBox1->geometry().right() + 16, CheckBox1->y());
    QWidget::setTabOrder(Button3->Button(), CheckBox1);
    QWidget::setTabOrder(CheckBox1, CheckBox2);
}

TLabelPictureOptions TForm2::TextPictureOptions() const
{
    TLabelPictureOptions options;
    options.Trim = CheckBox1 && CheckBox1->isChecked();
    options.Transparent = CheckBox2 && CheckBox2->isChecked();
    return options;
}

void TForm2::Edit1Change(QObject*)
{
    // Through the list itself, whose change notification rebuilds the label.
    OrbReflectionLabel1->HTMLText()->SetText(Edit1->Text());
}

void TForm2::Button3Click(QObject*)
{
    FontDialog1->SetFont(OrbReflectionLabel1->Font());
    if (FontDialog1->Execute())
        OrbReflectionLabel1->SetFont(FontDialog1->Font());
}

void TForm2::OrbReflectionLabel1MouseUp(QObject*)
{
    if (OrbReflectionLabel1->LastMouseButton() != Qt::RightButton)
        return;
    ColorDialog1->SetColor(OrbReflectionLabel1->ShownColor());
    if (ColorDialog1->Execute())
        OrbReflectionLabel1->SetColor(ColorDialog1->Color());
}
