// The shelf label run: the three prompts, one job per shelf in rack then
// shelf order, the codes and barcodes on every label, and the runs that must
// not print (counts that are not numbers) or must be stoppable (long runs).

#include "Form1.h"
#include "Golden.h"
#include "LabelImage.h"
#include "ScriptedPrompts.h"
#include "ShelfLabels.h"
#include "TestPrinting.h"
#include "WindowChecks.h"

#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <memory>

class TestShelfLabels : public QObject {
    Q_OBJECT

    std::unique_ptr<TestPrinting> env;

private slots:
    void init()
    {
        env = std::make_unique<TestPrinting>();
        env->savePrinter(QStringLiteral("Label Printer"));
    }
    void cleanup() { env.reset(); }

    // After Z the letters go on as AA, AB, ..., never repeating Z.
    void shelfLetters()
    {
        const QList<std::pair<qint64, QString>> cases = {{26, "Z"}, {27, "AA"}, {52, "AZ"}, {53, "BA"}, {702, "ZZ"}, {703, "AAA"}};
        for (const auto &[shelf, letters] : cases)
            QCOMPARE(ShelfLetters(shelf), letters);
    }

    // All three prompts come before anything is checked or printed; a count
    // that is not a number prints nothing and the one warning names it. The
    // prompts and jobs of each run are in tests/data/shelves-<run>.txt.
    void run_data()
    {
        QTest::addColumn<QStringList>("answers");
        QTest::newRow("C-2-by-3") << QStringList{"C", "2", "3"};
        QTest::newRow("empty-row") << QStringList{"", "2", "2"};
        QTest::newRow("0-shelves") << QStringList{"C", "3", "0"};
        QTest::newRow("racks-cancelled") << QStringList{"C", "", "3"};
        QTest::newRow("both-wrong") << QStringList{"C", "a", "3x"};
    }
    void run()
    {
        QFETCH(QStringList, answers);
        ScriptedPrompts prompts(&env->spooler);
        for (const QString &answer : answers)
            prompts.answers << answer;
        Form1 form;
        QTest::mouseClick(form.Command2, Qt::LeftButton);
        QVERIFY(Golden::matches(QStringLiteral("shelves-%1.txt").arg(QTest::currentDataTag()), prompts.transcript()));
        for (const PrintJob &job : env->spooler.jobs) { // what a scanner reads is what the label says
            const QString barcode = job.ops.value(1).text;
            QCOMPARE(LabelImage::decodeCode39(job, 203), QStringList{barcode.mid(1, barcode.size() - 2).toUpper()});
        }
    }

    void longRunShowsProgressAndCancelStopsBeforeTheNextLabel()
    {
        ScriptedPrompts prompts(&env->spooler);
        prompts.answers << "G" << "3" << "20"; // 60 labels
        Form1 form;
        form.show();
        QString title;
        QTimer canceller;
        connect(&canceller, &QTimer::timeout, [&] {
            auto *progress = qobject_cast<QProgressDialog *>(QApplication::activeModalWidget());
            if (progress && env->spooler.jobs.size() >= 5) {
                title = progress->windowTitle();
                QTest::mouseClick(progress->findChild<QPushButton *>(), Qt::LeftButton);
            }
        });
        canceller.start(0);
        QTest::mouseClick(form.Command2, Qt::LeftButton);
        canceller.stop();
        QCOMPARE(title, QStringLiteral("Shelf Labels"));
        QCOMPARE(env->spooler.jobs.size(), 5);
        QCOMPARE(env->spooler.jobs.last().ops[0].text, QStringLiteral("G1E"));
        QCOMPARE(prompts.log.filter(QStringLiteral("warn")), QStringList());
    }
};

QTEST_MAIN(TestShelfLabels)
#include "tst_shelf_labels.moc"

