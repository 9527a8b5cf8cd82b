// How soon "lumivex FILE" shows FILE, timed as a user waits for it: from just
// before the process is started to the first paint of the opened picture,
// which the program reports before it quits when LUMIVEX_REPORT_FIRST_PAINT
// is set (app/first_paint_report.h). Loading the program and its libraries,
// the window's creation, the decoding and the paint are all inside. A
// 24-megapixel JPEG against a 0.24-megapixel one, taken in turns so that a
// change of load meets both, RUNS times each after one run of each that is
// not counted; then the medians, their ratio and the load average.
//
//   bench_first_paint_process [RUNS] [PROGRAM]
//
// Run it under xvfb-run for the window system a user has; without a display
// the program runs on Qt's off-screen platform.

#include "bench/support/window_bench.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace
{
struct TRun {
    bool Ok = false;
    double Total = 0;     // ms from the start of the process to the paint
    double SinceMain = 0; // ms from main to the paint, as the program saw it
};

long long WallNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

TRun RunOnce(const QString& Program, const QString& File)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LUMIVEX_REPORT_FIRST_PAINT"), QStringLiteral("1"));
    if (!environment.contains(QStringLiteral("DISPLAY")) &&
        !environment.contains(QStringLiteral("WAYLAND_DISPLAY")) &&
        !environment.contains(QStringLiteral("QT_QPA_PLATFORM")))
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    const long long started = WallNanoseconds();
    process.start(Program, {File});
    TRun run;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    // "first paint: <wall clock ns> <ms since main>"
    for (const QByteArray& line : process.readAllStandardOutput().split('\n')) {
        if (!line.startsWith("first paint: "))
            continue;
        const QList<QByteArray> fields = line.mid(13).split(' ');
        if (fields.size() != 2)
            break;
        run.Total = double(fields[0].toLongLong() - started) / 1e6;
        run.SinceMain = fields[1].toDouble(&run.Ok);
    }
    return run;
}

double Median(std::vector<double> Values)
{
    if (Values.empty())
        return 0;
    std::sort(Values.begin(), Values.end());
    const std::size_t middle = Values.size() / 2;
    return Values.size() % 2 ? Values[middle] : (Values[middle - 1] + Values[middle]) / 2;
}

QByteArray LoadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return "unknown";
    return file.readAll().split(' ').mid(0, 3).join(' ');
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const int runs = arguments.size() > 1 ? std::max(1, arguments[1].toInt()) : 9;
    const QString program = arguments.size() > 2 ? arguments[2] : QStringLiteral(LUMIVEX_WINDOW_PROGRAM);
    QTemporaryDir folder;
    const QString files[2] = {MakeBenchPhoto(folder, 600, 400), MakeBenchPhoto(folder, 6000, 4000)};
    const char* names[2] = {"0.24 MP JPEG (600 x 400)", "24 MP JPEG (6000 x 4000)"};

    std::printf("load average before: %s\n", LoadAverage().constData());
    std::vector<double> totals[2], sinceMain[2];
    for (int round = 0; round <= runs; ++round)
        for (int which = 0; which < 2; ++which) {
            const TRun run = RunOnce(program, files[which]);
            if (!run.Ok) {
                std::fprintf(stderr, "%s: no first paint reported by %s\n", names[which],
                             qPrintable(program));
                return 1;
            }
            // The first round only brings the program and the files into
            // memory.
            if (round == 0)
                continue;
            totals[which].push_back(run.Total);
            sinceMain[which].push_back(run.SinceMain);
        }
    for (int which = 0; which < 2; ++which)
        std::printf("%-26s median %6.1f ms from process start (min %6.1f, max %6.1f), %6.1f ms from main\n",
                    names[which], Median(totals[which]),
                    *std::min_element(totals[which].begin(), totals[which].end()),
                    *std::max_element(totals[which].begin(), totals[which].end()), Median(sinceMain[which]));
    std::printf("24 MP / 0.24 MP: %.2f (medians, %d runs each)\n", Median(totals[1]) / Median(totals[0]),
                runs);
    std::printf("load average after: %s\n", LoadAverage().constData());
    return 0;
}
