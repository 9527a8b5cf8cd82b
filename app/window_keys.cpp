#include "app/window_keys.h"

#include <QKeySequence>
#include <QShortcut>
#include <QWidget>

namespace
{
void Bind(QWidget* Window, const QKeySequence& Keys, const std::function<void()>& Action)
{
    if (!Action)
        return;
    auto* shortcut = new QShortcut(Keys, Window);
    // Window-wide, so the keys work whichever control has the focus; a text
    // field's own Ctrl+C/Ctrl+V still wins while it has the focus.
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, Window, Action);
}
} // namespace

void InstallWindowKeys(QWidget* Window, const TWindowKeyActions& Actions)
{
    Bind(Window, QKeySequence::Open, Actions.Open);
    Bind(Window, QKeySequence::Save, Actions.Save);
    Bind(Window, QKeySequence(Qt::CTRL | Qt::Key_Q), Actions.Quit);
    Bind(Window, QKeySequence::Copy, Actions.Copy);
    Bind(Window, QKeySequence::Paste, Actions.Paste);
    Bind(Window, QKeySequence(Qt::Key_F), Actions.ToggleFit);
    Bind(Window, QKeySequence(Qt::CTRL | Qt::Key_1), Actions.ActualSize);
    Bind(Window, QKeySequence(Qt::CTRL | Qt::Key_0), Actions.FitToPage);
    Bind(Window, QKeySequence(Qt::Key_Escape), Actions.Cancel);
    Bind(Window, QKeySequence(Qt::CTRL | Qt::Key_Z), Actions.Undo);
    Bind(Window, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), Actions.Redo);
    Bind(Window, QKeySequence(Qt::CTRL | Qt::Key_Y), Actions.Redo);
}
