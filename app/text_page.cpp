// The handlers of the "Text" page: its edit box, its font button and the
// colour dialog opened from the label control.
#include "app/main_form.h"

#include "controls/orb_reflection_label.h"
#include "toolkit/layout/layout_error.h"
#include "toolkit/strings.h"
#include "toolkit/widgets/button.h"
#include "toolkit/widgets/color_dialog.h"
#include "toolkit/widgets/edit.h"
#include "toolkit/widgets/font_dialog.h"
#include "toolkit/widgets/label.h"

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
