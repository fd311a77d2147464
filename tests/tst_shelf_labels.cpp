// The shelf label run: the three prompts, one job per shelf in rack then
// shelf order, the codes and barcodes on every label, and the runs that must
// not print (counts that are not numbers) or must be stoppable (long runs).

#include "Form1.h"
#include "LabelFonts.h"
#include "LabelImage.h"
#include "ScriptedPrompts.h"
#include "ShelfLabels.h"
#include "TestPrinting.h"

#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <memory>

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

QStringList alphabet()
{
    QStringList letters;
    for (char c = 'A'; c <= 'Z'; ++c)
        letters.append(QString(QChar(c)));
    return letters;
}

} // namespace

class TestShelfLabels : public QObject {
    Q_OBJECT

    std::unique_ptr<TestPrinting> env;

    // Clicks "Shelves" with the three answers; returns the prompts that were asked.
    std::unique_ptr<ScriptedPrompts> run(const QString &row, const QString &racks, const QString &shelves)
    {
        auto prompts = std::make_unique<ScriptedPrompts>(&env->spooler);
        prompts->answers << row << racks << shelves;
        Form1 form;
        QTest::mouseClick(form.Command2, Qt::LeftButton);
        return prompts;
    }

private slots:
    void initTestCase() { LabelFonts::ensureInstalled(); }
    void init()
    {
        env = std::make_unique<TestPrinting>();
        env->savePrinter(QStringLiteral("Label Printer"));
    }
    void cleanup() { env.reset(); }

    void shelfLetters_data()
    {
        QTest::addColumn<qint64>("shelf");
        QTest::addColumn<QString>("letters");
        QTest::newRow("first") << qint64(1) << "A";
        QTest::newRow("last single letter") << qint64(26) << "Z";
        QTest::newRow("27 goes on, never repeats Z") << qint64(27) << "AA";
        QTest::newRow("28") << qint64(28) << "AB";
        QTest::newRow("52") << qint64(52) << "AZ";
        QTest::newRow("53 carries") << qint64(53) << "BA";
        QTest::newRow("702") << qint64(702) << "ZZ";
        QTest::newRow("703 three letters") << qint64(703) << "AAA";
    }

    void shelfLetters()
    {
        QFETCH(qint64, shelf);
        QFETCH(QString, letters);
        QCOMPARE(ShelfLetters(shelf), letters);
    }

    void runPrintsOneJobPerShelf_data()
    {
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("racks");
        QTest::addColumn<QString>("shelves");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("C, 2 by 3") << "C" << "2" << "3" << QStringList{"C1A", "C1B", "C1C", "C2A", "C2B", "C2C"};
        QTest::newRow("empty row") << "" << "2" << "2" << QStringList{"1A", "1B", "2A", "2B"};
        QTest::newRow("0 racks") << "C" << "0" << "3" << QStringList{};
        QTest::newRow("0 shelves") << "C" << "3" << "0" << QStringList{};
        QTest::newRow("negative racks") << "C" << "-2" << "3" << QStringList{};
        QTest::newRow("1 by 26: A to Z") << "C" << "1" << "26" << codes("C", 1, alphabet());
        QTest::newRow("1 by 30: on to AD") << "C" << "1" << "30"
                                           << codes("C", 1, alphabet() + QStringList{"AA", "AB", "AC", "AD"});
        QTest::newRow("row as typed, small letters") << "c" << "1" << "1" << QStringList{"c1A"};
        QTest::newRow("racks 10 and up, no separator") << "D" << "11" << "1" << codes("D", 11, {"A"});
        QTest::newRow("fractions end at the whole number below") << "E" << "2.9" << "1.5"
                                                                 << QStringList{"E1A", "E2A"};
        QTest::newRow("blanks around a count") << "F" << " 2 " << "1" << QStringList{"F1A", "F2A"};
    }

    void runPrintsOneJobPerShelf()
    {
        QFETCH(QString, row);
        QFETCH(QString, racks);
        QFETCH(QString, shelves);
        QFETCH(QStringList, expected);
        const auto prompts = run(row, racks, shelves);

        QCOMPARE(prompts->inputs.size(), 3);
        const QStringList asked = {prompts->inputs[0].text + " / " + prompts->inputs[0].title,
                                   prompts->inputs[1].text + " / " + prompts->inputs[1].title,
                                   prompts->inputs[2].text + " / " + prompts->inputs[2].title};
        QCOMPARE(asked, QStringList({"Please Enter the Row / Enter Row",
                                     "Please Enter the number of Racks / Number of Racks",
                                     "Please Enter the number of Shelves / Number of Shelves"}));
        QVERIFY(prompts->warnings.isEmpty());

        QCOMPARE(env->spooler.jobs.size(), expected.size());
        for (qsizetype i = 0; i < expected.size(); ++i) {
            const PrintJob &job = env->spooler.jobs[i];
            QCOMPARE(job.printerName, QStringLiteral("Label Printer"));
            QCOMPARE(job.copies, 1);
            QCOMPARE(job.ops.size(), 2);
            QCOMPARE(job.ops[0].text, expected[i]);
            QCOMPARE(job.ops[0].at, QPointF(160, 500));
            QCOMPARE(job.ops[0].font, FontSpec({"Tahoma", 40, false}));
            QCOMPARE(job.ops[1].text, "*SHELF-" + expected[i] + "*");
            QCOMPARE(job.ops[1].at, QPointF(160, 1500));
            QCOMPARE(job.ops[1].font, FontSpec({"Free 3 of 9", 30, false}));
            // What a scanner reads off the label (small letters are drawn as capitals).
            QCOMPARE(LabelImage::decodeCode39(job, 203), QStringList{"SHELF-" + expected[i].toUpper()});
        }
    }

    void countThatIsNotANumberPrintsNothing_data()
    {
        QTest::addColumn<QString>("racks");
        QTest::addColumn<QString>("shelves");
        QTest::addColumn<QStringList>("named");
        QTest::newRow("racks a word") << "two" << "3"
                                      << QStringList{"Please Enter the number of Racks", "\"two\""};
        QTest::newRow("racks Cancel") << "" << "3" << QStringList{"Please Enter the number of Racks", "empty"};
        QTest::newRow("shelves Cancel") << "2" << "" << QStringList{"Please Enter the number of Shelves", "empty"};
        QTest::newRow("shelves number then letters") << "2" << "3x"
                                                     << QStringList{"Please Enter the number of Shelves", "\"3x\""};
        QTest::newRow("both wrong, both named") << "a" << "b"
                                                << QStringList{"Racks", "\"a\"", "Shelves", "\"b\""};
    }

    void countThatIsNotANumberPrintsNothing()
    {
        QFETCH(QString, racks);
        QFETCH(QString, shelves);
        QFETCH(QStringList, named);
        const auto prompts = run("C", racks, shelves);
        QCOMPARE(prompts->inputs.size(), 3); // all three are asked first
        QVERIFY(env->spooler.jobs.isEmpty());
        QCOMPARE(prompts->warnings.size(), 1);
        for (const QString &part : named)
            QVERIFY2(prompts->warnings[0].contains(part), qPrintable(prompts->warnings[0]));
    }

    void printerFailureStopsTheRunAndSaysWhere()
    {
        env->spooler.refuseJobs(QStringLiteral("out of labels"), 2);
        const auto prompts = run("C", "2", "3");
        QCOMPARE(env->spooler.jobs.size(), 2); // the labels already ended stay printed
        QCOMPARE(prompts->warnings.size(), 1);
        QVERIFY2(prompts->warnings[0].contains("C1C") && prompts->warnings[0].contains("out of labels"),
                 qPrintable(prompts->warnings[0]));
    }

    void longRunShowsProgressAndCancelStopsBeforeTheNextLabel()
    {
        auto prompts = std::make_unique<ScriptedPrompts>(&env->spooler);
        prompts->answers << "G" << "3" << "20"; // 60 labels
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
        QVERIFY(prompts->warnings.isEmpty());
    }
};

QTEST_MAIN(TestShelfLabels)
#include "tst_shelf_labels.moc"
