#include "toolkit/widgets/align_controls.h"

#include "toolkit/widgets/control.h"

#include <QEvent>
#include <QVariant>
#include <QWidget>

namespace
{

class TAlignWatcher : public QObject
{
  public:
    explicit TAlignWatcher(QWidget* Parent) : QObject(Parent) { Parent->installEventFilter(this); }

  protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Event->type() == QEvent::Resize && Watched == parent())
            AlignControls(static_cast<QWidget*>(Watched));
        return false;
    }
};

TAlign AlignOf(const QObject* Child)
{
    const QVariant value = Child->property("Align");
    return value.isValid() ? static_cast<TAlign>(value.toInt()) : alNone;
}

} // namespace

void AlignControls(QWidget* Parent)
{
    if (!Parent)
        return;
    const auto* owner = qobject_cast<const TControl*>(Parent);
    QRect client = owner ? owner->ClientRect() : Parent->contentsRect();

    for (TAlign kind : {alTop, alBottom, alLeft, alRight, alClient}) {
        for (QObject* object : Parent->children()) {
            auto* child = qobject_cast<QWidget*>(object);
            if (!child || child->isWindow() || child->isHidden() || AlignOf(child) != kind)
                continue;
            QRect r;
            switch (kind) {
            case alTop:
                r = QRect(client.left(), client.top(), client.width(), child->height());
                client.setTop(client.top() + child->height());
                break;
            case alBottom:
                r = QRect(client.left(), client.bottom() + 1 - child->height(), client.width(),
                          child->height());
                client.setBottom(client.bottom() - child->height());
                break;
            case alLeft:
                r = QRect(client.left(), client.top(), child->width(), client.height());
                client.setLeft(client.left() + child->width());
                break;
            case alRight:
                r = QRect(client.right() + 1 - child->width(), client.top(), child->width(), client.height());
                client.setRight(client.right() - child->width());
                break;
            default:
                r = client;
                break;
            }
            // Sizes never go negative when the parent is smaller than its docked children.
            r.setWidth(std::max(0, r.width()));
            r.setHeight(std::max(0, r.height()));
            child->setGeometry(r);
        }
    }
}

void WatchAlignment(QWidget* Parent)
{
    if (!Parent)
        return;
    for (QObject* object : Parent->children())
        if (dynamic_cast<TAlignWatcher*>(object))
            return;
    new TAlignWatcher(Parent); // owned by Parent
}
