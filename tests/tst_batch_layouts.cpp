// The batch: each label file under tests/data/batch/ printed in-process with
// both batch words on a recording spooler. Every job, operation, warning and
// failure is compared with <file>.jobs next to it.

#include "Failure.h"
#include "Golden.h"
#include "LabelFile.h"
#include "PrintStamp.h"
#include "RunBatch.h"
#include "TestPrinting.h"

#include <QtTest>

namespace {

const QDateTime kNow(QDate(2026, 12, 6), QTime(19, 29, 50));
const QString kFolder = QStringLiteral(TAGFOUNDRY_SOURCE_DIR "/tests/data/batch/");

// What a batch with `word` printed, then what it warned of and how it failed.
QString runBatch(TestPrinting &env, const QString &word)
{
    env.spooler.jobs.clear();
    QString text = "== " + word + '\n', said;
    try {
        RunBatch(env.printer, word, [&](const QString &warning) { said += warning + '\n'; });
    } catch (const Failure &failure) {
        said += "failed: " + failure.message() + '\n';
    }
    // The stamp's form is the locale's; its place and font are what is compared.
    text += env.spooler.jobsAsText().replace(PrintStamp(kNow), "<stamp>") + said;
    return text.replace(QDir::toNativeSeparators(LabelFile::path()), "labels.txt");
}

} // namespace

class TestBatchLayouts : public QObject {
    Q_OBJECT

    std::unique_ptr<TestPrinting> env;

private slots:
    void init()
    {
        env = std::make_unique<TestPrinting>();
        env->printer.clock().standAt(kNow);
    }
    void cleanup() { env.reset(); }

    void labelFilePrintsItsJobs_data()
    {
        QTest::addColumn<QString>("name");
        const QStringList files = QDir(kFolder).entryList({"*.txt"}, QDir::Files, QDir::Name);
        QVERIFY(!files.isEmpty());
        for (const QString &file : files)
            QTest::newRow(qPrintable(file)) << file.chopped(4);
    }

    void labelFilePrintsItsJobs()
    {
        QFETCH(QString, name);
        QFile file(kFolder + name + ".txt");
        env->writeDataFile("labels.txt", file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
        QVERIFY(Golden::matches("batch/" + name + ".jobs", runBatch(*env, "XLIST") + runBatch(*env, "BINS")));
    }

    // A refused job stops the run at its line and leaves nothing open; a missing
    // file is named with the system's own reason.
    void refusalAndMissingFileStopTheRun()
    {
        env->spooler.refuseJobs("queue stopped", 1);
        env->writeDataFile("labels.txt", "A,NONE,a,NONE,1\nB,NONE,b,NONE,1\nC,NONE,c,NONE,1\n");
        QString text = runBatch(*env, "XLIST");
        env->spooler.refuseJobs({}, -1);
        text += runBatch(*env, "BINS");
        QFile::remove(LabelFile::path());
        // Windows names a missing file in its own words.
        text += runBatch(*env, "XLIST").replace("File not found.", "No such file or directory");
        QVERIFY(Golden::matches("batch/refused-then-missing.jobs", text));
    }
};

QTEST_MAIN(TestBatchLayouts)
#include "tst_batch_layouts.moc"
