#pragma once

#include <QSize>
#include <condition_variable>
#include <cstdint>
#include <mutex>

// Memory that workers running at once may hold together. A worker reserves
// what it is about to allocate and waits while the others hold too much; a
// reservation larger than the whole budget still goes when it is the only
// one, so no single picture is refused for the budget alone.
class TMemoryBudget
{
  public:
    explicit TMemoryBudget(std::int64_t Limit) : FLimit(Limit) {}

    void Acquire(std::int64_t Bytes);
    void Release(std::int64_t Bytes);
    std::int64_t Held() const;

  private:
    const std::int64_t FLimit;
    std::int64_t FHeld = 0;
    mutable std::mutex FLock;
    std::condition_variable FFreed;
};

// A reservation held until the object is destroyed or released.
class TMemoryLease
{
  public:
    TMemoryLease() = default;
    ~TMemoryLease() { Release(); }
    TMemoryLease(const TMemoryLease&) = delete;
    TMemoryLease& operator=(const TMemoryLease&) = delete;

    // Releases what is held, then waits for Bytes in Budget.
    void Acquire(TMemoryBudget& Budget, std::int64_t Bytes);
    void Release();
    std::int64_t Bytes() const { return FBytes; }

  private:
    TMemoryBudget* FBudget = nullptr;
    std::int64_t FBytes = 0;
};

// Bytes of a decoded picture of Size in the 32-bit form every decode gives.
inline std::int64_t DecodedPictureBytes(const QSize& Size)
{
    return Size.isValid() ? std::int64_t(Size.width()) * Size.height() * 4 : 0;
}
