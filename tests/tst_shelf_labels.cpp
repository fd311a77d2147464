// The shelf label run: the three prompts, one job per shelf in rack then
// shelf order, the codes and barcodes on every label, and the runs that must
// not print (counts that are not numbers) or must be stoppable (long runs).

#include "MainWindow.h"
#include "LabelFonts.h"
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

using WindowChecks::textOp;

class TestShelfLabels : public QObject {
    Q_OBJECT

    std::unique_ptr<TestPrinting> env;

private slots:
    void initTestCase() { LabelFonts::ensureInstalled(); }
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

    // `warned`: the parts the one warning must name; none: no warning.
    void run_data()
    {
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("racks");
        QTest::addColumn<QString>("shelves");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QStringList>("warned");
        const QStringList none;
        QTest::newRow("C, 2 by 3") << "C" << "2" << "3" << QStringList{"C1A", "C1B", "C1C", "C2A", "C2B", "C2C"} << none;
        QTest::newRow("empty row") << "" << "2" << "2" << QStringList{"1A", "1B", "2A", "2B"} << none;
        QTest::newRow("0 shelves") << "C" << "3" << "0" << none << none;
        QTest::newRow("racks Cancel") << "C" << "" << "3" << none << QStringList{"Please Enter the number of Racks", "empty"};
        QTest::newRow("both wrong, both named") << "C" << "a" << "3x" << none
                                                << QStringList{"Racks", "\"a\"", "Shelves", "\"3x\""};
    }

    void run()
    {
        QFETCH(QString, row);
        QFETCH(QString, racks);
        QFETCH(QString, shelves);
        QFETCH(QStringList, expected);
        QFETCH(QStringList, warned);
        ScriptedPrompts prompts(&env->spooler);
        prompts.answers << row << racks << shelves;
        MainWindow form;
        QTest::mouseClick(form.shelvesButton, Qt::LeftButton);

        QStringList asked; // all three are asked before anything is checked or printed
        for (const ScriptedPrompts::Asked &input : prompts.inputs)
            asked << input.text + " / " + input.title;
        QCOMPARE(asked, QStringList({"Please Enter the Row / Enter Row",
                                     "Please Enter the number of Racks / Number of Racks",
                                     "Please Enter the number of Shelves / Number of Shelves"}));
        QCOMPARE(prompts.warnings.size(), warned.isEmpty() ? 0 : 1);
        for (const QString &part : warned)
            QVERIFY2(prompts.warnings[0].contains(part), qPrintable(prompts.warnings[0]));

        QCOMPARE(env->spooler.jobs.size(), expected.size());
        for (qsizetype i = 0; i < expected.size(); ++i) {
            const PrintJob &job = env->spooler.jobs[i];
            QCOMPARE(job.printerName, QStringLiteral("Label Printer"));
            QCOMPARE(job.copies, 1);
            QCOMPARE(job.ops, QList<PrintOp>({textOp(160, 500, expected[i], {"Tahoma", 40, false}),
                                              textOp(160, 1500, "*SHELF-" + expected[i] + "*", {"Free 3 of 9", 30, false})}));
            // What a scanner reads off the label (small letters are drawn as capitals).
            QCOMPARE(LabelImage::decodeCode39(job, 203), QStringList{"SHELF-" + expected[i].toUpper()});
        }
    }

    void longRunShowsProgressAndCancelStopsBeforeTheNextLabel()
    {
        ScriptedPrompts prompts(&env->spooler);
        prompts.answers << "G" << "3" << "20"; // 60 labels
        MainWindow form;
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
        QTest::mouseClick(form.shelvesButton, Qt::LeftButton);
        canceller.stop();
        QCOMPARE(title, QStringLiteral("Shelf Labels"));
        QCOMPARE(env->spooler.jobs.size(), 5);
        QCOMPARE(env->spooler.jobs.last().ops[0].text, QStringLiteral("G1E"));
        QVERIFY(prompts.warnings.isEmpty());
    }
};

QTEST_MAIN(TestShelfLabels)
#include "tst_shelf_labels.moc"

