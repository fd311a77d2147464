// A batch's labels on their way to a spooler that holds its jobs: when each
// label's warnings are given, and which line a failure names. The rows are a
// table under tests/data/tables/.

#include "Failure.h"
#include "Golden.h"
#include "PendingLabels.h"
#include "Spooler.h"

#include <QtTest>

using namespace Qt::StringLiterals;

// A spooler that finishes the jobs handed over when the test says so. A job
// that failed is reported as a LateFailure by every submit() from then on,
// and by finishJobs().
class HoldingSpooler : public Spooler {
public:
    QStringList printerNames() const override { return {u"Holding"_s}; }
    QString defaultPrinterName() const override { return {}; }
    LabelReceipt submit(const PrintJob &) override
    {
        throwIfFailed();
        ++handed;
        return {};
    }
    bool holdJobs() override { return holds; }
    qsizetype jobsFinished() override { return finished; }
    void finishJobs() override
    {
        throwIfFailed();
        finished = handed;
    }

    void throwIfFailed()
    {
        if (failed >= 0) {
            finished = failed;
            throw LateFailure(Failure(u"could not write"_s), failed);
        }
    }

    bool holds = true;
    qsizetype handed = 0, finished = 0, failed = -1;
};

class TestPendingLabels : public QObject {
    Q_OBJECT

private slots:
    void warningsAndFailures_data() { Golden::addRows(u"tables/pending-labels.txt"_s); }
    void warningsAndFailures()
    {
        QFETCH(QString, input);
        QFETCH(QString, output);
        HoldingSpooler spooler;
        spooler.holds = input.startsWith(u"held: "_s);
        QStringList said;
        try {
            PendingLabels labels(&spooler, u"labels.txt"_s, [&](const QString &warning) { said << warning; });
            for (const QString &event : input.section(u": "_s, 1).split(u' ')) {
                said << event;
                if (event == u"end"_s) {
                    labels.finish();
                } else if (event.startsWith(u"done"_s) || event.startsWith(u"fail"_s)) {
                    (event.startsWith(u"done"_s) ? spooler.finished : spooler.failed) = event.mid(4).toInt();
                } else {
                    const int line = QString(event).remove(u'!').mid(1).toInt();
                    labels.print(line, [&] {
                        if (event.endsWith(u'!'))
                            throw Failure(u"bad copies"_s);
                        spooler.submit({});
                        return QStringList{u"w%1"_s.arg(line)};
                    });
                }
            }
        } catch (const Failure &failure) {
            said << u"failed: "_s + failure.message().section(u"labels.txt "_s, 1);
        }
        QVERIFY(Golden::rowMatches(u"tables/pending-labels.txt"_s, input, output, said.join(u' ')));
    }
};

QTEST_MAIN(TestPendingLabels)
#include "tst_pending_labels.moc"
