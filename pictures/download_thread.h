#pragma once

#include <QPointer>
#include <QThread>

class THTMLPicture;

// The worker a picture starts for a remote location. Fetching is not done
// here: the body returns at once and the thread deletes itself when it has
// finished. It keeps a guarded reference to its picture and never touches it.
class TDownLoadThread : public QThread
{
    Q_OBJECT
  public:
    // Starts running at once; the object deletes itself once finished (on
    // the thread that created it, through its event loop).
    explicit TDownLoadThread(THTMLPicture* Picture);

    THTMLPicture* Picture() const { return FPicture; }

  protected:
    void run() override;

  private:
    QPointer<THTMLPicture> FPicture;
};
