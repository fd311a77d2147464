#include "BatchRuns.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcessEnvironment>

#include <algorithm>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

namespace BatchRuns {

void makeHome(const QString &home, int records)
{
    QDir().mkpath(home + "/TagFoundry");
    QDir().mkpath(home + "/.config/TagFoundry");
    QFile settings(home + "/.config/TagFoundry/TagFoundry.conf");
    settings.open(QIODevice::WriteOnly);
    settings.write("[Settings]\nPrinter=TagFoundry PDF\n");
    QFile labels(home + "/TagFoundry/labels.txt");
    labels.open(QIODevice::WriteOnly);
    for (int i = 0; i < records; ++i) {
        labels.write(
            QStringLiteral("VLV-%1,R%2-A,Diverter valve cartridge for combi boilers %1 with seals and clips,%3,1\r\n")
                .arg(i, 5, 10, QLatin1Char('0'))
                .arg(i % 40)
                .arg(i % 3 ? QStringLiteral("NONE") : QStringLiteral("FRAGILE"))
                .toUtf8());
    }
}

Run run(const QString &program, const QStringList &arguments, const QString &home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home);
    env.insert("XDG_CONFIG_HOME", home + "/.config");
    env.insert("QT_QPA_PLATFORM", "offscreen"); // what batch mode chooses itself
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    std::vector<QByteArray> texts;
    for (const QString &entry : env.toStringList())
        texts.push_back(entry.toLocal8Bit());
    std::vector<char *> envp;
    envp.reserve(texts.size() + 1);
    for (QByteArray &text : texts)
        envp.push_back(text.data());
    envp.push_back(nullptr);
    std::vector<QByteArray> words = {QFile::encodeName(program)};
    for (const QString &argument : arguments)
        words.push_back(argument.toLocal8Bit());
    std::vector<char *> argv;
    argv.reserve(words.size() + 1);
    for (QByteArray &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0)
        return {};
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    return {double(timer.nsecsElapsed()) / 1e9, double(usage.ru_maxrss) / 1024.0,
            WIFEXITED(status) && WEXITSTATUS(status) == 0};
}

Run runBatch(const QString &home, const QString &word)
{
    // TAGFOUNDRY_BENCH_PROGRAM: another build's program, to compare two builds.
    return run(qEnvironmentVariable("TAGFOUNDRY_BENCH_PROGRAM", QStringLiteral(TAGFOUNDRY_EXECUTABLE)), {word}, home);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

int pdfsIn(const QString &home)
{
    return int(QDir(home + "/TagFoundry/printed").entryList({"*.pdf"}, QDir::Files).size());
}

} // namespace BatchRuns
