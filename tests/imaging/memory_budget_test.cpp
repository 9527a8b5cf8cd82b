#include "imaging/memory_budget.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

TEST(MemoryBudget, AWorkerWaitsUntilOthersGiveBackWhatItNeeds)
{
    TMemoryBudget budget(100);
    TMemoryLease first;
    first.Acquire(budget, 70);
    std::atomic<bool> acquired{false};
    std::thread second([&] {
        TMemoryLease lease;
        lease.Acquire(budget, 40);
        acquired = true;
    });
    // Not a timing of speed: only that the second worker is still waiting
    // while its bytes would pass the budget.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(acquired);
    EXPECT_EQ(budget.Held(), 70);
    first.Release();
    second.join();
    EXPECT_TRUE(acquired);
    EXPECT_EQ(budget.Held(), 0);
}

TEST(MemoryBudget, OneReservationLargerThanTheBudgetGoesWhenAlone)
{
    TMemoryBudget budget(100);
    {
        TMemoryLease large;
        large.Acquire(budget, 1000);
        EXPECT_EQ(budget.Held(), 1000);
    }
    EXPECT_EQ(budget.Held(), 0);
}
