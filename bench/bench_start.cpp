// One label from a fresh home, as a calling program that runs the batch once
// a label pays for it: the program started, one record printed on the
// built-in printer into a data folder made for it, the process ended. Against
// it, the floor no label can beat: a bare Qt program that loads the same Qt
// libraries, starts an offscreen application and exits (bench_bare_qt). The
// two are run in turns, each run in a home of its own; the medians and their
// ratio are printed. Target: at most 1.2.
//
//   bench_start [runs]     (31)

#include "BatchRuns.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 31;
    QTemporaryDir homes;
    if (!homes.isValid()) {
        std::fprintf(stderr, "bench_start: cannot make a folder for the homes\n");
        return 1;
    }
    const QString bare = QCoreApplication::applicationDirPath() + QStringLiteral("/bench_bare_qt");
    std::vector<double> label, floor;
    bool ok = true;
    for (int i = 0; i < runs; ++i) {
        const QString home = homes.filePath(QString::number(i));
        BatchRuns::makeHome(home, 1);
        const BatchRuns::Run printed = BatchRuns::runBatch(home, QStringLiteral("XLIST"));
        const BatchRuns::Run started = BatchRuns::run(bare, {}, home);
        ok = ok && printed.ok && started.ok && BatchRuns::pdfsIn(home) == 1;
        label.push_back(printed.seconds);
        floor.push_back(started.seconds);
    }
    const double labelSeconds = BatchRuns::median(label), floorSeconds = BatchRuns::median(floor);
    std::printf("One label from a fresh home, median of %d runs in turns with the floor:\n", runs);
    std::printf("  one label:        %.1f ms\n", labelSeconds * 1000);
    std::printf("  bare Qt program:  %.1f ms (loads the same Qt libraries, starts offscreen, exits)\n",
                floorSeconds * 1000);
    std::printf("  label / bare: %.2f (target <= 1.2)\n", labelSeconds / floorSeconds);
    if (!ok)
        std::printf("A run failed or printed no label.\n");
    return ok ? 0 : 1;
}
