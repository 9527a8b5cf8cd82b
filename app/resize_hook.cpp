#include "app/resize_hook.h"

#include <QEvent>
#include <QWidget>

TResizeHook::TResizeHook(QWidget* Watched, std::function<void()> Action)
    : QObject(Watched), FAction(std::move(Action))
{
    Watched->installEventFilter(this);
    FAction();
}

bool TResizeHook::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == parent() && Event->type() == QEvent::Resize)
        FAction();
    return QObject::eventFilter(Watched, Event);
}
