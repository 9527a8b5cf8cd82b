#include "app/preview_prefetch.h"

#include "app/quick_open.h"

#include <QThread>
#include <future>
#include <optional>

namespace
{
struct TPrefetched {
    QImage Picture;
    QSize FullSize;
    QByteArray Icc;
};

struct TPrefetch {
    QString FileName;
    std::future<TPrefetched> Result;
};

// Started and ended on the main thread only.
std::optional<TPrefetch>& Pending()
{
    static std::optional<TPrefetch> pending;
    return pending;
}
} // namespace

namespace PreviewPrefetch
{
void Start(const QString& FileName, QSize Fit)
{
    // Qt takes the first thread that asks for its thread data for the main
    // thread; before the application exists that must not be the prefetch.
    QThread::currentThread();
    Drop();
    Pending() = TPrefetch{FileName, std::async(std::launch::async, [FileName, Fit] {
                              TPrefetched prefetched;
                              // A reader's failure leaves the window's own decoding to say why.
                              try {
                                  prefetched.Picture = TQuickOpen::ReducedPicture(
                                      FileName, Fit, &prefetched.FullSize, &prefetched.Icc);
                              } catch (...) {
                                  prefetched.Picture = QImage();
                              }
                              return prefetched;
                          })};
}

QImage Take(const QString& FileName, QSize Fit, QSize* FullSize, QByteArray* Icc)
{
    std::optional<TPrefetch>& pending = Pending();
    if (!pending)
        return {};
    const bool sameFile = pending->FileName == FileName;
    TPrefetched prefetched = pending->Result.get();
    pending.reset();
    if (!sameFile || prefetched.Picture.isNull() ||
        TQuickOpen::ReducedSize(prefetched.FullSize, Fit) != prefetched.Picture.size())
        return {};
    if (FullSize)
        *FullSize = prefetched.FullSize;
    if (Icc)
        *Icc = prefetched.Icc;
    return prefetched.Picture;
}

void Drop()
{
    std::optional<TPrefetch>& pending = Pending();
    if (pending && pending->Result.valid())
        pending->Result.wait();
    pending.reset();
}
} // namespace PreviewPrefetch
