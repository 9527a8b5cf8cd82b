#include "imaging/thread_budget.h"

#include <algorithm>
#include <thread>

namespace
{
// Zero: no budget set on this thread yet.
thread_local int CurrentBudget = 0;
} // namespace

TThreadBudget::TThreadBudget(int Threads) : FPrevious(CurrentBudget)
{
    CurrentBudget = std::max(1, Threads);
}

TThreadBudget::~TThreadBudget()
{
    CurrentBudget = FPrevious;
}

int TThreadBudget::Current()
{
    if (CurrentBudget > 0)
        return CurrentBudget;
    static const int Hardware = int(std::max(1u, std::thread::hardware_concurrency()));
    return Hardware;
}
