// The system spooler against a private cupsd: the printers it lists, and every
// way a queue or the server can refuse a label, each of which must surface as
// a Failure naming the printer instead of a job that silently never prints.
// A server that cannot be reached at all is the batch program's test.

#include "Failure.h"
#include "PrivateCups.h"
#include "SystemSpooler.h"
#include "WindowChecks.h"

#include <QtTest>

#include <memory>

namespace {

PrintJob labelFor(const QString &printer)
{
    return {printer, QStringLiteral("TagFoundry spooler test"), 2,
            {WindowChecks::textOp(300, 80, QStringLiteral("AB-1234"), {QStringLiteral("Tahoma"), 20, false})}};
}

} // namespace

class TestCupsSpooler : public QObject {
    Q_OBJECT

    // One active job per queue, so a queue holding a job refuses the next
    // one only when the document has already been handed over.
    std::unique_ptr<PrivateCups> cups;
    QTemporaryDir home; // no ~/.cups/lpoptions of the user to pick another default

private slots:
    void initTestCase()
    {
        REQUIRE_PRIVATE_CUPS();
        cups = std::make_unique<PrivateCups>(QStringLiteral("MaxJobsPerPrinter 1"));
        QString error;
        QVERIFY2(cups->start(&error), qPrintable(error));
        for (const QString &queue : {"Label_Printer", "Rejecting", "Stopped", "Vanishing", "Full"})
            QVERIFY2(cups->addQueue(queue, queue + " description", PrivateCups::Media::Label, &error), qPrintable(error));
        for (const QStringList &command : QList<QStringList>{{"lpadmin", "-d", "Label_Printer"},
                                                             {"cupsreject", "-r", "out of labels", "Rejecting"},
                                                             {"cupsdisable", "-r", "paper jam", "Stopped"},
                                                             {"lpadmin", "-p", "Full", "-o", "job-hold-until-default=indefinite"}})
            QVERIFY2(cups->run(command, &error), qPrintable(error));
        // Before the first CUPS call of this process: libcups reads them once.
        qputenv("CUPS_SERVER", cups->server().toLocal8Bit());
        qputenv("HOME", home.path().toLocal8Bit());
        qunsetenv("PRINTER");
        qunsetenv("LPDEST");
    }

    void listsQueueNamesInTheSpoolersOrder()
    {
        QString output, error;
        QVERIFY2(cups->run({"lpstat", "-e"}, &error, &output), qPrintable(error));
        SystemSpooler spooler;
        QCOMPARE(spooler.printerNames(), output.split(QLatin1Char('\n'), Qt::SkipEmptyParts));
        QCOMPARE(spooler.defaultPrinterName(), QStringLiteral("Label_Printer"));
    }

    void refusalsFailNamingThePrinter_data()
    {
        QTest::addColumn<QString>("queue");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("jobsLeft"); // on the queue afterwards: nothing new must be waiting there
        QTest::newRow("queue rejects jobs") << "Rejecting" << "is not accepting jobs: out of labels" << 0;
        QTest::newRow("queue stopped: CUPS would keep the job") << "Stopped" << "is stopped: paper jam" << 0;
        QTest::newRow("queue deleted after the list was read") << "Vanishing" << "is no longer installed" << 0;
        // Accepting and idle, so only CUPS's answer to the submission shows it.
        QTest::newRow("job refused after it was sent") << "Full" << "refused the job: " << 1;
    }

    void refusalsFailNamingThePrinter()
    {
        QFETCH(QString, queue);
        QFETCH(QString, expected);
        QFETCH(int, jobsLeft);
        SystemSpooler spooler;
        QVERIFY(spooler.printerNames().contains(queue));
        QString error;
        if (queue == QLatin1String("Vanishing"))
            QVERIFY2(cups->run({"lpadmin", "-x", queue}, &error), qPrintable(error));
        if (queue == QLatin1String("Full")) {
            spooler.submit(labelFor(queue)); // held, and so still active
            QCOMPARE(cups->jobs(queue).size(), 1);
        }

        try {
            spooler.submit(labelFor(queue));
            QFAIL("the spooler reported a refused job as printed");
        } catch (const Failure &failure) {
            QVERIFY2(failure.message().startsWith(QStringLiteral("Printer \"%1\" ").arg(queue)),
                     qPrintable(failure.message()));
            QVERIFY2(failure.message().contains(expected), qPrintable(failure.message()));
        }
        QCOMPARE(cups->jobs(queue).size(), jobsLeft);
    }

    void cleanupTestCase() { cups.reset(); }
};

QTEST_MAIN(TestCupsSpooler)
#include "tst_cups_spooler.moc"
