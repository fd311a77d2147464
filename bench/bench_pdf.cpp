// The built-in PDF printer in batch mode, run as the calling program runs it:
//
// 1. A label file of `records` records printed with the data folder on the
//    disk and on tmpfs, three runs each, taken in turns, each into a folder
//    of its own: the median time, labels per second and peak memory of each, and
//    the ratio of the two times. Targets: on the disk at least 1,000 labels
//    per second and within 1.4 times the tmpfs time; under 40 MB.
// 2. One label into a printed/ folder of 100,000 files against one into an
//    empty folder, on the disk, three runs each after a first one (which
//    reads a folder whose files were put there by hand). Target: within 1.2
//    times the empty folder's time, under 40 MB.
//
//   bench_pdf [records] [XLIST|BINS]     (1000 BINS; 10000 XLIST should take at most 10 times 1000)
//
// The disk folder is made beside this program (TAGFOUNDRY_BENCH_DISK to choose
// another), the tmpfs one in /dev/shm (TAGFOUNDRY_BENCH_TMPFS); each is named
// with its file system as the system reports it.

#include "BatchRuns.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include <fcntl.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace {

using BatchRuns::makeHome;
using BatchRuns::median;
using BatchRuns::pdfsIn;
using BatchRuns::Run;
using BatchRuns::runBatch;

QString fileSystem(const QString &folder)
{
    struct statfs info {};
    if (::statfs(QFile::encodeName(folder).constData(), &info) != 0)
        return QStringLiteral("unknown");
    switch (static_cast<unsigned long>(info.f_type)) {
    case 0xEF53:
        return QStringLiteral("ext4");
    case 0x01021994:
        return QStringLiteral("tmpfs");
    case 0x58465342:
        return QStringLiteral("xfs");
    case 0x9123683E:
        return QStringLiteral("btrfs");
    default:
        return QStringLiteral("type 0x%1").arg(qulonglong(info.f_type), 0, 16);
    }
}

// `count` numbered files put in the home's printed/ folder by hand.
void fillPrinted(const QString &home, int count)
{
    const QString folder = home + "/TagFoundry/printed/";
    QDir().mkpath(folder);
    for (int i = 1; i <= count; ++i) {
        const QByteArray name = QFile::encodeName(
            folder + QStringLiteral("%1 TagFoundry BINS OLD-%2.pdf").arg(i, 8, 10, QLatin1Char('0')).arg(i));
        ::close(::open(name.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
    }
}

struct Figures {
    double seconds, peakMB;
};

// Three runs of each folder in turns; the medians.
std::pair<Figures, Figures> inTurns(const std::function<Run(int which)> &run, bool *ok)
{
    std::vector<double> seconds[2], peaks[2];
    for (int round = 0; round < 3; ++round) {
        for (int which = 0; which < 2; ++which) {
            const Run result = run(which);
            *ok = *ok && result.ok;
            seconds[which].push_back(result.seconds);
            peaks[which].push_back(result.peakMB);
        }
    }
    return {{median(seconds[0]), *std::max_element(peaks[0].begin(), peaks[0].end())},
            {median(seconds[1]), *std::max_element(peaks[1].begin(), peaks[1].end())}};
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int records = argc > 1 ? std::atoi(argv[1]) : 1000;
    const QString word = argc > 2 ? QString::fromLatin1(argv[2]) : QStringLiteral("BINS");
    const QString diskBase = qEnvironmentVariable("TAGFOUNDRY_BENCH_DISK", QCoreApplication::applicationDirPath());
    const QString tmpfsBase = qEnvironmentVariable("TAGFOUNDRY_BENCH_TMPFS", QStringLiteral("/dev/shm"));
    QTemporaryDir disk(diskBase + "/bench-pdf-XXXXXX"), tmpfs(tmpfsBase + "/bench-pdf-XXXXXX");
    if (!disk.isValid() || !tmpfs.isValid()) {
        std::fprintf(stderr, "cannot make the bench folders in %s and %s\n", qPrintable(diskBase),
                     qPrintable(tmpfsBase));
        return 1;
    }
    const QString homes[2] = {disk.filePath("home"), tmpfs.filePath("home")};
    std::printf("disk:  %s (%s)\ntmpfs: %s (%s)\n", qPrintable(disk.path()), qPrintable(fileSystem(disk.path())),
                qPrintable(tmpfs.path()), qPrintable(fileSystem(tmpfs.path())));

    // A home of its own for every run: nothing is deleted before a run, as a
    // deletion makes the disk's next files slower to make for a while.
    bool ok = true;
    int runs = 0;
    const auto [onDisk, onTmpfs] = inTurns(
        [&](int which) {
            const QString home = homes[which] + QString::number(++runs);
            makeHome(home, records);
            const Run run = runBatch(home, word);
            return Run{run.seconds, run.peakMB, run.ok && pdfsIn(home) == records};
        },
        &ok);
    std::printf("%d %s labels, median of 3, a folder of its own each:\n", records, qPrintable(word));
    std::printf("  disk:  %.3f s, %.0f labels per second (target >= 1000), peak memory %.1f MB (target < 40)\n",
                onDisk.seconds, records / onDisk.seconds, onDisk.peakMB);
    std::printf("  tmpfs: %.3f s, %.0f labels per second, peak memory %.1f MB\n", onTmpfs.seconds,
                records / onTmpfs.seconds, onTmpfs.peakMB);
    std::printf("  disk / tmpfs: %.2f (target <= 1.4)\n", onDisk.seconds / onTmpfs.seconds);

    // One label into a folder of 100,000 files and into an empty one, both on the disk.
    const QString big = disk.filePath("big"), empty = disk.filePath("empty");
    makeHome(big, 1);
    makeHome(empty, 1);
    QElapsedTimer filling;
    filling.start();
    fillPrinted(big, 100000);
    const double fillSeconds = double(filling.elapsed()) / 1000.0;
    const Run firstBig = runBatch(big, word), firstEmpty = runBatch(empty, word);
    ok = ok && firstBig.ok && firstEmpty.ok;
    const auto [intoBig, intoEmpty] = inTurns([&](int which) { return runBatch(which == 0 ? big : empty, word); }, &ok);
    ok = ok && pdfsIn(big) == 100004 && pdfsIn(empty) == 4;
    std::printf("One label into printed/ on the disk (100,000 files put there in %.1f s), median of 3:\n", fillSeconds);
    std::printf("  first label after they were put there: %.3f s, peak memory %.1f MB (the folder is read)\n",
                firstBig.seconds, firstBig.peakMB);
    std::printf("  100,000 files: %.3f s, peak memory %.1f MB (target < 40)\n", intoBig.seconds, intoBig.peakMB);
    std::printf("  empty folder:  %.3f s, peak memory %.1f MB\n", intoEmpty.seconds, intoEmpty.peakMB);
    std::printf("  100,000 / empty: %.2f (target <= 1.2)\n", intoBig.seconds / intoEmpty.seconds);
    if (!ok)
        std::printf("A run failed or printed the wrong number of labels.\n");
    return ok ? 0 : 1;
}
