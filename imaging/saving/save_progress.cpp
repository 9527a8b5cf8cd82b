#include "imaging/saving/save_progress.h"

#include <algorithm>
#include <cmath>

namespace
{
thread_local TSaveProgress* Current = nullptr;
} // namespace

void TSaveProgress::Report(double Done)
{
    const int permille = int(std::lround(std::clamp(Done, 0.0, 1.0) * 1000));
    int seen = FPermille.load(std::memory_order_relaxed);
    while (permille > seen && !FPermille.compare_exchange_weak(seen, permille, std::memory_order_relaxed)) {
    }
}

TSaveProgressScope::TSaveProgressScope(TSaveProgress* Progress) : FPrevious(Current)
{
    Current = Progress;
}

TSaveProgressScope::~TSaveProgressScope()
{
    Current = FPrevious;
}

TSaveProgress* CurrentSaveProgress()
{
    return Current;
}
