#include "pictures/download_thread.h"

#include "pictures/html_picture.h"

TDownLoadThread::TDownLoadThread(THTMLPicture* Picture) : FPicture(Picture)
{
    connect(this, &QThread::finished, this, &QObject::deleteLater);
    start();
}

void TDownLoadThread::run()
{
    // Remote locations are recorded, never fetched: nothing to do.
}
