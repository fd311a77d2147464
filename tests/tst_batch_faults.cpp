// Batch mode under the faults of its surroundings, each made for real: a data
// folder that fills up, a run killed part-way, runs at the same time into one
// folder, a print server that never answers, a display that is gone, a
// broken settings file, fields with control characters. Afterwards every
// PDF in printed/ is whole (pdfinfo opens it) and has a number of its own,
// and no temporary file is left behind.

#include "ChildProgram.h"
#include "Golden.h"

#include <QtTest>

#include <csignal>
#include <cstring>
#include <netinet/in.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QString kPdfPrinter = u"TagFoundry PDF"_s;

QByteArray records(char prefix, int count, int copies = 1)
{
    QByteArray bytes;
    for (int i = 1; i <= count; ++i)
        bytes += u"%1-%2,R,Some description,NONE,%3\r\n"_s.arg(QChar(prefix)).arg(i).arg(copies).toUtf8();
    return bytes;
}

} // namespace

class TestBatchFaults : public QObject {
    Q_OBJECT

    QTemporaryDir home;

    QString printed(const QString &name = {}) const { return home.filePath(u"TagFoundry/printed/"_s + name); }

    // The files in printed/ by name with their numbers: each a .pdf that
    // pdfinfo opens, each number once; besides them only the counter, and
    // temporary files only where `temporaryAllowed`. False, saying why, when not so.
    bool printedFiles(QMap<QString, qint64> *numbers, bool temporaryAllowed = false) const
    {
        for (const QString &name : QDir(printed()).entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
            const qint64 number = name.section(u' ', 0, 0).toLongLong();
            if (name == u".last-number"_s || (temporaryAllowed && name.startsWith(u".writing-"_s)))
                continue;
            if (const ProgramRun info = runProgram(u"pdfinfo"_s, {printed(name)}); !name.endsWith(u".pdf"_s) || info.exitCode != 0)
                return qWarning("not a whole PDF: %s %s", qPrintable(name), qPrintable(info.errors)), false;
            if (std::find(numbers->begin(), numbers->end(), number) != numbers->end())
                return qWarning("number %lld twice", number), false;
            numbers->insert(name, number);
        }
        return true;
    }

private slots:
    void init() { QVERIFY(QDir(home.path()).removeRecursively() && QDir().mkpath(home.path())); }

    // One run under a fault: its exit status, its standard error as its
    // golden file under tests/data/batch-faults/ (the home shown as ~), the
    // PDFs it leaves. A full folder leaves no file behind; a stale display is
    // never tried; a settings file that cannot be read is no "no printer
    // chosen" (exit 2), which is status 2 like "none" saved; a print server
    // that is away fails the run (nothing printed elsewhere), and one that
    // takes the connection and never answers is given up after about 30 seconds.
    void runUnderAFault_data()
    {
        QTest::addColumn<QByteArray>("labels");
        QTest::addColumn<QString>("saved"); // null: none saved
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<int>("pdfs");
        static const char controls[] = "A\x1b[2J,R,d,NONE,1\r\nB,R,d,NONE,99999\x00\x1b\r\nC,R,d,NONE,1\r\n";
        const QByteArray one = "A-1,R,d,NONE,1\r\n";
        const QString pdf = kPdfPrinter, queue = u"Label_Printer"_s;
        QTest::newRow("full-disk-one-page") << "AB-1,R,Description,NONE,1\r\n"_ba << pdf << "tmpfs 8k" << 1 << 0;
        QTest::newRow("full-disk-1000-copies") << "AB-1,R,Description,NONE,1000\r\n"_ba << pdf << "tmpfs 64k" << 1 << 0;
        QTest::newRow("stale-display") << one << pdf << "DISPLAY=:77" << 0 << 1;
        QTest::newRow("stale-wayland-display") << one << pdf << "WAYLAND_DISPLAY=wayland-77" << 0 << 1;
        QTest::newRow("platform-asked-for") << one << pdf << "QT_QPA_PLATFORM=xcb" << 0 << 1;
        QTest::newRow("settings-a-folder") << one << QString() << "settings folder" << 1 << 0;
        QTest::newRow("settings-binary-junk") << one << QString() << "settings junk" << 1 << 0;
        QTest::newRow("no-printer-saved") << one << QString() << QString() << 2 << 0;
        QTest::newRow("none-saved") << one << "none" << QString() << 2 << 0;
        QTest::newRow("print-server-away") << one << queue << "CUPS_SERVER=~/no-such-server.sock" << 1 << 0;
        QTest::newRow("silent-print-server") << one << queue << "silent server" << 1 << 0;
        // Code 39 lacks _ # and Ä; lowercase is drawn as capitals.
        QTest::newRow("code39-warnings") << "AB_12,R,d,NONE,1\r\nab-12,R,d,NONE,1\r\nAB#12,R,d,NONE,1\r\n\xc3\x84"
                                            "B-12,R,d,NONE,1\r\n"_ba << pdf << QString() << 0 << 4;
        QTest::newRow("control-characters-escaped") << QByteArray(controls, sizeof controls - 1) << pdf << QString() << 1 << 1;
    }

    void runUnderAFault()
    {
        QFETCH(QByteArray, labels);
        QFETCH(QString, saved);
        QFETCH(QString, fault);
        QFETCH(int, exitCode);
        QFETCH(int, pdfs);
        const bool silent = fault == u"silent server"_s;
        QProcessEnvironment env = batchHome(home.path(), labels, saved, QProcessEnvironment::systemEnvironment());
        const QString settingsFile = home.filePath(u".config/TagFoundry/TagFoundry.conf"_s);
        QString error;
        if (fault.contains(u'='))
            env.insert(fault.section(u'=', 0, 0), fault.section(u'=', 1).replace(u'~', home.path()));
        if (fault == u"settings folder"_s)
            QVERIFY(QDir().mkpath(settingsFile));
        if (fault == u"settings junk"_s)
            QVERIFY2(writeFile(settingsFile, QByteArray("\x7f" "ELF\x02\x01\x01\x00\x00\x00\xff\xfe", 12), &error), qPrintable(error));
        if (fault.startsWith(u"tmpfs"_s)) {
            SKIP_OR_FAIL_UNLESS(::geteuid() == 0 ? QString() : u"not root"_s, "root needed to mount a small tmpfs", false);
            const QByteArray options = "size=" + fault.section(u' ', 1).toLatin1();
            QVERIFY(QDir().mkpath(printed()));
            QVERIFY2(::mount("tmpfs", QFile::encodeName(printed()).constData(), "tmpfs", 0, options.constData()) == 0,
                     std::strerror(errno));
        }
        const auto unmount = qScopeGuard([&] { ::umount2(QFile::encodeName(printed()).constData(), MNT_DETACH); });
        // A server that listens and never accepts: the system completes the connection.
        const int server = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const auto closeServer = qScopeGuard([&] { ::close(server); });
        sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
        socklen_t size = sizeof address;
        QVERIFY(::bind(server, reinterpret_cast<sockaddr *>(&address), size) == 0 && ::listen(server, 8) == 0
                && ::getsockname(server, reinterpret_cast<sockaddr *>(&address), &size) == 0);
        const QString port = u"127.0.0.1:%1"_s.arg(ntohs(address.sin_port));
        if (silent)
            env.insert(u"CUPS_SERVER"_s, port);
        QElapsedTimer clock;
        clock.start();
        const ProgramRun result = runProgram(QStringLiteral(TAGFOUNDRY_EXECUTABLE), {u"XLIST"_s}, env, 90000);
        const qint64 seconds = clock.elapsed() / 1000;
        QCOMPARE(result.exitCode, exitCode);
        QVERIFY2(!silent || (seconds >= 25 && seconds <= 45), qPrintable(QString::number(seconds)));
        const QString errors = QString(result.errors).replace(home.path(), u"~"_s);
        QVERIFY(Golden::matches(u"batch-faults/%1.txt"_s.arg(QString::fromLatin1(QTest::currentDataTag())), errors));
        QMap<QString, qint64> numbers;
        QVERIFY(printedFiles(&numbers));
        QCOMPARE(numbers.size(), pdfs);
    }

    // A run killed part-way leaves only whole PDFs under .pdf names; the next
    // run removes what the killed one was writing and numbers on after it.
    void killedRunLeavesOnlyWholePdfs_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGKILL") << int(SIGKILL);
        QTest::newRow("SIGTERM") << int(SIGTERM);
    }

    void killedRunLeavesOnlyWholePdfs()
    {
        QFETCH(int, signal);
        QProcess batch;
        batch.setProcessEnvironment(batchHome(home.path(), records('K', 3000, 20), kPdfPrinter, QProcessEnvironment::systemEnvironment()));
        batch.start(QStringLiteral(TAGFOUNDRY_EXECUTABLE), {u"XLIST"_s});
        QTRY_VERIFY_WITH_TIMEOUT(pdfsIn(printed()).size() >= 20, 60000);
        ::kill(pid_t(batch.processId()), signal);
        QVERIFY(batch.waitForFinished(10000) && batch.exitStatus() == QProcess::CrashExit);
        QMap<QString, qint64> killed, after;
        QVERIFY(printedFiles(&killed, true) && killed.size() >= 20);

        // What a writer killed mid-file leaves: a temporary file nobody holds.
        // One still held by its writer (here, this test) must stay.
        QString error;
        QVERIFY2(writeFile(printed(u".writing-7-99999-1.tmp"_s), "%PDF-1.4 cut", &error), qPrintable(error));
        QFile held(printed(u".writing-8-99998-1.tmp"_s));
        QVERIFY(held.open(QIODevice::WriteOnly) && ::flock(held.handle(), LOCK_EX) == 0);
        QCOMPARE(runBatch(home.path(), u"XLIST"_s, "NEXT-1,R,After the kill,NONE,1\r\n", kPdfPrinter).exitCode, 0);
        QCOMPARE(QDir(printed()).entryList({u".writing-*"_s}, QDir::Files | QDir::Hidden), QStringList{u".writing-8-99998-1.tmp"_s});
        held.remove();
        QVERIFY(printedFiles(&after));
        // After the highest present; the number the killed run had claimed
        // for the label it was writing is not handed out again.
        const qint64 highest = *std::max_element(killed.begin(), killed.end());
        QCOMPARE(after.size(), killed.size() + 1);
        const QStringList next = after.keys().filter(u" NEXT-1.pdf"_s);
        QVERIFY(next.size() == 1 && after[next[0]] > highest && after[next[0]] <= highest + 2);
    }

    // Four runs at once into one folder: every file its own number, none
    // skipped, and each run's labels numbered in the order it printed them.
    void concurrentRunsNeverShareANumber()
    {
        // Each run has a home of its own for its label file; their printed/
        // folders are links to one.
        std::vector<std::unique_ptr<QProcess>> batches;
        QVERIFY(QDir().mkpath(printed()));
        for (const char prefix : {'P', 'Q', 'R', 'S'}) {
            const QString own = home.filePath(QString(QChar(prefix)));
            batches.push_back(std::make_unique<QProcess>());
            batches.back()->setProcessEnvironment(batchHome(own, records(prefix, 100), kPdfPrinter, QProcessEnvironment::systemEnvironment()));
            QVERIFY(QFile::link(printed(), own + u"/TagFoundry/printed"_s));
        }
        for (auto &batch : batches)
            batch->start(QStringLiteral(TAGFOUNDRY_EXECUTABLE), {u"XLIST"_s});
        for (auto &batch : batches)
            QVERIFY2(batch->waitForFinished(120000) && batch->exitCode() == 0, batch->readAllStandardError().constData());
        QMap<QString, qint64> numbers;
        QVERIFY(printedFiles(&numbers));
        QCOMPARE(numbers.size(), 400);
        QCOMPARE(*std::max_element(numbers.begin(), numbers.end()), 400);
        for (const char prefix : {'P', 'Q', 'R', 'S'}) {
            QList<qint64> order; // by record
            for (int i = 1; i <= 100; ++i)
                order << numbers.value(numbers.keys().filter(u" %1-%2.pdf"_s.arg(QChar(prefix)).arg(i)).value(0));
            QVERIFY2(order.first() > 0 && std::is_sorted(order.begin(), order.end()), qPrintable(QString(QChar(prefix))));
        }
    }
};

QTEST_MAIN(TestBatchFaults)
#include "tst_batch_faults.moc"
