#include "cli/batch.h"

#include "cli/image_job.h"
#include "cli/job_plan.h"
#include "cli/message_routing.h"
#include "cli/reporter.h"
#include "imaging/parallel_work.h"
#include "imaging/thread_budget.h"

#include <algorithm>
#include <atomic>
#include <exception>

namespace
{
TImageJobResult RunGuarded(const TImageJob& Job)
{
    // A worker thread must not let an exception escape (that would end the
    // program and lose the other files); bad_alloc is the likely one.
    try {
        return RunImageJob(Job);
    } catch (const std::bad_alloc&) {
        return TImageJobResult{false, QStringLiteral("out of memory"), {}, {}};
    } catch (const std::exception& error) {
        return TImageJobResult{false, QString::fromLocal8Bit(error.what()), {}, {}};
    }
}
} // namespace

TBatchSummary RunImageBatch(const std::vector<TImageJob>& Jobs, int Workers, TCliReporter& Reporter)
{
    const int total = int(Jobs.size());
    std::atomic<int> finished{0};
    std::atomic<int> written{0};
    std::atomic<int> failed{0};

    // The workers share the cores: each one's own parallel work (reflection
    // rows, PNG bands) gets its part of them, a single thread once there are
    // as many workers as cores. More workers than cores, when asked for, all
    // run.
    const int threads = std::clamp(Workers, 1, std::max(1, total));
    const TThreadBudget budget(std::max(threads, TThreadBudget::Current()));
    TParallelWork(threads).ForEach(total, [&](int index, int) {
        const TImageJob& job = Jobs[std::size_t(index)];
        const TMessageSubject subject(job.Input == QLatin1String("-") ? QStringLiteral("standard input")
                                                                      : job.Input);
        const TImageJobResult result = RunGuarded(job);
        if (result.Written) {
            ++written;
            if (!result.Road.isEmpty())
                Reporter.Failure(job.Input, result.Road);
            if (!result.Warning.isEmpty())
                Reporter.Failure(job.Input, result.Warning);
        } else {
            ++failed;
            Reporter.Failure(job.Input, result.Reason);
        }
        Reporter.Progress(++finished, total, job.Input);
    });
    return TBatchSummary{written.load(), failed.load()};
}
