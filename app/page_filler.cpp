#include "app/page_filler.h"

#include <QEvent>
#include <QWidget>
#include <algorithm>

TPageFiller::TPageFiller(QWidget* Child) : QObject(Child), FChild(Child), FTop(Child->y())
{
    Child->parentWidget()->installEventFilter(this);
    Fill();
}

bool TPageFiller::eventFilter(QObject* Watched, QEvent* Event)
{
    if (FChild && Watched == FChild->parentWidget() && Event->type() == QEvent::Resize)
        Fill();
    return QObject::eventFilter(Watched, Event);
}

void TPageFiller::Fill()
{
    const QWidget* parent = FChild ? FChild->parentWidget() : nullptr;
    if (!parent)
        return;
    FChild->setGeometry(0, FTop, parent->width(), std::max(0, parent->height() - FTop));
}
