// End to end through a real spooler: the built program in batch mode, run as
// a user would (its own HOME, no display), printing to a private cupsd with
// the queues Label_Printer (label media with an unprintable border) and
// Office (A4, the spooler's default), reached through its socket or over IPP
// on 127.0.0.1 as a shop's shared print server is. What arrives is read back
// from the spooler: the jobs through IPP, the documents from its spool, their
// ink compared with the built-in PDF printer's pages of the same records.

#include "LabelImage.h"
#include "PrivateCups.h"

#include <QtTest>

#include <memory>

namespace {

const QString kLabelQueue = QStringLiteral("Label_Printer");
const QString kOfficeQueue = QStringLiteral("Office");

// Three records, a skip line among them; copies 2, 1 and 3.
const QByteArray kLabels = "VLV-2201,R12-A,Diverter valve cartridge,NOTE: FRAGILE,2\r\n"
                           "NONE,this line is skipped\r\n"
                           "PMP-15-60,NONE,Circulating pump 15-60,NONE,1\r\n"
                           "TRV-10-LOCKSHIELD-A,STOCK,Radiator valve,NONE,3\r\n";
const QStringList kCodes = {QStringLiteral("VLV-2201"), QStringLiteral("PMP-15-60"),
                            QStringLiteral("TRV-10-LOCKSHIELD-A")};
const QList<int> kCopies = {2, 1, 3};

struct BatchRun : ProgramRun {
    QList<PrivateCups::Job> newJobs; // jobs the run added to the spooler
};

// Places on the label, in points from its printable corner, that hold one
// text each in both layouts: the code (frame and reference outside it), and
// the first record's bold note.
const QRectF kCodeArea(13, 6, 137, 22);
const QRectF kNoteArea(170, 102.5, 100, 17.5);

// Pages rendered at 288 dpi, 4 pixels to the point.
constexpr int kDpi = 288;

} // namespace

class TestCupsBatch : public QObject {
    Q_OBJECT

    std::unique_ptr<PrivateCups> cups;

    // Runs `tagfoundry word` with its own HOME holding labels.txt and the
    // saved printer (none saved when `saved` is null), against `spooler`.
    static BatchRun runBatch(const PrivateCups &spooler, const QString &word, const QByteArray &labels,
                             const QString &saved, bool overTcp)
    {
        QTemporaryDir home;
        const qsizetype before = spooler.jobs().size();
        BatchRun run{runProgram(QStringLiteral(TAGFOUNDRY_EXECUTABLE), {word},
                                batchHome(home.path(), labels, saved, spooler.clientEnvironment(overTcp))),
                     {}};
        run.newJobs = spooler.jobs().mid(before);
        return run;
    }

private slots:
    void initTestCase()
    {
        REQUIRE_PRIVATE_CUPS();
        cups = std::make_unique<PrivateCups>();
        QString error;
        QVERIFY2(cups->start(&error), qPrintable(error));
        QVERIFY2(cups->addQueue(kLabelQueue, "Label Printer", PrivateCups::Media::Label, &error)
                     && cups->addQueue(kOfficeQueue, "Office", PrivateCups::Media::Stock, &error)
                     && cups->run({"lpadmin", "-d", kOfficeQueue}, &error),
                 qPrintable(error));
    }

    void everyRecordArrivesAsItsOwnJob_data()
    {
        QTest::addColumn<bool>("overTcp");
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("saved");
        QTest::addColumn<QString>("queue");
        QTest::newRow("IPP on 127.0.0.1, BINS, saved queue") << true << "BINS" << kLabelQueue << kLabelQueue;
        // The description is not the name the spooler knows the queue by.
        QTest::newRow("socket, XLIST, description saved: default queue")
            << false << "XLIST" << "Label Printer" << kOfficeQueue;
    }

    void everyRecordArrivesAsItsOwnJob()
    {
        QFETCH(bool, overTcp);
        QFETCH(QString, word);
        QFETCH(QString, saved);
        QFETCH(QString, queue);
        using P = PrivateCups;
        const bool label = queue == kLabelQueue;
        const QPointF corner = label ? QPointF(P::kLabelLeft, P::kLabelTop) : QPointF();

        // The same records on the built-in PDF printer, a page each.
        QList<QImage> builtIn;
        {
            QTemporaryDir home;
            const ProgramRun reference = runProgram(QStringLiteral(TAGFOUNDRY_EXECUTABLE), {word},
                                                    batchHome(home.path(), kLabels, QStringLiteral("TagFoundry PDF"),
                                                              cups->clientEnvironment(overTcp)));
            QVERIFY2(reference.exitCode == 0, qPrintable(reference.errors));
            const QDir printed(home.filePath(QStringLiteral("TagFoundry/printed")));
            for (const QString &name : printed.entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name))
                builtIn.append(LabelImage::renderPdf(printed.filePath(name), kDpi).value(0));
            QCOMPARE(builtIn.size(), kCodes.size());
        }
        const BatchRun run = runBatch(*cups, word, kLabels, saved, overTcp);
        QVERIFY2(run.exitCode == 0, qPrintable(QStringLiteral("exit %1: %2").arg(run.exitCode).arg(run.errors)));
        // A saved printer that was not found is one line naming it and the printer used.
        const QString notFound = QStringLiteral("tagfoundry: the saved label printer \"%1\" was not found; printing on \"%2\", "
                                                "the default printer\n").arg(saved, queue);
        QCOMPARE(run.errors, saved == queue ? QString() : notFound);
        QCOMPARE(run.newJobs.size(), kCodes.size());
        for (int i = 0; i < kCodes.size(); ++i) {
            const PrivateCups::Job &job = run.newJobs[i];
            QCOMPARE(job.queue, queue);
            QCOMPARE(job.title, QStringLiteral("TagFoundry %1 %2").arg(word, kCodes[i]));
            QCOMPARE(job.copies, kCopies[i]);

            // The document as the program sent it: one page, the copies
            // being the job's attribute, on the queue's default media.
            const QString pdf = cups->spooledFile(job.id);
            const QList<QImage> pages = LabelImage::renderPdf(pdf, kDpi);
            QCOMPARE(pages.size(), 1);
            QCOMPARE(QSizeF(pages[0].size()) / 4, label ? QSizeF(P::kLabelWidth, P::kLabelHeight) : QSizeF(P::kStockWidth, P::kStockHeight));
            // The ink lands where the built-in printer puts it, from the
            // printable corner of the media: the code, and the note far from
            // it, so that a shift or a scale shows.
            QList<QRectF> areas = {kCodeArea};
            if (i == 0)
                areas.append(kNoteArea);
            for (const QRectF &area : areas) {
                const QRectF sent = LabelImage::inkIn(pages[0], kDpi, corner, area);
                const QRectF expected = LabelImage::inkIn(builtIn.value(i), kDpi, QPointF(), area);
                QVERIFY(!expected.isEmpty());
                const QMarginsF off(sent.left() - expected.left(), sent.top() - expected.top(),
                                    sent.right() - expected.right(), sent.bottom() - expected.bottom());
                QVERIFY2(qAbs(off.left()) < 0.5 && qAbs(off.top()) < 0.5 && qAbs(off.right()) < 0.5
                             && qAbs(off.bottom()) < 0.5,
                         qPrintable(QStringLiteral("%1: ink at (%2, %3)-(%4, %5) pt, the built-in printer's at (%6, %7)-(%8, %9)")
                                        .arg(kCodes[i]).arg(sent.left()).arg(sent.top()).arg(sent.right()).arg(sent.bottom())
                                        .arg(expected.left()).arg(expected.top()).arg(expected.right()).arg(expected.bottom())));
            }
            QCOMPARE(LabelImage::decodeCode39(LabelImage::renderPdf(pdf, 203).value(0)), QStringList{kCodes[i]});
        }
    }

    // Runs that print nothing or stop at a job the spooler refuses, on a
    // spooler whose label queue is its default and takes at most two active
    // jobs, held: it refuses the third once sent, and the fourth record is
    // never sent. The exit code, the report naming the record's line, and
    // the jobs the spooler kept.
    void failedRunsSayWhy_data()
    {
        QTest::addColumn<QString>("saved");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("kept"); // codes of the jobs left on the spooler, in order
        QTest::newRow("saved \"none\"") << "none" << 2 << "nothing was printed" << QStringList();
        QTest::newRow("job refused mid-run") << kLabelQueue << 1
                                             << "labels.txt line 4: Printer \"Label_Printer\" refused the job"
                                             << QStringList{kCodes[0], kCodes[1]};
    }

    void failedRunsSayWhy()
    {
        QFETCH(QString, saved);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QFETCH(QStringList, kept);
        PrivateCups limited("MaxJobsPerPrinter 2");
        QString error;
        QVERIFY2(limited.start(&error) && limited.addQueue(kLabelQueue, "Label Printer", PrivateCups::Media::Label, &error)
                     && limited.run({"lpadmin", "-d", kLabelQueue}, &error)
                     && limited.run({"lpadmin", "-p", kLabelQueue, "-o", "job-hold-until-default=indefinite"}, &error),
                 qPrintable(error));
        const BatchRun run = runBatch(limited, "XLIST", kLabels + "LAST-ONE,R1,Never sent,NONE,1\r\n", saved, true);

        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.errors.contains(message), qPrintable(run.errors));
        QCOMPARE(run.newJobs.size(), kept.size());
        for (int i = 0; i < kept.size(); ++i) {
            QCOMPARE(run.newJobs[i].title, "TagFoundry XLIST " + kept[i]);
            QCOMPARE(run.newJobs[i].state, QStringLiteral("pending-held"));
        }
    }

    // The queues themselves got through every document they were sent.
    void spoolerPrintedEveryJob()
    {
        const auto busy = [this] {
            const QList<PrivateCups::Job> all = cups->jobs();
            return all.isEmpty() || std::any_of(all.begin(), all.end(), [](const PrivateCups::Job &job) {
                       return job.state == "pending" || job.state.startsWith("processing");
                   });
        };
        QTRY_VERIFY_WITH_TIMEOUT(!busy(), 120000);
        for (const PrivateCups::Job &job : cups->jobs())
            QVERIFY2(job.state == "completed", qPrintable(QStringLiteral("job %1 %2").arg(job.id).arg(job.state)));
    }

    void cleanupTestCase() { cups.reset(); }
};

QTEST_MAIN(TestCupsBatch)
#include "tst_cups_batch.moc"
