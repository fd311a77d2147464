// The Windows program's built-in PDF printer under Wine, run as a calling
// program runs it once a label: one label into a printed/ folder of 100,000
// files against one into an empty folder, runs taken in turns, the medians and
// their ratio. Target: within 1.2 times the empty folder's time. The first
// label after the files were put there (which reads the folder) is shown
// apart.
//
//   bench_wine [runs]      (5 of each)
//
// Under Wine a file's new name costs what Windows does not charge: Wine looks
// the name up without regard to case by reading the whole folder (NTFS keeps
// a folder's names in an index). bench_name_cost.exe, from the Windows build,
// measures that alone (a file moved to a new name in each folder), and it is
// shown beside the labels' times.
//
// The Windows build is TAGFOUNDRY_WINDOWS_BUILD (else build-windows/ in the
// source tree). The Wine prefix is the bench's own, made afresh, and its
// server is kept running across the runs, as Windows is; C:\TagFoundry is a
// link to one of the two data folders, switched between runs, so neither
// folder is touched but by the program.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

const QString kWine = QStringLiteral("/usr/lib/wine/wine64"); // Debian puts no wine64 on PATH

QProcessEnvironment wineEnvironment(const QString &prefix)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString &name : environment.keys()) {
        if (name.startsWith(QLatin1String("QT_")) || name.startsWith(QLatin1String("WINE"))
            || name == QLatin1String("DISPLAY") || name == QLatin1String("WAYLAND_DISPLAY"))
            environment.remove(name);
    }
    environment.insert(QStringLiteral("WINEPREFIX"), prefix);
    environment.insert(QStringLiteral("WINEARCH"), QStringLiteral("win64"));
    environment.insert(QStringLiteral("WINEDEBUG"), QStringLiteral("-all"));
    environment.insert(QStringLiteral("WINEDLLOVERRIDES"), QStringLiteral("mscoree,mshtml=")); // no Mono or Gecko
    return environment;
}

struct Run {
    double seconds = 0;
    bool ok = false;
};

Run run(const QString &program, const QStringList &arguments, const QProcessEnvironment &environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    const bool finished = process.waitForFinished(600000);
    return {double(timer.nsecsElapsed()) / 1e9,
            finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0};
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

int pdfsIn(const QString &data)
{
    return int(QDir(data + QStringLiteral("/printed")).entryList({QStringLiteral("*.pdf")}, QDir::Files).size());
}

// `count` numbered files put in the data folder's printed/ by hand.
void fillPrinted(const QString &data, int count)
{
    const QString folder = data + QStringLiteral("/printed/");
    QDir().mkpath(folder);
    for (int i = 1; i <= count; ++i) {
        const QByteArray name = QFile::encodeName(
            folder + QStringLiteral("%1 TagFoundry XLIST OLD-%2.pdf").arg(i, 8, 10, QLatin1Char('0')).arg(i));
        ::close(::open(name.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const QString build = qEnvironmentVariable("TAGFOUNDRY_WINDOWS_BUILD",
                                               QStringLiteral(TAGFOUNDRY_SOURCE_DIR "/build-windows"));
    const QString program = QStringLiteral("Z:")
                            + QDir::toNativeSeparators(build + QStringLiteral("/TagFoundry/tagfoundry.exe"));
    if (!QFile::exists(build + QStringLiteral("/TagFoundry/tagfoundry.exe")) || !QFile::exists(kWine)) {
        std::fprintf(stderr, "needs %s and a Windows build in %s (bash tools/windows build)\n", qPrintable(kWine),
                     qPrintable(build));
        return 1;
    }
    QTemporaryDir work(QDir::tempPath() + QStringLiteral("/bench-wine-XXXXXX"));
    const QString prefix = work.filePath(QStringLiteral("prefix"));
    const QProcessEnvironment env = wineEnvironment(prefix);
    std::printf("Wine prefix %s, Windows build %s\n", qPrintable(prefix), qPrintable(build));
    if (!run(kWine, {QStringLiteral("wineboot"), QStringLiteral("--init")}, env).ok
        || !run(QStringLiteral("wineserver"), {QStringLiteral("-w")}, env).ok) {
        std::fprintf(stderr, "cannot make the Wine prefix\n");
        return 1;
    }
    run(kWine,
        {QStringLiteral("reg"), QStringLiteral("add"),
         QStringLiteral("HKCU\\Software\\TagFoundry\\TagFoundry\\Settings"), QStringLiteral("/v"),
         QStringLiteral("Printer"), QStringLiteral("/d"), QStringLiteral("TagFoundry PDF"), QStringLiteral("/f")},
        env);
    // The server stays up between runs, as Windows does; ended at the end.
    QProcess server;
    server.setProcessEnvironment(env);
    server.start(QStringLiteral("wineserver"), {QStringLiteral("-f"), QStringLiteral("-p")});

    const QString data[2] = {work.filePath(QStringLiteral("big")), work.filePath(QStringLiteral("empty"))};
    for (const QString &folder : data)
        QDir().mkpath(folder + QStringLiteral("/printed"));
    QElapsedTimer filling;
    filling.start();
    fillPrinted(data[0], 100000);
    const double fillSeconds = double(filling.elapsed()) / 1000.0;

    int labels = 0;
    bool ok = true;
    const QString link = prefix + QStringLiteral("/drive_c/TagFoundry");
    const auto printOne = [&](int which) {
        QFile::remove(link);
        QFile labelFile(data[which] + QStringLiteral("/labels.txt"));
        const bool ready = QFile::link(data[which], link) && labelFile.open(QIODevice::WriteOnly | QIODevice::Truncate)
                           && labelFile.write(QStringLiteral("BENCH-%1,R,d,NONE,1\r\n").arg(++labels).toLatin1()) > 0;
        labelFile.close();
        const Run result = run(kWine, {program, QStringLiteral("XLIST")}, env);
        ok = ok && ready && result.ok;
        return result.seconds;
    };
    const double firstBig = printOne(0), firstEmpty = printOne(1);
    std::vector<double> seconds[2];
    for (int round = 0; round < runs; ++round) {
        for (int which = 0; which < 2; ++which)
            seconds[which].push_back(printOne(which));
    }
    const double big = median(seconds[0]), empty = median(seconds[1]);
    ok = ok && pdfsIn(data[0]) == 100000 + runs + 1 && pdfsIn(data[1]) == runs + 1;

    std::printf("One label into printed/ under Wine (100,000 files put there in %.1f s), median of %d, in turns:\n",
                fillSeconds, runs);
    std::printf("  first label after they were put there: %.3f s (the folder is read); empty folder's first: %.3f s\n",
                firstBig, firstEmpty);
    std::printf("  100,000 files: %.3f s\n", big);
    std::printf("  empty folder:  %.3f s\n", empty);
    std::printf("  100,000 / empty: %.2f (target <= 1.2)\n", big / empty);

    const QString nameCost = build + QStringLiteral("/bench/bench_name_cost.exe");
    double naming[2] = {0, 0};
    for (int which = 0; which < 2 && QFile::exists(nameCost); ++which) {
        QProcess helper;
        helper.setProcessEnvironment(env);
        helper.start(kWine, {QStringLiteral("Z:") + QDir::toNativeSeparators(nameCost),
                             QStringLiteral("Z:") + QDir::toNativeSeparators(data[which] + QStringLiteral("/printed")),
                             QString::number(2 * runs + 1)});
        const bool measured = helper.waitForFinished(600000) && helper.exitCode() == 0;
        if (!measured)
            std::fprintf(stderr, "bench_name_cost: %s\n", helper.readAllStandardError().constData());
        ok = ok && measured;
        naming[which] = helper.readAllStandardOutput().trimmed().toDouble();
    }
    if (QFile::exists(nameCost)) {
        std::printf("  Wine naming a new file (bench_name_cost): %.1f ms in the 100,000 files, %.1f ms in the empty "
                    "folder\n",
                    naming[0], naming[1]);
        std::printf("  100,000 / empty without that: %.2f\n", (big - (naming[0] - naming[1]) / 1000.0) / empty);
    }
    if (!ok)
        std::printf("A run failed or printed the wrong number of labels.\n");

    QFile::remove(link);
    run(QStringLiteral("wineserver"), {QStringLiteral("-k")}, env);
    server.waitForFinished(30000);
    return ok ? 0 : 1;
}
