#pragma once

#include <functional>

// Runs work on several threads within the current thread's budget (see
// TThreadBudget): never more threads than the budget, the calling thread
// being one of them, and each thread runs with its share of the budget so
// that parallel work nested inside stays within it as well. Threads are
// started per call; when the system refuses one, the work goes on with the
// threads it has. The first exception thrown by the work stops the run and
// is rethrown to the caller once every thread has finished.
class TParallelWork
{
  public:
    // MaxThreads limits the threads further; zero leaves only the budget.
    explicit TParallelWork(int MaxThreads = 0);

    // The threads a run of Count tasks uses (at least one).
    int ThreadsFor(long long Count) const;

    // Calls Body(Index, Worker) once for each Index in [0, Count). Indices go
    // out in increasing order to whichever thread is free; Worker, from 0 (the
    // caller) to ThreadsFor(Count) - 1, names the thread so that it can keep
    // buffers of its own.
    void ForEach(int Count, const std::function<void(int Index, int Worker)>& Body) const;

    // Splits [0, Count) into contiguous bands, one per thread, and calls
    // Body(Begin, End) for each; all inline when Count * CostPerItem is too
    // small to pay for starting threads.
    void ForEachBand(int Count, long long CostPerItem,
                     const std::function<void(int Begin, int End)>& Body) const;

    // A pipeline: Produce(Index, Worker) runs on the threads (the caller
    // helping while it waits), at most Window indices ahead of Consume, which
    // the caller runs for each index in increasing order. Stops, returning
    // false, when Consume returns false; true once every index is consumed.
    bool ForEachInOrder(int Count, int Window, const std::function<void(int Index, int Worker)>& Produce,
                        const std::function<bool(int Index)>& Consume) const;

  private:
    int FMaxThreads;
};
