#include "toolkit/widgets/form.h"

#include "toolkit/layout/layout_reader.h"

#include <QGuiApplication>
#include <QScreen>

TForm::TForm(QWidget* Parent) : TControl(Parent)
{
    SetColor(clBtnFace);
    resize(320, 240);
}

void TForm::CreateFromLayout(const QByteArray& Binary)
{
    ReadLayoutInto(this, Binary);
    FOnCreate(this);
}

void TForm::CaptionChanged()
{
    setWindowTitle(Caption());
}

void TForm::showEvent(QShowEvent* Event)
{
    // Placed once, at the first showing, on the screen the window opens on.
    if (!FPlaced && (FPosition == poScreenCenter || FPosition == poDesktopCenter)) {
        QScreen* target = screen() ? screen() : QGuiApplication::primaryScreen();
        if (target) {
            const QRect area = target->availableGeometry();
            const QRect frame = frameGeometry();
            const QPoint offset = pos() - frame.topLeft();
            move(area.center() - QPoint(frame.width() / 2, frame.height() / 2) + offset);
        }
    }
    FPlaced = true;
    TControl::showEvent(Event);
}
