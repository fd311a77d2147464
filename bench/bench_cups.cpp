// Prints a 1,000-record label file in batch mode to a queue of a private
// cupsd, then submits the same 1,000 one-page PDFs (the documents the program
// sent, taken from the spool) to the same queue with `lp`, one lp per file, in
// the same run. Reports labels per second for both and the ratio of the
// program's time to lp's. Target: at most 1.5.
//
// The queue holds its jobs, so the PDF backend does not compete with the
// submissions for the processor; both ways go through the same queue, each
// starting with it empty.
// Runs as root (the private spooler needs it).
//
//   bench_cups [records] [XLIST|BINS]

#include "PrivateCups.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace {

const QString kQueue = QStringLiteral("Label_Printer");

bool fail(const QString &message)
{
    std::fprintf(stderr, "bench_cups: %s\n", qPrintable(message));
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int records = argc > 1 ? std::atoi(argv[1]) : 1000;
    const QString word = argc > 2 ? QString::fromLatin1(argv[2]) : QStringLiteral("XLIST");

    if (const QString why = PrivateCups::unavailableReason(); !why.isEmpty())
        return fail(QStringLiteral("cannot start a private print spooler: ") + why), 1;
    PrivateCups cups;
    QString error;
    if (!cups.start(&error) || !cups.addQueue(kQueue, QStringLiteral("Label Printer"), PrivateCups::Media::Label, &error)
        || !cups.run({"lpadmin", "-p", kQueue, "-o", "job-hold-until-default=indefinite"}, &error))
        return fail(error), 1;

    QByteArray labels;
    for (int i = 0; i < records; ++i) {
        labels += QStringLiteral("VLV-%1,R%2-A,Diverter valve cartridge %1,%3,%4\r\n")
                      .arg(i, 5, 10, QLatin1Char('0'))
                      .arg(i % 40)
                      .arg(i % 3 ? QStringLiteral("NONE") : QStringLiteral("FRAGILE"))
                      .arg(1 + i % 2)
                      .toUtf8();
    }
    // The program, as the calling program would run it.
    QTemporaryDir home;
    const QProcessEnvironment environment = batchHome(home.path(), labels, kQueue, cups.clientEnvironment());
    if (environment.isEmpty())
        return fail(QStringLiteral("cannot write labels.txt and the saved printer in ") + home.path()), 1;
    QElapsedTimer timer;
    timer.start();
    const ProgramRun program = runProgram(QStringLiteral(TAGFOUNDRY_EXECUTABLE), {word}, environment, -1);
    const double programSeconds = double(timer.nsecsElapsed()) / 1e9;
    const QList<PrivateCups::Job> sent = cups.jobs();
    if (program.exitCode != 0 || sent.size() != records)
        return fail(QStringLiteral("the program exited with %1 and queued %2 of %3 jobs: %4")
                        .arg(program.exitCode).arg(sent.size()).arg(records).arg(program.errors)), 1;

    // lp with the same documents, one lp per PDF, to the same queue.
    QTemporaryDir pdfs;
    QStringList files;
    for (const PrivateCups::Job &job : sent) {
        const QString copy = pdfs.filePath(QStringLiteral("%1.pdf").arg(job.id, 5, 10, QLatin1Char('0')));
        if (!QFile::copy(cups.spooledFile(job.id), copy))
            return fail(QStringLiteral("cannot copy the spooled document of job %1").arg(job.id)), 1;
        files.append(copy);
    }
    // Both ways start from an empty queue: cupsd's work per new job grows
    // with the jobs it holds.
    if (!cups.run({"cancel", "-a", "-x", kQueue}, &error))
        return fail(error), 1;
    if (const qsizetype left = cups.jobs(kQueue).size(); left != 0)
        return fail(QStringLiteral("%1 jobs left after purging the queue").arg(left)), 1;
    timer.restart();
    const ProgramRun lp = runProgram(
        QStringLiteral("bash"),
        QStringList{"-c", QStringLiteral("for f; do lp -s -d %1 \"$f\" || exit 1; done").arg(kQueue), "bash"} + files,
        cups.clientEnvironment(), -1);
    const double lpSeconds = double(timer.nsecsElapsed()) / 1e9;
    const qsizetype queued = cups.jobs(kQueue).size();
    if (lp.exitCode != 0 || queued != records)
        return fail(QStringLiteral("lp exited with %1 and queued %2 of %3 jobs: %4").arg(lp.exitCode).arg(queued).arg(records).arg(lp.errors)), 1;

    const double ratio = programSeconds / lpSeconds;
    std::printf("records: %d (%s), queue %s of a private cupsd, jobs held\n", records, qPrintable(word), qPrintable(kQueue));
    std::printf("tagfoundry: %.2f s, %.0f labels per second\n", programSeconds, records / programSeconds);
    std::printf("lp:         %.2f s, %.0f PDFs per second\n", lpSeconds, records / lpSeconds);
    std::printf("ratio tagfoundry / lp: %.2f (target <= 1.5)\n", ratio);
    return 0;
}
