#include "imaging/memory_budget.h"

void TMemoryBudget::Acquire(std::int64_t Bytes)
{
    std::unique_lock<std::mutex> lock(FLock);
    FFreed.wait(lock, [&] { return FHeld == 0 || FHeld + Bytes <= FLimit; });
    FHeld += Bytes;
}

void TMemoryBudget::Release(std::int64_t Bytes)
{
    {
        const std::lock_guard<std::mutex> lock(FLock);
        FHeld -= Bytes;
    }
    FFreed.notify_all();
}

std::int64_t TMemoryBudget::Held() const
{
    const std::lock_guard<std::mutex> lock(FLock);
    return FHeld;
}

void TMemoryLease::Acquire(TMemoryBudget& Budget, std::int64_t Bytes)
{
    Release();
    if (Bytes <= 0)
        return;
    Budget.Acquire(Bytes);
    FBudget = &Budget;
    FBytes = Bytes;
}

void TMemoryLease::Release()
{
    if (FBudget && FBytes > 0)
        FBudget->Release(FBytes);
    FBudget = nullptr;
    FBytes = 0;
}
