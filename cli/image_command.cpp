#include "cli/image_command.h"

#include "cli/batch.h"
#include "cli/image_options.h"
#include "cli/job_plan.h"
#include "cli/message_routing.h"
#include "cli/reporter.h"
#include "imaging/saving/temporary_files.h"

#include <QDir>
#include <csignal>
#include <cstring>
#include <thread>

int RunImageCommand(const TImageCommandOptions& Options)
{
    // A reader that closes the pipe early must give a reported write error,
    // not a silent death by signal.
    std::signal(SIGPIPE, SIG_IGN);

    TCliReporter reporter;
    SetMessageReporter(&reporter);
    if (!Options.OutputDir.isEmpty() && !QDir().mkpath(Options.OutputDir)) {
        reporter.Line(QStringLiteral("lumivex-cli: could not create the folder %1").arg(Options.OutputDir));
        return 1;
    }

    const std::vector<TImageJob> jobs = PlanImageJobs(Options);
    const int workers =
        Options.Jobs > 0 ? Options.Jobs : int(std::max(1u, std::thread::hardware_concurrency()));
    const TBatchSummary summary = RunImageBatch(jobs, workers, reporter);

    if (const int stopSignal = TerminationSignal()) {
        reporter.Line(QStringLiteral("lumivex-cli: stopped by signal %1 (%2): %3 of %4 reflections written, "
                                     "no temporary file left")
                          .arg(stopSignal)
                          .arg(QString::fromLocal8Bit(::strsignal(stopSignal)))
                          .arg(summary.Written)
                          .arg(jobs.size()));
        SetMessageReporter(nullptr);
        return 128 + stopSignal;
    }

    if (jobs.size() > 1 || summary.Failed > 0)
        reporter.Line(
            summary.Failed == 0
                ? QStringLiteral("%1 of %2 reflections written").arg(summary.Written).arg(jobs.size())
                : QStringLiteral("%1 of %2 reflections written, %3 failed")
                      .arg(summary.Written)
                      .arg(jobs.size())
                      .arg(summary.Failed));
    SetMessageReporter(nullptr);
    return summary.Failed == 0 ? 0 : 1;
}
