#include "imaging/codecs/image_row_feed.h"

#include "imaging/saving/save_progress.h"

#include <QImage>
#include <cstring>

TImageRowFeed ImageRowFeed(const QImage& Rows)
{
    TSaveProgress* progress = CurrentSaveProgress();
    return [&Rows, progress](int First, int Count, std::uint32_t* Out, std::size_t Stride) {
        if (progress && progress->Cancelled())
            return false;
        for (int y = 0; y < Count; ++y)
            std::memcpy(Out + std::size_t(y) * Stride, Rows.constScanLine(First + y),
                        std::size_t(Rows.width()) * 4);
        if (progress)
            progress->Report(double(First + Count) / Rows.height());
        return true;
    };
}

bool SaveOnThisThreadCancelled()
{
    const TSaveProgress* progress = CurrentSaveProgress();
    return progress && progress->Cancelled();
}
