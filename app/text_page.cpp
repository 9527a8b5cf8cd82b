// The handlers of the "Text" page: its edit box, its font button and the
// colour dialog opened from the label control.
#include "app/main_form.h"

#include "app/resize_hook.h"
#include "controls/orb_reflection_label.h"
#include "markup/label/label_rendering.h"
#include "toolkit/layout/layout_error.h"
#include "toolkit/strings.h"
#include "toolkit/widgets/button.h"
#include "toolkit/widgets/color_dialog.h"
#include "toolkit/widgets/edit.h"
#include "toolkit/widgets/font_dialog.h"
#include "toolkit/widgets/label.h"
#include "toolkit/widgets/page_control.h"
#include "toolkit/widgets/tab_sheet.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTextDocument>
#include <algorithm>

namespace
{
// Between the controls of the edit row, and the least the edit box keeps.
constexpr int RowGap = 12;
constexpr int NarrowestEdit = 200;

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
    Edit1->LineEdit()->setToolTip(Qt::convertFromPlainText(
        QStringLiteral("Markup: <b>bold</b>, <i>italic</i>, <u>underline</u>, <s>strikeout</s>,\n"
                       "<font color=\"orange\" size=\"5\" face=\"DejaVu Sans\">...</font>,\n"
                       "<sub>, <sup>, <shadow>, <p align=\"center\">, <br>, <hr>,\n"
                       "<a href=\"https://example.com\">link</a>, &lt; &amp; &copy; &euro;\n"
                       "Colours: names such as red or clNavy, or #RRGGBB.\n"
                       "Every tag and entity: docs/markup.md"),
        Qt::WhiteSpacePre));

    CheckBox1 = new QCheckBox(QStringLiteral("Trim to the text"), TabSheet2);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->adjustSize();
    CheckBox2 = new QCheckBox(QStringLiteral("Transparent background"), TabSheet2);
    CheckBox2->setObjectName(QStringLiteral("CheckBox2"));
    CheckBox2->adjustSize();
    // Ctrl+C in the box copies its text: the picture has a button of its own.
    auto* copy = new QPushButton(QStringLiteral("Copy &picture"), TabSheet2);
    copy->setObjectName(QStringLiteral("CopyPictureButton"));
    copy->setToolTip(QStringLiteral("Copy the label's picture, as a save would write it, to the clipboard"));
    copy->resize(copy->sizeHint().width(), Button3->height());
    connect(copy, &QPushButton::clicked, this, [this] { CopyToClipboard(); });
    QWidget::setTabOrder(Button3->Button(), CheckBox1);
    QWidget::setTabOrder(CheckBox1, CheckBox2);
    QWidget::setTabOrder(CheckBox2, copy);
    // The width the text wraps in, and so the width it is saved at: by
    // default the page's, which changes with the window.
    WrapWidth = new QSpinBox(TabSheet2);
    WrapWidth->setObjectName(QStringLiteral("WrapWidth"));
    WrapWidth->setRange(0, 16000);
    WrapWidth->setSingleStep(10);
    WrapWidth->setPrefix(QStringLiteral("Wrap at "));
    WrapWidth->setSuffix(QStringLiteral(" px"));
    WrapWidth->setSpecialValueText(QStringLiteral("Wrap at page width"));
    WrapWidth->setToolTip(QStringLiteral("The width the text wraps in and is saved at (lumivex-cli text "
                                         "--width); the page's width while 0"));
    WrapWidth->resize(WrapWidth->sizeHint().width(), Button3->height());
    QWidget::setTabOrder(copy, WrapWidth);
    // What the check boxes ask changes what a save writes.
    for (QCheckBox* box : {CheckBox1, CheckBox2})
        connect(box, &QCheckBox::toggled, this, [this] { ShowOutputSize(); });

    // The label fills the page below the edit row at any window size: it
    // never slides up behind the row in a short window nor leaves a band
    // above it in a tall one. The check boxes stand in the row beside the
    // edit box, which gives way in a narrow window so that they stay whole.
    const int labelTop = OrbReflectionLabel1->y();
    const int editWidth = Edit1->width();
    const auto layout = [this, labelTop, editWidth, copy] {
        const int width = TabSheet2->width();
        OrbReflectionLabel1->setGeometry(0, labelTop, WrapWidth->value() > 0 ? WrapWidth->value() : width,
                                         std::max(0, TabSheet2->height() - labelTop));
        const int boxes = RowGap + CheckBox1->width() + RowGap + CheckBox2->width() + RowGap + copy->width() +
                          RowGap + WrapWidth->width() + RowGap / 2;
        Edit1->SetWidth(std::clamp(width - Edit1->x() - boxes, NarrowestEdit, editWidth));
        const int middle = Edit1->y() + Edit1->height() / 2;
        CheckBox1->move(Edit1->x() + Edit1->width() + RowGap, middle - CheckBox1->height() / 2);
        CheckBox2->move(CheckBox1->geometry().right() + 1 + RowGap, middle - CheckBox2->height() / 2);
        copy->move(CheckBox2->geometry().right() + 1 + RowGap, middle - copy->height() / 2);
        WrapWidth->move(copy->geometry().right() + 1 + RowGap, middle - WrapWidth->height() / 2);
    };
    new TResizeHook(TabSheet2, layout);
    connect(WrapWidth, &QSpinBox::valueChanged, this, [this, layout] {
        layout();
        ShowOutputSize();
    });
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
    // A taller text lets the size slider reach further.
    if (PageControl1->ActivePageIndex() != 0 && !FApplyingValues)
        AdaptSliderRanges();
    ValuesChanged();
}

void TForm2::Button3Click(QObject*)
{
    FontDialog1->SetFont(OrbReflectionLabel1->Font());
    if (!FontDialog1->Execute())
        return;
    OrbReflectionLabel1->SetFont(FontDialog1->Font());
    if (PageControl1->ActivePageIndex() != 0)
        AdaptSliderRanges();
    ValuesChanged();
}

void TForm2::OrbReflectionLabel1MouseUp(QObject*)
{
    if (OrbReflectionLabel1->LastMouseButton() != Qt::RightButton)
        return;
    ColorDialog1->SetColor(OrbReflectionLabel1->ShownColor());
    if (ColorDialog1->Execute())
        OrbReflectionLabel1->SetColor(ColorDialog1->Color());
}
