#include "imaging/reflection/parallel_rows.h"

#include <algorithm>
#include <thread>
#include <vector>

namespace
{
// Below this many pixels a thread start costs more than it saves.
constexpr long long MinPixelsForThreads = 1 << 20;
} // namespace

void ForEachRowBand(int Rows, long long PixelsPerRow, const std::function<void(int Begin, int End)>& Work)
{
    if (Rows <= 0)
        return;
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const long long pixels = static_cast<long long>(Rows) * std::max(1LL, PixelsPerRow);
    const int bands = pixels < MinPixelsForThreads ? 1 : static_cast<int>(std::min<long long>(cores, Rows));
    if (bands <= 1) {
        Work(0, Rows);
        return;
    }
    std::vector<std::thread> threads;
    threads.reserve(bands - 1);
    const int perBand = (Rows + bands - 1) / bands;
    for (int band = 1; band < bands; ++band) {
        const int begin = band * perBand;
        const int end = std::min(Rows, begin + perBand);
        if (begin < end)
            threads.emplace_back([&Work, begin, end] { Work(begin, end); });
    }
    Work(0, std::min(Rows, perBand));
    for (std::thread& thread : threads)
        thread.join();
}
