// The shelf run's letters, and the long runs that show their progress and
// stop on Cancel. The prompts and jobs of shorter runs are in tst_windows.

#include "MainWindow.h"
#include "ScriptedPrompts.h"
#include "ShelfLabels.h"
#include "TestPrinting.h"

#include <QProgressDialog>
#include <QTimer>
#include <QtTest>

class TestShelfLabels : public QObject {
    Q_OBJECT
private slots:
    // After Z the letters go on as AA, AB, ..., never repeating Z.
    void shelfLetters()
    {
        const QList<std::pair<qint64, QString>> cases = {{26, "Z"}, {27, "AA"}, {52, "AZ"}, {53, "BA"}, {702, "ZZ"}, {703, "AAA"}};
        for (const auto &[shelf, letters] : cases)
            QCOMPARE(ShelfLetters(shelf), letters);
    }

    void longRunShowsProgressAndCancelStopsBeforeTheNextLabel()
    {
        TestPrinting env;
        env.savePrinter(QStringLiteral("Label Printer"));
        ScriptedPrompts prompts(&env.spooler);
        prompts.answers << "G" << "3" << "20"; // 60 labels
        MainWindow form;
        form.show();
        QString title;
        QTimer canceller;
        connect(&canceller, &QTimer::timeout, [&] {
            auto *progress = qobject_cast<QProgressDialog *>(QApplication::activeModalWidget());
            if (progress && env.spooler.jobs.size() >= 5) {
                title = progress->windowTitle();
                QTest::mouseClick(progress->findChild<QPushButton *>(), Qt::LeftButton);
            }
        });
        canceller.start(0);
        QTest::mouseClick(form.shelvesButton, Qt::LeftButton);
        canceller.stop();
        QCOMPARE(title, QStringLiteral("Shelf Labels"));
        QCOMPARE(env.spooler.jobs.size(), 5);
        QCOMPARE(env.spooler.jobs.last().ops[0].text, QStringLiteral("G1E"));
        QCOMPARE(prompts.log.filter(QStringLiteral("warn")), QStringList());
    }
};

QTEST_MAIN(TestShelfLabels)
#include "tst_shelf_labels.moc"
