#pragma once

#include <atomic>

// How far a save running on another thread has got, and a way to stop it.
// The window starts a save, shares one of these with it and polls it; the
// encoders report into it and give up at their next step once it is
// cancelled. Every member may be used from any thread.
class TSaveProgress
{
  public:
    void Cancel() { FCancelled.store(true, std::memory_order_relaxed); }
    bool Cancelled() const { return FCancelled.load(std::memory_order_relaxed); }

    // Done is the part written, 0..1; a report never moves it back.
    void Report(double Done);
    // The part written so far; 0 while an encoder that cannot tell is working.
    double Done() const { return FPermille.load(std::memory_order_relaxed) / 1000.0; }

  private:
    std::atomic<bool> FCancelled{false};
    std::atomic<int> FPermille{0};
};

// The progress the saves on this thread report into while an object of this
// class lives. The encoders look it up where they start, so that the save
// functions keep their signatures; the bands they compress on other threads
// report through what they captured there.
class TSaveProgressScope
{
  public:
    explicit TSaveProgressScope(TSaveProgress* Progress);
    ~TSaveProgressScope();
    TSaveProgressScope(const TSaveProgressScope&) = delete;
    TSaveProgressScope& operator=(const TSaveProgressScope&) = delete;

  private:
    TSaveProgress* FPrevious;
};

// The progress of the save running on this thread; null outside any scope.
TSaveProgress* CurrentSaveProgress();
