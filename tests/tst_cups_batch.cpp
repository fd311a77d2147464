// End to end through a real spooler: the built program in batch mode, run as
// a user would (its own HOME, no display), printing to a private cupsd with
// the queues Label_Printer (label media with an unprintable border) and
// Office (A4, the spooler's default), reached through its socket or over IPP
// on 127.0.0.1 as a shop's shared print server is. What arrives is read back
// from the spooler: the jobs through IPP, the documents from its spool.

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

struct Media {
    double width, height, left, top;
};
const Media kLabelMedia{PrivateCups::kLabelWidth, PrivateCups::kLabelHeight, PrivateCups::kLabelLeft,
                        PrivateCups::kLabelTop};
const Media kStockMedia{PrivateCups::kStockWidth, PrivateCups::kStockHeight, 0, 0};

struct BatchRun {
    int exitCode = -1;
    QString standardError;
    QList<PrivateCups::Job> newJobs; // jobs the run added to the spooler
};

// A word of the page as pdftotext -bbox reports it, in points from the top-left.
struct Word {
    QString text;
    double x = 0, y = 0;
};

struct Page {
    double width = 0, height = 0;
    QList<Word> words;
};

QList<Page> pagesOf(const QString &pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    process.waitForFinished(30000);
    const QString html = QString::fromUtf8(process.readAllStandardOutput());
    static const QRegularExpression pageTag(QStringLiteral(R"re(<page width="([\d.]+)" height="([\d.]+)">)re"));
    static const QRegularExpression wordTag(
        QStringLiteral(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="[\d.]+" yMax="[\d.]+">([^<]*)</word>)re"));
    QList<Page> pages;
    for (const QString &line : html.split(QLatin1Char('\n'))) {
        if (const QRegularExpressionMatch m = pageTag.match(line); m.hasMatch())
            pages.append({m.captured(1).toDouble(), m.captured(2).toDouble(), {}});
        else if (const QRegularExpressionMatch w = wordTag.match(line); w.hasMatch() && !pages.isEmpty())
            pages.last().words.append({w.captured(3), w.captured(1).toDouble(), w.captured(2).toDouble()});
    }
    return pages;
}

// Where the layout puts the first word of each element of a record (twips
// from the printable corner), for the elements whose text is known.
QList<QPair<QString, QPointF>> layoutWords(const QString &word, int record)
{
    const bool bins = word == QLatin1String("BINS");
    QList<QPair<QString, QPointF>> words = {{kCodes[record], {300, 80}}};
    static const QStringList references = {QStringLiteral("R12-A"), QString(), QStringLiteral("STOCK")};
    static const QStringList descriptions = {QStringLiteral("DIVERTER"), QStringLiteral("CIRCULATING"),
                                             QStringLiteral("RADIATOR")};
    if (!references[record].isEmpty())
        words.append(bins ? qMakePair(QStringLiteral("VHQ:"), QPointF(160, 600))
                          : qMakePair(references[record], QPointF(160, 1800)));
    words.append({descriptions[record], bins ? QPointF(160, 1000) : QPointF(160, 600)});
    if (record == 0)
        words.append({QStringLiteral("NOTE:"), {3500, 2100}});
    if (bins)
        words.append({QStringLiteral("Veltrane"), {750, 2500}});
    return words;
}

} // namespace

class TestCupsBatch : public QObject {
    Q_OBJECT

    std::unique_ptr<PrivateCups> cups;

    // Runs `tagfoundry word` with its own HOME holding labels.txt and the
    // saved printer (none saved when `saved` is null), against `spooler`.
    BatchRun runBatch(const PrivateCups &spooler, const QString &word, const QByteArray &labels,
                      const QString &saved, bool overTcp)
    {
        BatchRun run;
        QTemporaryDir home;
        QDir(home.path()).mkpath(QStringLiteral("TagFoundry"));
        QDir(home.path()).mkpath(QStringLiteral(".config/TagFoundry"));
        QDir(home.path()).mkpath(QStringLiteral("runtime"));
        QFile::setPermissions(home.filePath(QStringLiteral("runtime")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile file(home.filePath(QStringLiteral("TagFoundry/labels.txt")));
        if (!file.open(QIODevice::WriteOnly) || file.write(labels) != labels.size())
            return run;
        file.close();
        if (!saved.isNull()) {
            QFile settings(home.filePath(QStringLiteral(".config/TagFoundry/TagFoundry.conf")));
            if (!settings.open(QIODevice::WriteOnly))
                return run;
            settings.write("[Settings]\nPrinter=" + saved.toUtf8() + "\n");
        }

        QProcessEnvironment environment = spooler.clientEnvironment(overTcp);
        environment.insert(QStringLiteral("HOME"), home.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral(".config")));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.filePath(QStringLiteral("runtime")));
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(name));

        const QList<PrivateCups::Job> before = spooler.jobs();
        const int lastId = before.isEmpty() ? 0 : before.last().id;
        QProcess program;
        program.setProcessEnvironment(environment);
        program.setWorkingDirectory(home.path());
        program.start(QStringLiteral(TAGFOUNDRY_EXECUTABLE), {word});
        if (!program.waitForFinished(120000) || program.exitStatus() != QProcess::NormalExit)
            return run;
        run.exitCode = program.exitCode();
        run.standardError = QString::fromLocal8Bit(program.readAllStandardError());
        for (const PrivateCups::Job &job : spooler.jobs()) {
            if (job.id > lastId)
                run.newJobs.append(job);
        }
        return run;
    }

private slots:
    void initTestCase()
    {
        REQUIRE_PRIVATE_CUPS();
        cups = std::make_unique<PrivateCups>();
        QString error;
        QVERIFY2(cups->start(&error), qPrintable(error));
        QVERIFY2(cups->addQueue(kLabelQueue, QStringLiteral("Label Printer"), PrivateCups::Media::Label, &error),
                 qPrintable(error));
        QVERIFY2(cups->addQueue(kOfficeQueue, QStringLiteral("Office"), PrivateCups::Media::Stock, &error),
                 qPrintable(error));
        QVERIFY2(cups->setDefault(kOfficeQueue, &error), qPrintable(error));
    }

    void everyRecordArrivesAsItsOwnJob_data()
    {
        QTest::addColumn<bool>("overTcp");
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("saved");
        QTest::addColumn<QString>("queue");
        QTest::addColumn<bool>("labelMedia");
        QTest::newRow("socket, XLIST, saved queue") << false << "XLIST" << kLabelQueue << kLabelQueue << true;
        QTest::newRow("socket, BINS, saved queue") << false << "BINS" << kLabelQueue << kLabelQueue << true;
        // The description is not the name the spooler knows the queue by.
        QTest::newRow("socket, description saved: default queue")
            << false << "XLIST" << "Label Printer" << kOfficeQueue << false;
        QTest::newRow("IPP on 127.0.0.1, XLIST, saved queue") << true << "XLIST" << kLabelQueue << kLabelQueue << true;
        QTest::newRow("IPP on 127.0.0.1, BINS, letter case differs: default queue")
            << true << "BINS" << "label_printer" << kOfficeQueue << false;
    }

    void everyRecordArrivesAsItsOwnJob()
    {
        QFETCH(bool, overTcp);
        QFETCH(QString, word);
        QFETCH(QString, saved);
        QFETCH(QString, queue);
        QFETCH(bool, labelMedia);
        const Media media = labelMedia ? kLabelMedia : kStockMedia;

        const BatchRun run = runBatch(*cups, word, kLabels, saved, overTcp);
        QVERIFY2(run.exitCode == 0, qPrintable(QStringLiteral("exit %1: %2").arg(run.exitCode).arg(run.standardError)));
        QCOMPARE(run.newJobs.size(), kCodes.size());
        for (int i = 0; i < kCodes.size(); ++i) {
            const PrivateCups::Job &job = run.newJobs[i];
            QCOMPARE(job.queue, queue);
            QCOMPARE(job.title, QStringLiteral("TagFoundry %1 %2").arg(word, kCodes[i]));
            QCOMPARE(job.copies, kCopies[i]);

            // The document as the program sent it: one page, the copies
            // being the job's attribute, on the queue's default media.
            const QString pdf = cups->spooledFile(job.id);
            const QList<Page> pages = pagesOf(pdf);
            QCOMPARE(pages.size(), 1);
            QCOMPARE(pages[0].width, media.width);
            QCOMPARE(pages[0].height, media.height);
            // 20 twips to the point, from the printable corner of the media.
            for (const auto &[text, at] : layoutWords(word, i)) {
                const auto found = std::find_if(pages[0].words.begin(), pages[0].words.end(),
                                                [&](const Word &w) { return w.text == text; });
                QVERIFY2(found != pages[0].words.end(), qPrintable(text + QStringLiteral(" not on the page")));
                const QString where = QStringLiteral("%1 at (%2, %3) pt, layout (%4, %5) twips")
                                          .arg(text).arg(found->x).arg(found->y).arg(at.x()).arg(at.y());
                QVERIFY2(qAbs(found->x - (media.left + at.x() / 20)) < 0.5, qPrintable(where));
                QVERIFY2(qAbs(found->y - (media.top + at.y() / 20)) < 0.5, qPrintable(where));
            }
            for (int dpi : {203, 300}) {
                const QList<QImage> images = LabelImage::renderPdf(pdf, dpi);
                QCOMPARE(images.size(), 1);
                QCOMPARE(LabelImage::decodeCode39(images[0]), QStringList{kCodes[i]});
            }
        }
    }

    void noSavedPrinterSendsNothing_data()
    {
        QTest::addColumn<QString>("saved");
        QTest::newRow("saved \"none\"") << "none";
        QTest::newRow("nothing saved") << QString();
    }

    void noSavedPrinterSendsNothing()
    {
        QFETCH(QString, saved);
        const BatchRun run = runBatch(*cups, QStringLiteral("XLIST"), kLabels, saved, false);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.standardError.contains(QStringLiteral("nothing was printed")), qPrintable(run.standardError));
        QCOMPARE(run.newJobs.size(), 0);
    }

    void refusingQueueStopsTheBatch_data()
    {
        QTest::addColumn<bool>("overTcp");
        QTest::newRow("socket") << false;
        QTest::newRow("IPP on 127.0.0.1") << true;
    }

    // A queue that rejects jobs from the start: the first record's line is
    // reported and nothing reaches the spooler.
    void refusingQueueStopsTheBatch()
    {
        QFETCH(bool, overTcp);
        QString error;
        QVERIFY2(cups->reject(kLabelQueue, QStringLiteral("out of labels"), &error), qPrintable(error));
        const BatchRun run = runBatch(*cups, QStringLiteral("BINS"), kLabels, kLabelQueue, overTcp);
        QVERIFY2(cups->accept(kLabelQueue, &error), qPrintable(error));

        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.standardError.contains(QStringLiteral("labels.txt line 1: Printer \"Label_Printer\" is not "
                                                           "accepting jobs: out of labels")),
                 qPrintable(run.standardError));
        QCOMPARE(run.newJobs.size(), 0);
    }

    // A spooler that takes two jobs and refuses the third once the program
    // has sent it (each queue holds at most two active jobs, and they stay
    // held): the two labels stay queued, the third record's line is
    // reported, and the record after it is never sent.
    void jobRefusedMidRunKeepsTheLabelsBefore()
    {
        PrivateCups limited({QStringLiteral("MaxJobsPerPrinter 2")});
        QString error;
        QVERIFY2(limited.start(&error), qPrintable(error));
        QVERIFY2(limited.addQueue(kLabelQueue, QStringLiteral("Label Printer"), PrivateCups::Media::Label, &error),
                 qPrintable(error));
        QVERIFY2(limited.holdNewJobs(kLabelQueue, &error), qPrintable(error));
        const QByteArray labels = kLabels + "LAST-ONE,R1,Never sent,NONE,1\r\n";

        const BatchRun run = runBatch(limited, QStringLiteral("XLIST"), labels, kLabelQueue, true);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.standardError.contains(QStringLiteral("labels.txt line 4: Printer \"Label_Printer\" refused the job")),
                 qPrintable(run.standardError));
        QCOMPARE(run.newJobs.size(), 2);
        QCOMPARE(run.newJobs[0].title, QStringLiteral("TagFoundry XLIST VLV-2201"));
        QCOMPARE(run.newJobs[1].title, QStringLiteral("TagFoundry XLIST PMP-15-60"));
        for (const PrivateCups::Job &job : run.newJobs)
            QCOMPARE(job.state, QStringLiteral("pending-held"));
    }

    void spoolerPrintedEveryJob()
    {
        // The queues themselves got through every document they were sent.
        QString error;
        QVERIFY2(cups->waitUntilIdle(120000, &error), qPrintable(error));
        const QList<PrivateCups::Job> all = cups->jobs();
        QVERIFY(!all.isEmpty());
        for (const PrivateCups::Job &job : all)
            QVERIFY2(job.state == QLatin1String("completed"), qPrintable(QStringLiteral("job %1 %2").arg(job.id).arg(job.state)));
    }

    void cleanupTestCase() { cups.reset(); }
};

QTEST_MAIN(TestCupsBatch)
#include "tst_cups_batch.moc"
