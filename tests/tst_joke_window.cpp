// The 1 April joke window: its frame and picture, closed by a click (and by
// nothing the keyboard does); and when the main window shows it: at load on
// 1 April, and on a right click on the company name.

#include "JokeWindow.h"
#include "MainWindow.h"
#include "ModalWatcher.h"
#include "PrintStamp.h"
#include "TestPrinting.h"
#include "WindowChecks.h"

#include <QtTest>

namespace {
const QString kJoke = QStringLiteral("JokeWindow: Happy April Fools! (Click to Dismiss)");
} // namespace

class TestJokeWindow : public QObject {
    Q_OBJECT
private slots:
    // Esc and a stray button release (the end of the right click that opened
    // it) leave it open; a click closes it.
    void frameAndClickToClose()
    {
        TestPrinting env;
        QString frame;
        bool openAfterKeyAndRelease = false;
        ModalWatcher watcher([&](QWidget *window, int) {
            auto *joke = qobject_cast<JokeWindow *>(window);
            frame = WindowChecks::frame(joke);
            // The picture at its natural size from the top-left corner: its last
            // column shows, its bottom rows do not fit.
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
        JokeWindow::showModal(nullptr);
        QCOMPARE(watcher.opened, QStringList{kJoke});
        QCOMPARE(frame, QStringLiteral("'Happy April Fools! (Click to Dismiss)' 7755x5040 fixed close"));
        QVERIFY(openAfterKeyAndRelease);
        QCOMPARE(watcher.stillOpenAfterAct, QStringList());
    }

    // At load, after the printer chooser when that is shown, and only on 1 April.
    void mainWindowShowsItAtLoadOn1April_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QStringList>("opened");
        QTest::newRow("1 April, chooser first") << QDate(2027, 4, 1) << QStringList{"PrinterChooser: Printer Chooser", kJoke};
        QTest::newRow("2 April") << QDate(2027, 4, 2) << QStringList{"PrinterChooser: Printer Chooser"};
        QTest::newRow("4 January: day and month swapped") << QDate(2027, 1, 4) << QStringList{"PrinterChooser: Printer Chooser"};
    }
    void mainWindowShowsItAtLoadOn1April()
    {
        QFETCH(QDate, today);
        QFETCH(QStringList, opened);
        TestPrinting env;
        env.savePrinter(QStringLiteral("none"));
        Clock::setNowForTests([today] { return QDateTime(today, QTime(8, 30)); });
        bool mainWindowShown = false;
        ModalWatcher watcher([&](QWidget *window, int) {
            mainWindowShown = mainWindowShown || (window->parentWidget() && window->parentWidget()->isVisible());
            if (qobject_cast<JokeWindow *>(window))
                QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(200, 200));
        });
        MainWindow form;
        QCOMPARE(watcher.opened, opened);
        QVERIFY(!mainWindowShown);
        QVERIFY(!watcher.stillOpenAfterAct.contains(kJoke));
    }

    void mainWindowShowsItOnRightClick()
    {
        TestPrinting env;
        env.savePrinter(QStringLiteral("Label Printer"));
        MainWindow form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        ModalWatcher watcher([](QWidget *window, int) {
            if (qobject_cast<JokeWindow *>(window))
                QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(10, 10));
        });
        QTest::mouseClick(form.companyLabel, Qt::LeftButton);
        QTest::mouseClick(form.companyLabel, Qt::RightButton);
        QTest::qWait(50);
        QCOMPARE(watcher.opened, QStringList{kJoke}); // the left click opened nothing
        QCOMPARE(watcher.stillOpenAfterAct, QStringList());
    }
};

QTEST_MAIN(TestJokeWindow)
#include "tst_joke_window.moc"
