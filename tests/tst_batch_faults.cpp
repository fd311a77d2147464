// Batch mode under the faults of its surroundings, each made for real: a data
// folder that fills up, a run killed part-way, runs at the same time into one
// folder, a print server that never answers, a display that is gone, a
// broken settings file, fields with control characters, a folder of
// 100,000 files. Afterwards every PDF in printed/ is whole (pdfinfo opens it)
// and has a number of its own, and no temporary file is left behind; the
// program's own system calls show each file on the disk before its name.

#include "ChildProgram.h"
#include "Golden.h"

#include <QtTest>

#include <csignal>
#include <cstring>
#include <fcntl.h>
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

// Files the process `pid` holds open in `folder` that have no name there yet:
// written and not yet named (or temporary files in .writing/).
int filesBeingWritten(qint64 pid, const QString &folder)
{
    int count = 0;
    const QString fds = u"/proc/%1/fd"_s.arg(pid);
    for (const QString &fd : QDir(fds).entryList(QDir::Files | QDir::System)) {
        const QString target = QFile::symLinkTarget(fds + u'/' + fd);
        count += target.startsWith(folder + u"/.writing/"_s)
                 || (target.startsWith(folder + u"/#"_s) && target.endsWith(u" (deleted)"_s));
    }
    return count;
}

// What a run's system calls (strace -f -y) say of its files in `folder`.
struct SyncOrder {
    int named = 0; // files linked to a name in the folder
    int folderSyncs = 0;
    bool folderSyncedAfterLastName = false;
    QString problem; // a file named before it was synced
};

SyncOrder syncOrder(const QString &log, const QString &folder)
{
    static const QRegularExpression call(u"^(\\d+) +(?:<\\.\\.\\. (\\w+) resumed>|(\\w+)\\()(.*)$"_s);
    static const QRegularExpression fdArgument(u"^(\\d+)<([^>]*)>"_s);
    static const QRegularExpression result(u"= (-?\\d+)(?:<([^>]*)>)?$"_s);
    static const QRegularExpression quoted(u"\"([^\"]*)\""_s);
    SyncOrder order;
    QHash<QString, QString> unfinished; // by thread: the call's start
    QHash<int, bool> synced;            // by open file descriptor
    QSet<QString> syncedPaths;
    for (const QString &line : log.split(u'\n')) {
        const QRegularExpressionMatch match = call.match(line);
        if (!match.hasMatch())
            continue;
        const QString thread = match.captured(1);
        QString name = match.captured(3), rest = match.captured(4);
        if (!match.captured(2).isEmpty()) { // <... name resumed>
            name = match.captured(2);
            rest = unfinished.take(thread) + rest;
        } else if (rest.endsWith(u"<unfinished ...>"_s)) {
            unfinished[thread] = rest.chopped(16);
            continue;
        }
        const QRegularExpressionMatch returned = result.match(rest);
        if (!returned.hasMatch() || returned.captured(1).toInt() < 0)
            continue;
        const QRegularExpressionMatch fd = fdArgument.match(rest);
        QStringList paths;
        for (const QRegularExpressionMatch &path : quoted.globalMatch(rest))
            paths << path.captured(1);
        if (name == u"openat"_s || name == u"open"_s || name == u"creat"_s) {
            synced[returned.captured(1).toInt()] = false;
        } else if (name == u"close"_s && fd.hasMatch()) {
            synced.remove(fd.captured(1).toInt());
        } else if ((name == u"fsync"_s || name == u"fdatasync"_s) && fd.hasMatch()) {
            synced[fd.captured(1).toInt()] = true;
            syncedPaths << fd.captured(2);
            if (fd.captured(2) == folder) {
                ++order.folderSyncs;
                order.folderSyncedAfterLastName = true;
            }
        } else if ((name == u"link"_s || name == u"linkat"_s || name == u"renameat2"_s) && paths.size() == 2
                   && paths[1].startsWith(folder + u'/')) {
            const QString source = paths[0];
            const bool ok = source.startsWith(u"/proc/self/fd/"_s) ? synced.value(source.mid(14).toInt())
                                                                   : syncedPaths.contains(source);
            if (!ok && order.problem.isEmpty())
                order.problem = u"named before it was synced: "_s + paths[1];
            ++order.named;
            order.folderSyncedAfterLastName = false;
        }
    }
    return order;
}

// The number of the one file whose name ends so; 0 when none or several do.
qint64 numberOf(const QMap<QString, qint64> &numbers, const QString &ending)
{
    qint64 number = 0;
    int found = 0;
    for (auto file = numbers.cbegin(); file != numbers.cend(); ++file) {
        if (file.key().endsWith(ending)) {
            number = file.value();
            ++found;
        }
    }
    return found == 1 ? number : 0;
}

} // namespace

class TestBatchFaults : public QObject {
    Q_OBJECT

    QTemporaryDir home;

    QString printed(const QString &name = {}) const { return home.filePath(u"TagFoundry/printed/"_s + name); }

    // The files in printed/ by name with their numbers: each a .pdf that
    // pdfinfo opens, each number once; besides them only the counter. False,
    // saying why, when not so.
    bool printedFiles(QMap<QString, qint64> *numbers) const
    {
        for (const QString &name : QDir(printed()).entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
            const qint64 number = name.section(u' ', 0, 0).toLongLong();
            if (name == u".last-number"_s)
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
    // never tried; a settings file that is there but cannot be read (a
    // folder, binary junk, a link to nothing) fails the run (exit 1) instead
    // of counting as no printer chosen (exit 2, as "none" saved); a print server
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
        // The fourth label fills the disk while the next ones are being drawn:
        // it is the one named, the three before it stay, and the fifth's
        // warning is not given, as it is not printed.
        QTest::newRow("full-disk-fourth-label")
            << "AB-1,R,d,NONE,1\r\nAB_2,R,d,NONE,1\r\nAB-3,R,d,NONE,1\r\nAB-4,R,d,NONE,"
               "1000\r\nAB_5,R,d,NONE,1\r\nAB-6,R,d,NONE,1\r\n"_ba
            << pdf << "tmpfs 64k" << 1 << 3;
        // More than the writer lets wait before it has a whole group.
        QTest::newRow("ten-labels-of-1000-copies") << records('T', 10, 1000) << pdf << QString() << 0 << 10;
        QTest::newRow("stale-display") << one << pdf << "DISPLAY=:77" << 0 << 1;
        QTest::newRow("stale-wayland-display") << one << pdf << "WAYLAND_DISPLAY=wayland-77" << 0 << 1;
        QTest::newRow("platform-asked-for") << one << pdf << "QT_QPA_PLATFORM=xcb" << 0 << 1;
        QTest::newRow("settings-a-folder") << one << QString() << "settings folder" << 1 << 0;
        QTest::newRow("settings-binary-junk") << one << QString() << "settings junk" << 1 << 0;
        // There, though it leads nowhere: no file to read is no "nothing saved".
        QTest::newRow("settings-broken-link") << one << QString() << "settings broken link" << 1 << 0;
        QTest::newRow("no-printer-saved") << one << QString() << QString() << 2 << 0;
        QTest::newRow("none-saved") << one << "none" << QString() << 2 << 0;
        QTest::newRow("print-server-away") << one << queue << "CUPS_SERVER=~/no-such-server.sock" << 1 << 0;
        QTest::newRow("silent-print-server") << one << queue << "silent server" << 1 << 0;
        // Code 39 lacks _ # and Ä; lowercase is drawn as capitals.
        QTest::newRow("code39-warnings") << "AB_12,R,d,NONE,1\r\nab-12,R,d,NONE,1\r\nAB#12,R,d,NONE,1\r\n\xc3\x84"
                                            "B-12,R,d,NONE,1\r\n"_ba << pdf << QString() << 0 << 4;
        QTest::newRow("control-characters-escaped") << QByteArray(controls, sizeof controls - 1) << pdf << QString() << 1 << 1;
        // The folder's sync fails (strace makes the call fail): a disk error
        // fails the run naming the folder, though the files have their
        // names; a file system that cannot sync folders at all does not.
        QTest::newRow("folder-sync-eio") << records('F', 3) << pdf << "folder sync EIO" << 1 << 3;
        QTest::newRow("folder-sync-einval") << records('F', 3) << pdf << "folder sync EINVAL" << 0 << 3;
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
        if (fault == u"settings broken link"_s)
            QVERIFY(QFile::link(home.filePath(u"no-such-file"_s), settingsFile));
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
        QString program = QStringLiteral(TAGFOUNDRY_EXECUTABLE);
        QStringList arguments = {u"XLIST"_s};
        if (fault.startsWith(u"folder sync "_s)) {
            const QString strace = findProgram(u"strace"_s);
            SKIP_OR_FAIL_UNLESS(strace.isEmpty() ? u"strace is not installed"_s : QString(), "strace needed", false);
            QVERIFY(QDir().mkpath(printed()));
            arguments = QStringList{u"-f"_s, u"-qq"_s,
                                    u"-o"_s, u"/dev/null"_s,
                                    u"-e"_s, u"trace=fsync"_s,
                                    u"-P"_s, QDir(printed()).canonicalPath(),
                                    u"-e"_s, u"inject=fsync:error="_s + fault.section(u' ', 2),
                                    program}
                        + arguments;
            program = strace;
        }
        QElapsedTimer clock;
        clock.start();
        const ProgramRun result = runProgram(program, arguments, env, 90000);
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
        QVERIFY(printedFiles(&killed) && killed.size() >= 20);

        // What a writer killed mid-file leaves where files cannot be made
        // without a name: a temporary file nobody holds. One still held by its
        // writer (here, this test) must stay.
        QString error;
        QVERIFY(QDir().mkpath(printed(u".writing"_s)));
        QVERIFY2(writeFile(printed(u".writing/99999-1.tmp"_s), "%PDF-1.4 cut", &error), qPrintable(error));
        QFile held(printed(u".writing/99998-1.tmp"_s));
        QVERIFY(held.open(QIODevice::WriteOnly) && ::flock(held.handle(), LOCK_EX) == 0);
        QCOMPARE(runBatch(home.path(), u"XLIST"_s, "NEXT-1,R,After the kill,NONE,1\r\n", kPdfPrinter).exitCode, 0);
        QCOMPARE(QDir(printed(u".writing"_s)).entryList(QDir::Files | QDir::Hidden), QStringList{u"99998-1.tmp"_s});
        held.remove();
        QVERIFY(printedFiles(&after));
        // Right after the highest present: the killed run held no number it
        // had not given a file.
        const qint64 highest = *std::max_element(killed.begin(), killed.end());
        QCOMPARE(after.size(), killed.size() + 1);
        QCOMPARE(numberOf(after, u" NEXT-1.pdf"_s), highest + 1);
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
                order << numberOf(numbers, u" %1-%2.pdf"_s.arg(QChar(prefix)).arg(i));
            QVERIFY2(order.first() > 0 && std::is_sorted(order.begin(), order.end()), qPrintable(QString(QChar(prefix))));
        }
    }

    // A run killed once it has written a group of labels and before it names
    // them (the counter's lock, held here, keeps it waiting there) leaves
    // nothing of them, and the next run numbers on right after the last file.
    void killedBetweenWritingAndNaming()
    {
        QCOMPARE(runBatch(home.path(), u"XLIST"_s, records('A', 3), kPdfPrinter).exitCode, 0);
        QFile counter(printed(u".last-number"_s));
        QVERIFY(counter.open(QIODevice::ReadWrite) && ::flock(counter.handle(), LOCK_EX) == 0);
        QProcess batch;
        batch.setProcessEnvironment(
            batchHome(home.path(), records('K', 40), kPdfPrinter, QProcessEnvironment::systemEnvironment()));
        batch.start(QStringLiteral(TAGFOUNDRY_EXECUTABLE), {u"XLIST"_s});
        QTRY_VERIFY_WITH_TIMEOUT(filesBeingWritten(batch.processId(), QDir(printed()).canonicalPath()) >= 32, 60000);
        ::kill(pid_t(batch.processId()), SIGKILL);
        QVERIFY(batch.waitForFinished(10000));
        counter.close();
        QCOMPARE(pdfsIn(printed()).size(), 3);
        QCOMPARE(runBatch(home.path(), u"XLIST"_s, "NEXT-1,R,After the kill,NONE,1\r\n", kPdfPrinter).exitCode, 0);
        QMap<QString, qint64> numbers;
        QVERIFY(printedFiles(&numbers));
        QCOMPARE(numbers.value(u"00000004 TagFoundry XLIST NEXT-1.pdf"_s), 4);
        QCOMPARE(numbers.size(), 4);
        QCOMPARE(QDir(printed(u".writing"_s)).entryList(QDir::Files | QDir::Hidden), QStringList{});
    }

    // A printed/ folder of 100,000 files. The first label reads it (there is
    // no counter yet) and numbers on after the highest. The next trusts the
    // counter, as nothing in the folder changed: set below a number still
    // free, the counter is followed, which it would not be were the folder
    // read. A file put there by hand is seen.
    void bigFolderIsReadOnlyWhenItChanged()
    {
        SKIP_OR_FAIL_UNLESS(::geteuid() == 0 ? QString() : u"not root"_s, "root needed to mount a tmpfs", false);
        QVERIFY(QDir().mkpath(printed()));
        QVERIFY2(::mount("tmpfs", QFile::encodeName(printed()).constData(), "tmpfs", 0, "size=64m") == 0,
                 std::strerror(errno));
        const auto unmount = qScopeGuard([&] { ::umount2(QFile::encodeName(printed()).constData(), MNT_DETACH); });
        for (int i = 1; i <= 100000; ++i) {
            if (i != 99999)
                ::close(::open(QFile::encodeName(printed(u"%1 old.pdf"_s.arg(i, 8, 10, QLatin1Char('0')))).constData(),
                               O_CREAT | O_WRONLY, 0644));
        }
        const auto printOne = [&](const QByteArray &code) {
            const ProgramRun run = runBatch(home.path(), u"XLIST"_s, code + ",R,d,NONE,1\r\n", kPdfPrinter);
            const QStringList names = QDir(printed()).entryList({u"* "_s + QString::fromLatin1(code) + u".pdf"_s},
                                                                QDir::Files);
            return run.exitCode == 0 && names.size() == 1 ? names[0].section(u' ', 0, 0).toLongLong() : -1;
        };
        QCOMPARE(printOne("BIG-1"), 100001);
        QFile counter(printed(u".last-number"_s));
        QVERIFY(counter.open(QIODevice::ReadWrite));
        QByteArray text = counter.readAll();
        QVERIFY(text.startsWith("100001\n"));
        text.replace(0, 6, "99998");
        QVERIFY(counter.resize(0) && counter.seek(0) && counter.write(text) == text.size() && counter.flush());
        QCOMPARE(printOne("BIG-2"), 99999);
        QString error;
        QVERIFY2(writeFile(printed(u"00200000 by hand.pdf"_s), {}, &error), qPrintable(error));
        QCOMPARE(printOne("BIG-3"), 200001);
    }

    // Each file is on the disk before its name appears, as the program's own
    // system calls show (strace): every file was synced before it was linked
    // to its name, and the folder after the last name, before the run ended.
    // The folder is synced once a group of labels, not once a label.
    void filesOnTheDiskBeforeTheirNames()
    {
        const QString strace = findProgram(u"strace"_s);
        SKIP_OR_FAIL_UNLESS(strace.isEmpty() ? u"strace is not installed"_s : QString(), "strace needed", false);
        const int labels = 70;
        const QString log = home.filePath(u"strace.log"_s);
        const QProcessEnvironment env = batchHome(home.path(), records('D', labels), kPdfPrinter,
                                                  QProcessEnvironment::systemEnvironment());
        const ProgramRun run = runProgram(strace,
                                          {u"-f"_s, u"-y"_s, u"-o"_s, log, u"-e"_s,
                                           u"trace=openat,open,creat,close,fsync,fdatasync,link,linkat,renameat2"_s,
                                           QStringLiteral(TAGFOUNDRY_EXECUTABLE), u"XLIST"_s},
                                          env);
        QCOMPARE(run.exitCode, 0);
        QFile file(log);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const SyncOrder order = syncOrder(QString::fromUtf8(file.readAll()), QDir(printed()).canonicalPath());
        QVERIFY2(order.problem.isEmpty(), qPrintable(order.problem));
        QCOMPARE(order.named, labels);
        QVERIFY2(order.folderSyncedAfterLastName, "the folder was not synced after the last name");
        QVERIFY2(order.folderSyncs <= labels / 8, qPrintable(u"the folder synced %1 times"_s.arg(order.folderSyncs)));
    }
};

QTEST_MAIN(TestBatchFaults)
#include "tst_batch_faults.moc"
