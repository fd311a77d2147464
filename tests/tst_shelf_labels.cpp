// The shelf label run: the three prompts, one job per shelf in rack then
// shelf order, the codes and barcodes on every label, and the runs that must
// not print (counts that are not numbers) or must be stoppable (long runs).

#include "Form1.h"
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

namespace {

// Codes for `racks` racks of the listed shelf letters.
QStringList codes(const QString &row, int racks, const QStringList &letters)
{
    QStringList result;
    for (int rack = 1; rack <= racks; ++rack)
        for (const QString &letter : letters)
            result.append(row + QString::number(rack) + letter);
    return result;
}

QStringList alphabet(QStringList more = {})
{
    QStringList letters;
    for (char c = 'A'; c <= 'Z'; ++c)
        letters.append(QString(QChar(c)));
    return letters + more;
}

} // namespace

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

    // Beyond what a run of shelves reasonably reaches.
    void shelfLetters()
    {
        const QList<std::pair<qint64, QString>> cases = {{52, "AZ"}, {53, "BA"}, {702, "ZZ"}, {703, "AAA"}};
        for (const auto &[shelf, letters] : cases)
            QCOMPARE(ShelfLetters(shelf), letters);
    }

    // `warned`: the parts the one warning must name; none: no warning.
    void run_data()
    {
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("racks");
        QTest::addColumn<QString>("shelves");
        QTest::addColumn<int>("refuseFrom"); // the printer refuses jobs from this one on; -1: never
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QStringList>("warned");
        const QStringList none;
        QTest::newRow("C, 2 by 3") << "C" << "2" << "3" << -1 << QStringList{"C1A", "C1B", "C1C", "C2A", "C2B", "C2C"} << none;
        QTest::newRow("empty row") << "" << "2" << "2" << -1 << QStringList{"1A", "1B", "2A", "2B"} << none;
        QTest::newRow("0 racks") << "C" << "0" << "3" << -1 << none << none;
        QTest::newRow("0 shelves") << "C" << "3" << "0" << -1 << none << none;
        QTest::newRow("negative racks") << "C" << "-2" << "3" << -1 << none << none;
        QTest::newRow("1 by 26: A to Z") << "C" << "1" << "26" << -1 << codes("C", 1, alphabet()) << none;
        QTest::newRow("1 by 30: on to AD, never repeating Z")
            << "C" << "1" << "30" << -1 << codes("C", 1, alphabet({"AA", "AB", "AC", "AD"})) << none;
        QTest::newRow("row as typed, small letters") << "c" << "1" << "1" << -1 << QStringList{"c1A"} << none;
        QTest::newRow("racks 10 and up, no separator") << "D" << "11" << "1" << -1 << codes("D", 11, {"A"}) << none;
        QTest::newRow("fractions end at the whole number below") << "E" << "2.9" << "1.5" << -1
                                                                 << QStringList{"E1A", "E2A"} << none;
        QTest::newRow("blanks around a count") << "F" << " 2 " << "1" << -1 << QStringList{"F1A", "F2A"} << none;
        QTest::newRow("racks a word") << "C" << "two" << "3" << -1 << none
                                      << QStringList{"Please Enter the number of Racks", "\"two\""};
        QTest::newRow("racks Cancel") << "C" << "" << "3" << -1 << none
                                      << QStringList{"Please Enter the number of Racks", "empty"};
        QTest::newRow("shelves Cancel") << "C" << "2" << "" << -1 << none
                                        << QStringList{"Please Enter the number of Shelves", "empty"};
        QTest::newRow("shelves number then letters") << "C" << "2" << "3x" << -1 << none
                                                     << QStringList{"Please Enter the number of Shelves", "\"3x\""};
        QTest::newRow("both wrong, both named") << "C" << "a" << "b" << -1 << none
                                                << QStringList{"Racks", "\"a\"", "Shelves", "\"b\""};
        // The labels already done stay printed; the warning says where the run stopped.
        QTest::newRow("printer refuses the third") << "C" << "2" << "3" << 2 << QStringList{"C1A", "C1B"}
                                                   << QStringList{"C1C", "out of labels"};
    }

    void run()
    {
        QFETCH(QString, row);
        QFETCH(QString, racks);
        QFETCH(QString, shelves);
        QFETCH(int, refuseFrom);
        QFETCH(QStringList, expected);
        QFETCH(QStringList, warned);
        if (refuseFrom >= 0)
            env->spooler.refuseJobs(QStringLiteral("out of labels"), refuseFrom);
        ScriptedPrompts prompts(&env->spooler);
        prompts.answers << row << racks << shelves;
        Form1 form;
        QTest::mouseClick(form.Command2, Qt::LeftButton);

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
        QVERIFY(prompts.warnings.isEmpty());
    }
};

QTEST_MAIN(TestShelfLabels)
#include "tst_shelf_labels.moc"

