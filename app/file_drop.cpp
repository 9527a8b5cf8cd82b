#include "app/file_drop.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

TOfferedPicture PictureOffered(const QMimeData* Data)
{
    TOfferedPicture offered;
    if (!Data)
        return offered;
    for (const QUrl& url : Data->urls())
        if (url.isLocalFile()) {
            offered.FileName = url.toLocalFile();
            return offered;
        }
    if (Data->hasImage())
        offered.Image = qvariant_cast<QImage>(Data->imageData());
    // What this window's own copy offers: PNG bytes only.
    else if (Data->hasFormat(QStringLiteral("image/png")))
        offered.Image = QImage::fromData(Data->data(QStringLiteral("image/png")), "PNG");
    return offered;
}

TFileDrop::TFileDrop(QWidget* Window) : QObject(Window)
{
    Window->setAcceptDrops(true);
    Window->installEventFilter(this);
}

bool TFileDrop::eventFilter(QObject* Watched, QEvent* Event)
{
    switch (Event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(Event);
        const QMimeData* data = drag->mimeData();
        const bool offers = data && ((data->hasUrls() && !PictureOffered(data).FileName.isEmpty()) ||
                                     data->hasImage() || data->hasFormat(QStringLiteral("image/png")));
        if (offers)
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(Event);
        const TOfferedPicture offered = PictureOffered(drop->mimeData());
        if (offered.IsEmpty()) {
            drop->ignore();
            return true;
        }
        drop->acceptProposedAction();
        if (OnDrop)
            OnDrop(offered);
        return true;
    }
    default:
        return QObject::eventFilter(Watched, Event);
    }
}
