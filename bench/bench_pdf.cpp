// Prints a 1,000-record label file in batch mode on the built-in PDF printer,
// as the calling program would, and reports labels per second and the
// program's peak memory. Targets: at least 900 labels per second, under 80 MB.
//
//   bench_pdf [records] [XLIST|BINS]

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/resource.h>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int records = argc > 1 ? std::atoi(argv[1]) : 1000;
    const QString word = argc > 2 ? QString::fromLatin1(argv[2]) : QStringLiteral("BINS");

    QTemporaryDir home;
    QDir().mkpath(home.filePath("TagFoundry"));
    QDir().mkpath(home.filePath(".config/TagFoundry"));
    QFile settings(home.filePath(".config/TagFoundry/TagFoundry.conf"));
    settings.open(QIODevice::WriteOnly);
    settings.write("[Settings]\nPrinter=TagFoundry PDF\n");
    settings.close();

    QFile labels(home.filePath("TagFoundry/labels.txt"));
    labels.open(QIODevice::WriteOnly);
    for (int i = 0; i < records; ++i) {
        labels.write(QStringLiteral("VLV-%1,R%2-A,Diverter valve cartridge for combi boilers %1 with seals and clips,%3,1\r\n")
                         .arg(i, 5, 10, QLatin1Char('0'))
                         .arg(i % 40)
                         .arg(i % 3 ? QStringLiteral("NONE") : QStringLiteral("FRAGILE"))
                         .toUtf8());
    }
    labels.close();

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home.path());
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    QProcess process;
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::ForwardedChannels);

    QElapsedTimer timer;
    timer.start();
    process.start(TAGFOUNDRY_EXECUTABLE, {word});
    process.waitForFinished(-1);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;

    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const int printed = int(QDir(home.filePath("TagFoundry/printed")).entryList({"*.pdf"}, QDir::Files).size());
    std::printf("records: %d, PDFs: %d, exit status: %d\n", records, printed, process.exitCode());
    std::printf("time: %.2f s, labels per second: %.0f (target >= 900)\n", seconds, double(printed) / seconds);
    std::printf("peak memory of the program: %.1f MB (target < 80)\n", double(usage.ru_maxrss) / 1024.0);
    return process.exitCode() == 0 && printed == records ? 0 : 1;
}
