// The main window: the load sequence, the clock, the windows its buttons
// open, and the joke window. Its design and what users type and print in it
// are in tst_windows.

#include "JokeWindow.h"
#include "MainWindow.h"
#include "ModalWatcher.h"
#include "PrintStamp.h"
#include "ScriptedPrompts.h"
#include "TestPrinting.h"

#include <QtTest>

#include <memory>

namespace {
const QDateTime kNow(QDate(2026, 6, 12), QTime(9, 30, 5));
const QString kChooser = QStringLiteral("PrinterChooser: Printer Chooser");
const QString kJoke = QStringLiteral("JokeWindow: Happy April Fools! (Click to Dismiss)");
} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<TestPrinting> env;

private slots:
    void init()
    {
        env = std::make_unique<TestPrinting>();
        env->savePrinter(QStringLiteral("Label Printer"));
        Clock::setNowForTests([] { return kNow; });
    }
    void cleanup() { env.reset(); }

    // The chooser only without a saved printer, the joke window only on 1 April,
    // both before the window shows and neither stopping the rest of the load.
    void loadSequence_data()
    {
        QTest::addColumn<QString>("saved");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QStringList>("opened");
        QTest::newRow("none") << "none" << kNow.date() << QStringList{kChooser};
        QTest::newRow("a printer saved") << "Label Printer" << kNow.date() << QStringList{};
        QTest::newRow("None is a name, not the marker") << "None" << kNow.date() << QStringList{};
        QTest::newRow("1 April, chooser first") << "none" << QDate(2027, 4, 1) << QStringList{kChooser, kJoke};
        QTest::newRow("2 April") << "Office" << QDate(2027, 4, 2) << QStringList{};
        QTest::newRow("4 January: day and month swapped") << "Office" << QDate(2027, 1, 4) << QStringList{};
    }
    void loadSequence()
    {
        QFETCH(QString, saved);
        QFETCH(QDate, today);
        QFETCH(QStringList, opened);
        env->savePrinter(saved);
        Clock::setNowForTests([today] { return QDateTime(today, QTime(8, 30)); });
        bool ownerShown = false;
        ModalWatcher watcher([&](QWidget *window, int) { // the chooser closes by its close box: nothing chosen
            ownerShown = ownerShown || (window->parentWidget() && window->parentWidget()->isVisible());
            if (qobject_cast<JokeWindow *>(window))
                QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(200, 200));
        });
        MainWindow form;
        QCOMPARE(watcher.opened, opened);
        QVERIFY(!ownerShown);
        QVERIFY(!watcher.stillOpenAfterAct.contains(kJoke));
        QCOMPARE(env->savedPrinter(), saved);
        QCOMPARE(form.copiesBox->count(), 30); // loading went on after them
        QVERIFY((form.geometry().center() - form.screen()->availableGeometry().center()).manhattanLength() <= 2);
    }

    // The clock is empty at first and shows the stamp from its first tick on;
    // each button opens its window (the shelf run's prompts are cancelled).
    void clockAndButtons()
    {
        ScriptedPrompts prompts(&env->spooler);
        MainWindow form;
        QVERIFY(WindowChecks::showActive(&form));
        QTRY_COMPARE_WITH_TIMEOUT(form.clockLabel->text(), PrintStamp(kNow), 2500);
        QStringList seen;
        for (QPushButton *button : form.findChildren<QPushButton *>()) {
            ModalWatcher watcher;
            QTest::mouseClick(button, Qt::LeftButton);
            seen << button->objectName() + ": " + watcher.opened.join(", ");
        }
        QCOMPARE(seen, QStringList({"printButton: ", "addressLabelsButton: AddressLabelWindow: TagFoundry",
                                    "choosePrinterButton: " + kChooser, "partLabelsButton: PartWindow: VHQ Kestrion Label Printer",
                                    "orderLabelsButton: OrderLabelWindow: TagFoundry", "shelvesButton: ",
                                    "binLabelsButton: BinLabelWindow: Bin Labelling"}));
    }

    // The joke window opens on a right click on the company name, not a left
    // one; it shows its picture from the top-left corner at its natural size
    // (the bottom rows do not fit); Esc and the stray release of the right
    // click leave it open; a click closes it.
    void jokeWindow()
    {
        MainWindow form;
        QVERIFY(WindowChecks::showActive(&form));
        bool openAfterKeyAndRelease = false;
        ModalWatcher watcher([&](QWidget *window, int) {
            auto *joke = qobject_cast<JokeWindow *>(window);
            const QImage shown = joke->grab().toImage().convertToFormat(QImage::Format_RGB32);
            const QImage picture = joke->picture().convertToFormat(QImage::Format_RGB32);
            QCOMPARE(picture.size(), QSize(516, 339));
            for (const QPoint at : {QPoint(0, 0), QPoint(515, 0), QPoint(258, 170), QPoint(515, 335)})
                QCOMPARE(shown.pixel(at), picture.pixel(at));
            QTest::keyClick(joke, Qt::Key_Escape);
            QTest::mouseRelease(joke, Qt::RightButton, {}, QPoint(100, 100));
            openAfterKeyAndRelease = joke->isVisible();
            QTest::mouseClick(joke, Qt::LeftButton, {}, QPoint(515, 335));
        });
        QTest::mouseClick(form.companyLabel, Qt::LeftButton);
        QTest::mouseClick(form.companyLabel, Qt::RightButton);
        QTest::qWait(50);
        QCOMPARE(watcher.opened, QStringList{kJoke});
        QVERIFY(openAfterKeyAndRelease);
        QCOMPARE(watcher.stillOpenAfterAct, QStringList());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
