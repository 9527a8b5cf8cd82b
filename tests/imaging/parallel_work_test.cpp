// Work on several threads: the thread budget holds however the work nests,
// every index runs once, a pipeline consumes in order, and faults reach the
// caller.
#include "imaging/parallel_work.h"
#include "imaging/thread_budget.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

namespace
{

// Counts the tasks running at once. Each task lingers a while (less when one
// task too many has shown up), so every thread that runs tasks shows in the
// peak, the ones beyond the budget included.
class TConcurrency
{
  public:
    explicit TConcurrency(int Allowed) : FAllowed(Allowed) {}

    void Task()
    {
        const int now = ++FRunning;
        int peak = FPeak.load();
        while (now > peak && !FPeak.compare_exchange_weak(peak, now)) {
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(15);
        while (FPeak.load() <= FAllowed && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        --FRunning;
    }
    int Peak() const { return FPeak.load(); }

  private:
    const int FAllowed;
    std::atomic<int> FRunning{0};
    std::atomic<int> FPeak{0};
};

enum class TOuter { ForEach, InOrder };

struct TNesting {
    const char* Name;
    int Budget;
    int OuterThreads; // the outer work's own limit (0: none)
    TOuter Outer;
    int InnerThreads; // the inner work's own limit (0: none)
    int ExpectedPeak;
};

class ParallelWorkNesting : public ::testing::TestWithParam<TNesting>
{
};

TEST_P(ParallelWorkNesting, NeverRunsMoreTasksAtOnceThanTheBudget)
{
    const TNesting Case = GetParam();
    const TThreadBudget budget(Case.Budget);
    TConcurrency counter(Case.ExpectedPeak);
    auto inner = [&](int, int) {
        TParallelWork(Case.InnerThreads).ForEach(6, [&](int, int) { counter.Task(); });
    };
    const TParallelWork outer(Case.OuterThreads);
    if (Case.Outer == TOuter::ForEach)
        outer.ForEach(8, inner);
    else
        outer.ForEachInOrder(8, 8, inner, [](int) { return true; });
    EXPECT_EQ(counter.Peak(), Case.ExpectedPeak);
}

INSTANTIATE_TEST_SUITE_P(
    Budgets, ParallelWorkNesting,
    ::testing::Values(TNesting{"WholeBudgetInside", 4, 1, TOuter::ForEach, 0, 4},
                      TNesting{"TwoOuterShareFour", 4, 2, TOuter::ForEach, 0, 4},
                      TNesting{"UnevenShares", 3, 2, TOuter::ForEach, 0, 3},
                      TNesting{"OneThreadEachWhenOuterTakesAll", 4, 0, TOuter::ForEach, 0, 4},
                      TNesting{"InnerAsksForMoreThanItsShare", 4, 2, TOuter::ForEach, 16, 4},
                      TNesting{"InnerLimitBelowShare", 4, 2, TOuter::ForEach, 1, 2},
                      TNesting{"BudgetOfOne", 1, 4, TOuter::ForEach, 4, 1},
                      TNesting{"PipelineOutside", 4, 2, TOuter::InOrder, 0, 4},
                      TNesting{"PipelineTakesAll", 3, 0, TOuter::InOrder, 0, 3}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(ParallelWork, RunsEveryIndexOnceOnNamedWorkers)
{
    struct Case {
        int Budget, Count;
    } cases[] = {{1, 5}, {4, 0}, {4, 1}, {4, 3}, {3, 1000}, {8, 77}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "budget " << c.Budget << ", count " << c.Count);
        const TThreadBudget budget(c.Budget);
        const TParallelWork work;
        const int threads = work.ThreadsFor(c.Count);
        EXPECT_EQ(threads, std::clamp(c.Count, 1, c.Budget));
        std::vector<std::atomic<int>> runs(std::size_t(c.Count));
        std::atomic<int> badWorker{0};
        work.ForEach(c.Count, [&](int Index, int Worker) {
            ++runs[std::size_t(Index)];
            if (Worker < 0 || Worker >= threads)
                ++badWorker;
        });
        for (int i = 0; i < c.Count; ++i)
            EXPECT_EQ(runs[std::size_t(i)].load(), 1) << "index " << i;
        EXPECT_EQ(badWorker.load(), 0);
    }
}

TEST(ParallelWork, BandsCoverTheRangeWithoutOverlap)
{
    struct Case {
        int Count;
        long long Cost;
    } cases[] = {{1, 1}, {7, 1 << 20}, {1000, 1 << 12}, {5, 1}, {4097, 4096}};
    const TThreadBudget budget(3);
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "count " << c.Count);
        std::vector<std::atomic<int>> covered(std::size_t(c.Count));
        TParallelWork().ForEachBand(c.Count, c.Cost, [&](int Begin, int End) {
            EXPECT_LT(Begin, End);
            for (int i = Begin; i < End; ++i)
                ++covered[std::size_t(i)];
        });
        for (int i = 0; i < c.Count; ++i)
            EXPECT_EQ(covered[std::size_t(i)].load(), 1) << "index " << i;
    }
}

TEST(ParallelWork, PipelineConsumesInOrderWithinItsWindow)
{
    struct Case {
        int Budget, Count, Window, StopAt; // StopAt -1: consume everything
    } cases[] = {{4, 40, 3, -1}, {1, 10, 1, -1}, {3, 25, 1, -1}, {4, 30, 6, 12}, {2, 5, 2, 0}, {2, 5, 2, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "budget " << c.Budget << ", window " << c.Window);
        const TThreadBudget budget(c.Budget);
        std::mutex mutex;
        std::vector<int> order;
        std::atomic<int> consumedCount{0};
        std::atomic<int> aheadTooFar{0};
        const bool complete = TParallelWork().ForEachInOrder(
            c.Count, c.Window,
            [&](int Index, int) {
                if (Index >= consumedCount.load() + c.Window)
                    ++aheadTooFar;
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            },
            [&](int Index) {
                {
                    std::lock_guard lock(mutex);
                    order.push_back(Index);
                }
                consumedCount = Index + 1;
                return Index != c.StopAt;
            });
        const int expectedCount = c.StopAt < 0 ? c.Count : c.StopAt + 1;
        EXPECT_EQ(complete, c.StopAt < 0);
        ASSERT_EQ(int(order.size()), expectedCount);
        for (int i = 0; i < expectedCount; ++i)
            EXPECT_EQ(order[std::size_t(i)], i);
        EXPECT_EQ(aheadTooFar.load(), 0);
    }
}

TEST(ParallelWork, FirstFaultReachesTheCallerAndStopsTheRest)
{
    enum class TWhere { ForEach, Produce, Consume };
    const TWhere places[] = {TWhere::ForEach, TWhere::Produce, TWhere::Consume};
    for (const TWhere where : places) {
        SCOPED_TRACE(int(where));
        const TThreadBudget budget(4);
        std::atomic<int> started{0};
        std::atomic<bool> consuming{false};
        auto run = [&] {
            const TParallelWork work;
            if (where == TWhere::ForEach) {
                work.ForEach(10000, [&](int Index, int) {
                    ++started;
                    if (Index == 3)
                        throw std::runtime_error("band 3");
                    std::this_thread::sleep_for(std::chrono::microseconds(50));
                });
                return;
            }
            work.ForEachInOrder(
                10000, 4,
                [&](int Index, int) {
                    ++started;
                    if (where == TWhere::Produce && Index == 3) {
                        // Fails while the consumer is busy, which must not
                        // make the failure forgotten.
                        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
                        while (!consuming && std::chrono::steady_clock::now() < deadline)
                            std::this_thread::sleep_for(std::chrono::milliseconds(1));
                        throw std::runtime_error("band 3");
                    }
                    std::this_thread::sleep_for(std::chrono::microseconds(50));
                },
                [&](int Index) {
                    if (where == TWhere::Consume && Index == 3)
                        throw std::runtime_error("band 3");
                    if (where == TWhere::Produce && Index == 0) {
                        consuming = true;
                        std::this_thread::sleep_for(std::chrono::milliseconds(30));
                    }
                    return true;
                });
        };
        EXPECT_THROW(run(), std::runtime_error);
        EXPECT_LT(started.load(), 10000);
    }
}

} // namespace
