// Printing through real spoolers, private cupsd's of the tests' own.
// The built program in batch mode, run as a user would (its own HOME, no
// display), prints to the queues Label_Printer (label media with an
// unprintable border) and Office (A4, the default), reached through the
// socket or over IPP on 127.0.0.1 as a shop's shared print server is. What
// arrives is read back from the spooler: the jobs through IPP, the documents
// from its spool, their ink compared with the built-in PDF printer's pages of
// the same records. A second spooler, one active job per queue, has queues
// that refuse in every way: the system spooler must report each as a Failure
// naming the printer, never as a job that silently never prints.

#include "BarcodeRaster.h"
#include "BatchLayouts.h"
#include "Code39Glyphs.h"
#include "Failure.h"
#include "LabelImage.h"
#include "PrivateCups.h"
#include "SystemSpooler.h"
#include "TestPrinting.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// Three records, a skip line among them; copies 2, 1 and 3.
const QByteArray kLabels = "VLV-2201,R12-A,Diverter valve cartridge,NOTE: FRAGILE,2\r\n"
                           "NONE,this line is skipped\r\n"
                           "PMP-15-60,NONE,Circulating pump 15-60,NONE,1\r\n"
                           "TRV-10-LOCKSHIELD-A,STOCK,Radiator valve,NONE,3\r\n";
const QStringList kCodes = {u"VLV-2201"_s, u"PMP-15-60"_s, u"TRV-10-LOCKSHIELD-A"_s};
const QList<int> kCopies = {2, 1, 3};

} // namespace

class TestCups : public QObject {
    Q_OBJECT

    PrivateCups cups, limited{u"MaxJobsPerPrinter 1"_s};
    QTemporaryDir home; // no ~/.cups/lpoptions of the user to pick another default

private slots:
    void initTestCase()
    {
        REQUIRE_PRIVATE_CUPS();
        QString error;
        QVERIFY2(cups.start(&error) && limited.start(&error), qPrintable(error));
        QVERIFY2(cups.addQueue(u"Label_Printer"_s, u"Label Printer"_s, PrivateCups::Media::Label, &error)
                     && cups.addQueue(u"Office"_s, u"Office"_s, PrivateCups::Media::Stock, &error)
                     && cups.run({u"lpadmin"_s, u"-d"_s, u"Office"_s}, &error),
                 qPrintable(error));
        for (const QString &queue : {u"Label_Printer"_s, u"Rejecting"_s, u"Stopped"_s, u"Vanishing"_s, u"Full"_s, u"Held"_s})
            QVERIFY2(limited.addQueue(queue, queue + " description", PrivateCups::Media::Label, &error), qPrintable(error));
        for (const int dpi : {203, 300})
            QVERIFY2(limited.addQueue(u"Label_%1"_s.arg(dpi), u"Label printer"_s, PrivateCups::Media::Label, &error, dpi),
                     qPrintable(error));
        for (const QStringList &command :
             QList<QStringList>{{"lpadmin", "-d", "Label_Printer"},
                                {"cupsreject", "-r", "out of labels", "Rejecting"},
                                {"cupsdisable", "-r", "paper jam", "Stopped"},
                                {"lpadmin", "-p", "Full", "-o", "job-hold-until-default=indefinite"},
                                {"lpadmin", "-p", "Held", "-o", "job-hold-until-default=indefinite"}})
            QVERIFY2(limited.run(command, &error), qPrintable(error));
        // This process's own spooler calls go to the limited one. Set before
        // the first CUPS call of this process: libcups reads them once.
        qputenv("CUPS_SERVER", limited.server().toLocal8Bit());
        qputenv("HOME", home.path().toLocal8Bit());
        qunsetenv("PRINTER");
        qunsetenv("LPDEST");
    }

    // A batch run against a spooler: its exit status and standard error, and
    // the jobs it left there, each document compared with the built-in
    // printer's page of the same record. A saved printer that is not found
    // is one line naming it and the printer used; a job refused once the
    // queue holds one stops the run at that record's line. The queue Held
    // is the limited spooler's, the others the first's.
    void batchRunsThroughTheSpooler_data()
    {
        QTest::addColumn<bool>("overTcp");
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("saved");
        QTest::addColumn<QString>("queue");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("errors");
        QTest::addColumn<int>("jobs"); // of the first records, on `queue`
        const QString notFound = u"tagfoundry: the saved label printer \"Label Printer\" was not found; printing on \"Office\", "
                                 "the default printer\n"_s;
        QTest::newRow("IPP on 127.0.0.1, BINS, saved queue") << true << "BINS" << "Label_Printer" << "Label_Printer" << 0
                                                            << QString() << 3;
        // The description is not the name the spooler knows the queue by.
        QTest::newRow("socket, XLIST, description saved: default queue") << false << "XLIST" << "Label Printer" << "Office"
                                                                         << 0 << notFound << 3;
        // An instance of a queue ("queue/instance", options of the user's own) prints on its queue.
        QTest::newRow("socket, XLIST, an instance saved") << false << "XLIST"
                                                          << "Label_Printer/counter"
                                                          << "Label_Printer" << 0 << QString() << 3;
        QTest::newRow("saved \"none\"") << true << "XLIST" << "none" << "Held" << 2 << "nothing was printed" << 0;
        QTest::newRow("job refused mid-run") << true << "XLIST" << "Held" << "Held" << 1
                                             << "labels.txt line 3: Printer \"Held\" refused the job" << 1;
    }

    void batchRunsThroughTheSpooler()
    {
        QFETCH(bool, overTcp);
        QFETCH(QString, word);
        QFETCH(QString, saved);
        QFETCH(QString, queue);
        QFETCH(int, exitCode);
        QFETCH(QString, errors);
        QFETCH(int, jobs);
        const PrivateCups &spooler = queue == "Held" ? limited : cups;
        QTemporaryDir builtIn, user; // the same records on the built-in PDF printer, a page each
        QCOMPARE(runBatch(builtIn.path(), word, kLabels, u"TagFoundry PDF"_s).exitCode, 0);
        const qsizetype before = spooler.jobs().size();
        QString error; // an instance is the queue with options of the user's own, in ~/.cups/lpoptions
        QVERIFY2(!saved.contains(u'/')
                     || (QDir(user.path()).mkpath(u".cups"_s)
                         && writeFile(user.filePath(u".cups/lpoptions"_s),
                                      "Dest " + saved.toUtf8() + " job-priority=60\n", &error)),
                 qPrintable(error));
        const ProgramRun run = runBatch(user.path(), word, kLabels, saved, spooler.clientEnvironment(overTcp));
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(exitCode == 0 ? run.errors == errors : run.errors.contains(errors), qPrintable(run.errors));
        QCOMPARE(spooler.jobsDifference(spooler.jobs().mid(before), queue, word, kCodes.mid(0, jobs), kCopies.mid(0, jobs),
                                        queue == "Office" ? PrivateCups::Media::Stock : PrivateCups::Media::Label,
                                        exitCode == 0 ? builtIn.filePath(u"TagFoundry/printed"_s) : QString()),
                 QString());
    }

    // A BINS label through a label queue at the queue's own resolution: the
    // page the spooler kept, rasterised at that resolution, keeps the element
    // rule, its bars on the page's dots though the printable corner is 9 pt
    // (25.4 dots at 203 dpi) from the page's edge, and reads after every bar
    // grew or thinned by a dot.
    void barcodeKeepsTheRuleOnTheQueuesDots_data()
    {
        QTest::addColumn<QString>("queue");
        QTest::addColumn<int>("dpi");
        QTest::newRow("203 dpi") << u"Label_203"_s << 203;
        QTest::newRow("300 dpi") << u"Label_300"_s << 300;
    }

    void barcodeKeepsTheRuleOnTheQueuesDots()
    {
        QFETCH(QString, queue);
        QFETCH(int, dpi);
        PrintJob job;
        {
            TestPrinting recorder;
            PrintBinsLabel(recorder.printer, {u"PMP-15-60-AB"_s, u"R3"_s, u"Circulating pump"_s, u"FRAGILE"_s, 1});
            job = recorder.spooler.jobs.takeLast();
        }
        job.printerName = queue;
        QCOMPARE(SystemSpooler().submit(job).shortfalls, QList<BarcodeShortfall>());
        const QList<PrivateCups::Job> jobs = limited.jobs(queue);
        QVERIFY(!jobs.isEmpty());
        const QImage page = LabelImage::renderPdf(limited.spooledFile(jobs.last().id), dpi).value(0);
        const PrintOp &barcode = *std::ranges::find_if(
            job.ops, [](const PrintOp &op) { return Code39Glyphs::isBarcodeFont(op.font.name); });
        const QRect bars = BarcodeRaster::barsOf(barcode, dpi, PrivateCups::kLabelCorner * kTwipsPerPoint);
        const BarcodeRaster::Measure measure = BarcodeRaster::measure(page, bars, bars.left() - 1,
                                                                      int(barcode.text.size()));
        QCOMPARE(BarcodeRaster::ruleBroken(measure, dpi), QString());
        for (const int dots : {0, 1, -1})
            QCOMPARE(
                LabelImage::decodeCode39(BarcodeRaster::withBarsChanged(page, bars, measure.start, measure.end, dots)),
                QStringList{u"PMP-15-60-AB"_s});
    }

    void listsQueueNamesInTheSpoolersOrder()
    {
        QString output, error;
        QVERIFY2(limited.run({u"lpstat"_s, u"-e"_s}, &error, &output), qPrintable(error));
        SystemSpooler spooler;
        QCOMPARE(spooler.printerNames(), output.split(u'\n', Qt::SkipEmptyParts));
        QCOMPARE(spooler.defaultPrinterName(), u"Label_Printer"_s);
    }

    // Each refusal a Failure naming the printer, and nothing new waiting on
    // the queue but the one held job that makes Full refuse the next.
    void refusalsFailNamingThePrinter_data()
    {
        QTest::addColumn<QString>("queue");
        QTest::addColumn<QString>("expected");
        QTest::newRow("queue rejects jobs") << "Rejecting" << "is not accepting jobs: out of labels";
        QTest::newRow("queue stopped: CUPS would keep the job") << "Stopped" << "is stopped: paper jam";
        QTest::newRow("queue deleted after the list was read") << "Vanishing" << "is no longer installed";
        // Accepting and idle, so only CUPS's answer to the submission shows it.
        QTest::newRow("job refused after it was sent") << "Full" << "refused the job: ";
    }

    void refusalsFailNamingThePrinter()
    {
        QFETCH(QString, queue);
        QFETCH(QString, expected);
        SystemSpooler spooler;
        QVERIFY(spooler.printerNames().contains(queue));
        const PrintJob job{queue, u"TagFoundry spooler test"_s, 2,
                           {PrintOp{PrintOp::Kind::Text, {300, 80}, {}, u"AB-1234"_s, {u"Tahoma"_s, 20, false}, 0, {}}}};
        QString error;
        if (queue == "Vanishing")
            QVERIFY2(limited.run({u"lpadmin"_s, u"-x"_s, queue}, &error), qPrintable(error));
        if (queue == "Full")
            spooler.submit(job); // held, and so still active
        try {
            spooler.submit(job);
            QFAIL("the spooler reported a refused job as printed");
        } catch (const Failure &failure) {
            QVERIFY2(failure.message().startsWith(u"Printer \"%1\" "_s.arg(queue)) && failure.message().contains(expected),
                     qPrintable(failure.message()));
        }
        QCOMPARE(limited.jobs(queue).size(), queue == "Full" ? 1 : 0);
    }
};

QTEST_MAIN(TestCups)
#include "tst_cups.moc"
