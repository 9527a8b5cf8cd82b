#include "imaging/parallel_work.h"

#include "imaging/thread_budget.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace
{

// Below this much work (pixels, in practice) a thread start costs more than
// it saves.
constexpr long long MinCostForThreads = 1 << 20;

// The first exception of any thread, kept for the caller.
class TFirstError
{
  public:
    void Keep(std::exception_ptr Error)
    {
        std::lock_guard Lock(FMutex);
        if (!FError)
            FError = std::move(Error);
        FFailed = true;
    }
    bool Failed() const { return FFailed; }
    void RethrowIfAny() const
    {
        if (FError)
            std::rethrow_exception(FError);
    }

  private:
    std::mutex FMutex;
    std::exception_ptr FError;
    std::atomic<bool> FFailed{false};
};

// Runs Body(Worker) on the caller (worker 0) and Threads - 1 new threads,
// each under its share of the caller's budget; the shares add up to the
// budget, which is what keeps nested work within it.
void RunOnThreads(int Threads, TFirstError& Errors, const std::function<void(int Worker)>& Body)
{
    const int budget = std::max(TThreadBudget::Current(), Threads);
    auto share = [&](int Worker) { return budget / Threads + (Worker < budget % Threads ? 1 : 0); };
    auto guarded = [&](int Worker) {
        const TThreadBudget scope(share(Worker));
        try {
            Body(Worker);
        } catch (...) {
            Errors.Keep(std::current_exception());
        }
    };
    std::vector<std::thread> threads;
    threads.reserve(std::size_t(Threads - 1));
    for (int worker = 1; worker < Threads; ++worker) {
        try {
            threads.emplace_back(guarded, worker);
        } catch (const std::system_error&) {
            break; // the threads already running (and the caller) do the rest
        }
    }
    guarded(0);
    for (std::thread& thread : threads)
        thread.join();
}

} // namespace

TParallelWork::TParallelWork(int MaxThreads) : FMaxThreads(std::max(0, MaxThreads)) {}

int TParallelWork::ThreadsFor(long long Count) const
{
    long long threads = TThreadBudget::Current();
    if (FMaxThreads > 0)
        threads = std::min<long long>(threads, FMaxThreads);
    return int(std::clamp<long long>(std::min(threads, Count), 1, threads));
}

void TParallelWork::ForEach(int Count, const std::function<void(int Index, int Worker)>& Body) const
{
    if (Count <= 0)
        return;
    const int threads = ThreadsFor(Count);
    if (threads == 1) {
        for (int index = 0; index < Count; ++index)
            Body(index, 0);
        return;
    }
    // Each thread takes one index past the end before it stops: 64 bits keep
    // that from overflowing whatever Count is.
    std::atomic<long long> next{0};
    TFirstError errors;
    RunOnThreads(threads, errors, [&](int Worker) {
        for (long long index = next++; index < Count && !errors.Failed(); index = next++)
            Body(int(index), Worker);
    });
    errors.RethrowIfAny();
}

void TParallelWork::ForEachBand(int Count, long long CostPerItem,
                                const std::function<void(int Begin, int End)>& Body) const
{
    if (Count <= 0)
        return;
    const long long cost = static_cast<long long>(Count) * std::max(1LL, CostPerItem);
    const int bands = cost < MinCostForThreads ? 1 : ThreadsFor(Count);
    const int perBand = (Count + bands - 1) / bands;
    ForEach(bands, [&](int Band, int) {
        const int begin = Band * perBand;
        const int end = std::min(Count, begin + perBand);
        if (begin < end)
            Body(begin, end);
    });
}

bool TParallelWork::ForEachInOrder(int Count, int Window,
                                   const std::function<void(int Index, int Worker)>& Produce,
                                   const std::function<bool(int Index)>& Consume) const
{
    if (Count <= 0)
        return true;
    const int window = std::max(1, Window);
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<char> produced(std::size_t(Count), 0);
    int next = 0;     // the next index to produce
    int consumed = 0; // indices below this are consumed
    bool stop = false;
    bool complete = false;
    TFirstError errors;

    // Produces the next index when the window allows; false when it does not.
    // Called with the lock held, which it releases while producing.
    auto produceOne = [&](std::unique_lock<std::mutex>& Lock, int Worker) {
        if (stop || next >= Count || next >= consumed + window)
            return false;
        const int index = next++;
        Lock.unlock();
        try {
            Produce(index, Worker);
        } catch (...) {
            errors.Keep(std::current_exception());
            Lock.lock();
            stop = true;
            changed.notify_all();
            return true;
        }
        Lock.lock();
        produced[std::size_t(index)] = 1;
        changed.notify_all();
        return true;
    };

    RunOnThreads(ThreadsFor(Count), errors, [&](int Worker) {
        std::unique_lock lock(mutex);
        if (Worker != 0) {
            // Stay a few indices ahead of the consumer at most, so that a slow
            // consumer does not make the produced results pile up.
            while (!stop && next < Count) {
                if (!produceOne(lock, Worker))
                    changed.wait(lock);
            }
            return;
        }
        for (int index = 0; index < Count; ++index) {
            while (!stop && !produced[std::size_t(index)]) {
                if (!produceOne(lock, Worker))
                    changed.wait(lock);
            }
            if (stop)
                return;
            lock.unlock();
            bool goOn = false;
            try {
                goOn = Consume(index);
            } catch (...) {
                lock.lock();
                stop = true;
                changed.notify_all();
                throw;
            }
            lock.lock();
            consumed = index + 1;
            // A producer may have failed while Consume ran: its stop stands,
            // or the index it took would be waited for for ever.
            stop = stop || !goOn;
            changed.notify_all();
            // Refused on the last index too: the run is not complete.
            if (stop)
                return;
        }
        complete = true;
        stop = true;
        changed.notify_all();
    });
    errors.RethrowIfAny();
    return complete;
}
