#pragma once

// How many threads the current thread may keep busy, itself included. Work
// split over several threads gives each of them a share of this budget, so
// work nested inside (a batch worker encoding a PNG, say) never starts more
// threads than the outermost budget allows.
class TThreadBudget
{
  public:
    // Gives the current thread a budget of Threads (at least one) until the
    // object is destroyed; the previous budget comes back then.
    explicit TThreadBudget(int Threads);
    ~TThreadBudget();
    TThreadBudget(const TThreadBudget&) = delete;
    TThreadBudget& operator=(const TThreadBudget&) = delete;

    // The innermost budget set on this thread, or one per hardware thread
    // when none is.
    static int Current();

  private:
    int FPrevious;
};
