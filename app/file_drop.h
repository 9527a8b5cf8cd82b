#pragma once

#include <QImage>
#include <QObject>
#include <QString>
#include <functional>

class QMimeData;
class QWidget;

// What a drag or the clipboard offers that the window can open: a local
// file, or else image data.
struct TOfferedPicture {
    QString FileName;
    QImage Image;
    bool IsEmpty() const { return FileName.isEmpty() && Image.isNull(); }
};

// The first local file among Data's addresses, or else its image; empty
// when it carries neither.
TOfferedPicture PictureOffered(const QMimeData* Data);

// Lets a window accept dropped image files and image data: drags offering
// neither are refused, so the pointer shows that nothing would happen.
class TFileDrop : public QObject
{
    Q_OBJECT
  public:
    explicit TFileDrop(QWidget* Window);

    std::function<void(const TOfferedPicture& Offered)> OnDrop;

  protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;
};
