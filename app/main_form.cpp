#include "app/main_form.h"

#include "controls/orb_reflection_image.h"
#include "imaging/gdip_picture.h"
#include "imaging/saving/save_format_choice.h"
#include "toolkit/layout/layout_error.h"
#include "toolkit/widgets/button.h"
#include "toolkit/widgets/label.h"
#include "toolkit/widgets/open_dialog.h"
#include "toolkit/widgets/page_control.h"
#include "toolkit/widgets/panel.h"
#include "toolkit/widgets/save_dialog.h"
#include "toolkit/widgets/tab_sheet.h"
#include "toolkit/widgets/track_bar.h"
#include "toolkit/widgets/user_interaction.h"

#include <QFile>
#include <QVariant>

namespace
{
const QString MessageTitle = QStringLiteral("Lumivex");

QByteArray CompiledLayout()
{
    QFile resource(QStringLiteral(":/rcdata/TFORM2"));
    if (!resource.open(QIODevice::ReadOnly))
        throw ELayoutError("The main window's layout is missing from the program");
    return resource.readAll();
}

// "Could not open "name": reason", without naming the file twice when the
// reason already does.
QString FailureText(const QString& Action, const QString& FileName, const QString& Reason)
{
    const QString reason = Reason.isEmpty() ? QStringLiteral("unknown reason") : Reason;
    if (reason.contains(FileName))
        return QStringLiteral("Could not %1 the file: %2").arg(Action, reason);
    return QStringLiteral("Could not %1 \"%2\": %3").arg(Action, FileName, reason);
}

template <class T> T* Component(const QObject* Root, const char* Name)
{
    T* found = Root->findChild<T*>(QString::fromLatin1(Name));
    if (!found)
        throw ELayoutError(std::string("The main window's layout has no ") + Name);
    return found;
}
} // namespace

TForm2::TForm2(QWidget* Parent) : TForm2(CompiledLayout(), Parent) {}

TForm2::TForm2(const QByteArray& Layout, QWidget* Parent) : TForm(Parent)
{
    CreateFromLayout(Layout);
}

void TForm2::LayoutLoaded()
{
    TForm::LayoutLoaded();
    // Every component exists once the reader calls this, and FormCreate only
    // runs afterwards, so the handlers always find their members set.
    FindComponents();
}

void TForm2::FindComponents()
{
    Panel1 = Component<TPanel>(this, "Panel1");
    Button1 = Component<TButton>(this, "Button1");
    OpenDialog1 = Component<TOpenDialog>(this, "OpenDialog1");
    SaveDialog1 = Component<TSaveDialog>(this, "SaveDialog1");
    TrackBar1 = Component<TTrackBar>(this, "TrackBar1");
    Label1 = Component<TLabel>(this, "Label1");
    Label2 = Component<TLabel>(this, "Label2");
    TrackBar2 = Component<TTrackBar>(this, "TrackBar2");
    TrackBar3 = Component<TTrackBar>(this, "TrackBar3");
    Label3 = Component<TLabel>(this, "Label3");
    Label4 = Component<TLabel>(this, "Label4");
    Label5 = Component<TLabel>(this, "Label5");
    Label6 = Component<TLabel>(this, "Label6");
    PageControl1 = Component<TPageControl>(this, "PageControl1");
    TabSheet1 = Component<TTabSheet>(this, "TabSheet1");
    TabSheet2 = Component<TTabSheet>(this, "TabSheet2");
    OrbReflectionImage1 = Component<TOrbReflectionImage>(this, "OrbReflectionImage1");
    Button2 = Component<TButton>(this, "Button2");
    Label8 = Component<TLabel>(this, "Label8");
    Label9 = Component<TLabel>(this, "Label9");
    TrackBar4 = Component<TTrackBar>(this, "TrackBar4");
    Panel2 = Component<TPanel>(this, "Panel2");
    Label10 = Component<TLabel>(this, "Label10");
    Label11 = Component<TLabel>(this, "Label11");
}

QObject* TForm2::ActiveReflectionControl() const
{
    if (PageControl1->ActivePageIndex() == 0)
        return OrbReflectionImage1;
    return findChild<QObject*>(QStringLiteral("OrbReflectionLabel1"));
}

void TForm2::FormCreate(QObject*)
{
    LoadSliders();
}

void TForm2::PageControl1Change(QObject*)
{
    LoadSliders();
}

void TForm2::LoadSliders()
{
    QObject* control = ActiveReflectionControl();
    if (!control)
        return;
    // Each slider clamps; only a real change of position runs its handler,
    // which writes the clamped value back to the same control.
    TrackBar1->SetPosition(control->property("ReflectionSize").toInt());
    TrackBar2->SetPosition(control->property("ReflectionOpacityStart").toInt());
    TrackBar3->SetPosition(control->property("ReflectionOpacityEnd").toInt());
    TrackBar4->SetPosition(control->property("ReflectionAxis").toInt());
}

void TForm2::SliderChanged(TTrackBar* Slider, const char* Parameter, TLabel* ValueLabel)
{
    if (QObject* control = ActiveReflectionControl())
        control->setProperty(Parameter, Slider->Position());
    ValueLabel->SetCaption(QString::number(Slider->Position()));
}

void TForm2::TrackBar1Change(QObject*)
{
    SliderChanged(TrackBar1, "ReflectionSize", Label2);
}

void TForm2::TrackBar2Change(QObject*)
{
    SliderChanged(TrackBar2, "ReflectionOpacityStart", Label5);
}

void TForm2::TrackBar3Change(QObject*)
{
    SliderChanged(TrackBar3, "ReflectionOpacityEnd", Label6);
}

void TForm2::TrackBar4Change(QObject*)
{
    SliderChanged(TrackBar4, "ReflectionAxis", Label9);
}

void TForm2::Button1Click(QObject*)
{
    if (!SaveDialog1->Execute())
        return;
    // The dialog's filter only narrows the listing: the name decides the format.
    const QString fileName = SaveDialog1->FileName();
    const ImageSaveFormat format = SaveFormatFromFileName(fileName);
    // The text page has no reflection control of its own yet.
    if (PageControl1->ActivePageIndex() != 0)
        return;
    QString reason;
    if (!OrbReflectionImage1->SaveReflection(fileName, format, &reason))
        UserInteraction().ShowMessage(MessageTitle, FailureText(QStringLiteral("save"), fileName, reason));
}

void TForm2::Button2Click(QObject*)
{
    if (!OpenDialog1->Execute())
        return;
    const QString fileName = OpenDialog1->FileName();
    TGDIPPicture* picture = OrbReflectionImage1->Picture();
    picture->LoadFile(fileName);
    // A file that could not be read leaves the picture empty without a change
    // notification; the control must still show its empty state.
    OrbReflectionImage1->update();
    // The picture is what the control shows either way (empty, or 0 x 0 for
    // bytes that do not decode); the user still learns why.
    if (picture->LastError().isEmpty())
        return;
    if (picture->Width() > 0)
        UserInteraction().ShowMessage(MessageTitle,
                                      QStringLiteral("\"%1\" is damaged (%2); showing what could be read.")
                                          .arg(fileName, picture->LastError()));
    else
        UserInteraction().ShowMessage(MessageTitle,
                                      FailureText(QStringLiteral("open"), fileName, picture->LastError()));
}

void TForm2::Label11Click(QObject*)
{
    UserInteraction().OpenUrl(Label11->Caption());
}
