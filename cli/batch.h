#pragma once

#include <vector>

class TCliReporter;
struct TImageJob;

struct TBatchSummary {
    int Written = 0;
    int Failed = 0;
};

// Runs every job on Workers threads (at least one, at most one per job). Each
// job is independent: a failure is reported with its reason and the others go
// on. Progress goes to the reporter as each job ends. The parallel work inside
// each job shares the thread budget with the other workers.
TBatchSummary RunImageBatch(const std::vector<TImageJob>& Jobs, int Workers, TCliReporter& Reporter);
