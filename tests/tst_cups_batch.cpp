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

struct BatchRun : ProgramRun {
    QList<PrivateCups::Job> newJobs; // jobs the run added to the spooler
};

// The words of each page as pdftotext -bbox reports them: the page size and
// each word's top-left corner, in points from the page's top-left.
struct Page {
    double width = 0, height = 0;
    QMap<QString, QPointF> words;
};

QList<Page> pagesOf(const QString &pdf)
{
    static const QRegularExpression tag(QStringLiteral(
        R"re(<page width="([\d.]+)" height="([\d.]+)">|<word xMin="([\d.]+)" yMin="([\d.]+)"[^>]*>([^<]*)</word>)re"));
    QList<Page> pages;
    for (const QRegularExpressionMatch &m : tag.globalMatch(runProgram("pdftotext", {"-bbox", pdf, "-"}).output)) {
        if (m.capturedLength(1))
            pages.append({m.captured(1).toDouble(), m.captured(2).toDouble(), {}});
        else if (!pages.isEmpty() && !pages.last().words.contains(m.captured(5)))
            pages.last().words.insert(m.captured(5), {m.captured(3).toDouble(), m.captured(4).toDouble()});
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
    static BatchRun runBatch(const PrivateCups &spooler, const QString &word, const QByteArray &labels,
                             const QString &saved, bool overTcp)
    {
        QTemporaryDir home;
        QDir(home.path()).mkpath(QStringLiteral("TagFoundry"));
        QDir(home.path()).mkpath(QStringLiteral(".config/TagFoundry"));
        QDir(home.path()).mkpath(QStringLiteral("runtime"));
        QFile::setPermissions(home.filePath(QStringLiteral("runtime")), QFile::Permissions(0x7700));
        QFile file(home.filePath(QStringLiteral("TagFoundry/labels.txt")));
        QFile settings(home.filePath(QStringLiteral(".config/TagFoundry/TagFoundry.conf")));
        if (!file.open(QIODevice::WriteOnly) || file.write(labels) != labels.size()
            || (!saved.isNull() && (!settings.open(QIODevice::WriteOnly) || settings.write("[Settings]\nPrinter=" + saved.toUtf8() + "\n") < 0)))
            return {};
        file.close();
        settings.close();

        QProcessEnvironment environment = spooler.clientEnvironment(overTcp);
        environment.insert(QStringLiteral("HOME"), home.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral(".config")));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.filePath(QStringLiteral("runtime")));
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(name));
        const QList<PrivateCups::Job> before = spooler.jobs();
        BatchRun run{runProgram(QStringLiteral(TAGFOUNDRY_EXECUTABLE), {word}, environment), {}};
        for (const PrivateCups::Job &job : spooler.jobs()) {
            if (before.isEmpty() || job.id > before.last().id)
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
        QVERIFY2(run.exitCode == 0, qPrintable(QStringLiteral("exit %1: %2").arg(run.exitCode).arg(run.errors)));
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
                QVERIFY2(pages[0].words.contains(text), qPrintable(text + QStringLiteral(" not on the page")));
                const QPointF found = pages[0].words[text];
                const QString where = QStringLiteral("%1 at (%2, %3) pt, layout (%4, %5) twips")
                                          .arg(text).arg(found.x()).arg(found.y()).arg(at.x()).arg(at.y());
                QVERIFY2(qAbs(found.x() - (media.left + at.x() / 20)) < 0.5, qPrintable(where));
                QVERIFY2(qAbs(found.y() - (media.top + at.y() / 20)) < 0.5, qPrintable(where));
            }
            for (int dpi : {203, 300}) {
                const QList<QImage> images = LabelImage::renderPdf(pdf, dpi);
                QCOMPARE(images.size(), 1);
                QCOMPARE(LabelImage::decodeCode39(images[0]), QStringList{kCodes[i]});
            }
        }
    }

    // Runs that print nothing or stop at a refused job: the exit code, the
    // report naming the record's line, and the jobs the spooler kept.
    void failedRunsSayWhy_data()
    {
        QTest::addColumn<QString>("saved");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<bool>("overTcp");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("kept"); // codes of the jobs left on the spooler, in order
        QTest::newRow("saved \"none\"") << "none" << "" << false << 2 << "nothing was printed" << QStringList();
        QTest::newRow("nothing saved") << QString() << "" << false << 2 << "nothing was printed" << QStringList();
        const QString rejected = "labels.txt line 1: Printer \"Label_Printer\" is not accepting jobs: out of labels";
        QTest::newRow("queue rejects jobs, socket") << kLabelQueue << "reject" << false << 1 << rejected << QStringList();
        QTest::newRow("queue rejects jobs, IPP on 127.0.0.1") << kLabelQueue << "reject" << true << 1 << rejected
                                                              << QStringList();
        // A spooler whose queue takes at most two active jobs, held: it
        // refuses the third once sent, and the fourth record is never sent.
        QTest::newRow("job refused mid-run") << kLabelQueue << "limit" << true << 1
                                             << "labels.txt line 4: Printer \"Label_Printer\" refused the job"
                                             << QStringList{kCodes[0], kCodes[1]};
    }

    void failedRunsSayWhy()
    {
        QFETCH(QString, saved);
        QFETCH(QString, setup);
        QFETCH(bool, overTcp);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QFETCH(QStringList, kept);
        QString error;
        std::unique_ptr<PrivateCups> limited;
        if (setup == "limit") {
            limited = std::make_unique<PrivateCups>("MaxJobsPerPrinter 2");
            QVERIFY2(limited->start(&error) && limited->addQueue(kLabelQueue, "Label Printer", PrivateCups::Media::Label, &error)
                         && limited->run({"lpadmin", "-p", kLabelQueue, "-o", "job-hold-until-default=indefinite"}, &error),
                     qPrintable(error));
        }
        if (setup == "reject")
            QVERIFY2(cups->run({"cupsreject", "-r", "out of labels", kLabelQueue}, &error), qPrintable(error));
        const BatchRun run = runBatch(limited ? *limited : *cups, "XLIST", kLabels + "LAST-ONE,R1,Never sent,NONE,1\r\n",
                                      saved, overTcp);
        if (setup == "reject")
            QVERIFY2(cups->run({"cupsaccept", kLabelQueue}, &error), qPrintable(error));

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
