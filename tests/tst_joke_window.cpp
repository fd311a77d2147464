// The 1 April joke window: its frame and picture, closed by a click (and by
// nothing the keyboard does), the same each time it is opened; and when the
// main window shows it: at load on 1 April, and on a right click on the
// company name.

#include "AprilFool.h"
#include "Form1.h"
#include "ModalWatcher.h"
#include "PrintStamp.h"
#include "TestPrinting.h"
#include "WindowChecks.h"

#include <QtTest>

namespace {
const QString kJoke = QStringLiteral("AprilFool: Happy April Fools! (Click to Dismiss)");
} // namespace

class TestJokeWindow : public QObject {
    Q_OBJECT
private slots:
    void design()
    {
        AprilFool w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(WindowChecks::frame(&w), QStringLiteral("'Happy April Fools! (Click to Dismiss)' 7755x5040 fixed close"));
        QCOMPARE(w.windowType(), Qt::Tool);
        // The picture at its natural size from the top-left corner: its last
        // column shows, its bottom three rows do not.
        QCOMPARE(w.picture().size(), QSize(516, 339));
        const QImage shown = w.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage picture = w.picture().convertToFormat(QImage::Format_RGB32);
        for (const QPoint at : {QPoint(0, 0), QPoint(515, 0), QPoint(258, 170), QPoint(0, 335), QPoint(515, 335)})
            QCOMPARE(shown.pixel(at), picture.pixel(at));
    }

    // Opened twice in a row, it looks the same each time; keys and a stray
    // button release (the end of the right click that opened it) leave it
    // open, and a click anywhere closes it.
    void onlyAClickCloses_data()
    {
        QTest::addColumn<int>("key"); // 0: a right button release without a press
        QTest::addColumn<QPoint>("at");
        QTest::newRow("Esc, top-left corner") << int(Qt::Key_Escape) << QPoint(0, 0);
        QTest::newRow("Enter, middle") << int(Qt::Key_Return) << QPoint(258, 168);
        QTest::newRow("Space, bottom-right corner") << int(Qt::Key_Space) << QPoint(516, 335);
        QTest::newRow("a letter") << int(Qt::Key_Q) << QPoint(100, 100);
        QTest::newRow("release without a press") << 0 << QPoint(100, 100);
    }
    void onlyAClickCloses()
    {
        QFETCH(int, key);
        QFETCH(QPoint, at);
        TestPrinting env;
        QList<QImage> looks;
        ModalWatcher watcher([&](QWidget *window, int) {
            looks << window->grab().toImage();
            if (key)
                QTest::keyClick(window, Qt::Key(key));
            else
                QTest::mouseRelease(window, Qt::RightButton, {}, QPoint(100, 100));
            QVERIFY(window->isVisible());
            QTest::mouseClick(window, Qt::LeftButton, {}, at);
        });
        AprilFool::showModal(nullptr);
        AprilFool::showModal(nullptr);
        QCOMPARE(watcher.opened, QStringList(2, kJoke));
        QCOMPARE(watcher.stillOpenAfterAct, QStringList());
        QCOMPARE(looks.size(), 2);
        QCOMPARE(looks[1], looks[0]);
        QCOMPARE(env.spooler.jobs.size(), 0);
    }

    // At load, after the printer chooser when that is shown, and only on 1 April.
    void mainWindowShowsItAtLoadOn1April_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("saved");
        QTest::addColumn<QStringList>("opened");
        QTest::newRow("1 April") << QDate(2027, 4, 1) << "Label Printer" << QStringList{kJoke};
        QTest::newRow("1 April, chooser first") << QDate(2027, 4, 1) << "none" << QStringList{"Form2: Printer Chooser", kJoke};
        QTest::newRow("2 April") << QDate(2027, 4, 2) << "Label Printer" << QStringList{};
        QTest::newRow("1 March") << QDate(2027, 3, 1) << "Label Printer" << QStringList{};
        QTest::newRow("4 January: day and month swapped") << QDate(2027, 1, 4) << "Label Printer" << QStringList{};
    }
    void mainWindowShowsItAtLoadOn1April()
    {
        QFETCH(QDate, today);
        QFETCH(QString, saved);
        QFETCH(QStringList, opened);
        TestPrinting env;
        env.savePrinter(saved);
        Clock::setNowForTests([today] { return QDateTime(today, QTime(8, 30)); });
        bool mainWindowShown = false;
        ModalWatcher watcher([&](QWidget *window, int) {
            mainWindowShown = window->parentWidget() && window->parentWidget()->isVisible();
            if (qobject_cast<AprilFool *>(window))
                QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(200, 200));
        });
        Form1 form;
        QCOMPARE(watcher.opened, opened);
        QVERIFY(!mainWindowShown);
        QVERIFY(!watcher.stillOpenAfterAct.contains(kJoke));
    }

    void mainWindowShowsItOnRightClick_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("times");
        QTest::newRow("right") << int(Qt::RightButton) << 1;
        QTest::newRow("left") << int(Qt::LeftButton) << 0;
        QTest::newRow("middle") << int(Qt::MiddleButton) << 0;
    }
    void mainWindowShowsItOnRightClick()
    {
        QFETCH(int, button);
        QFETCH(int, times);
        TestPrinting env;
        env.savePrinter(QStringLiteral("Label Printer"));
        Form1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        ModalWatcher watcher([](QWidget *window, int) {
            if (qobject_cast<AprilFool *>(window))
                QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(10, 10));
        });
        QTest::mouseClick(form.Label1, Qt::MouseButton(button));
        QTest::qWait(50);
        QCOMPARE(watcher.opened, QStringList(times, kJoke));
        QCOMPARE(watcher.stillOpenAfterAct, QStringList());
        QVERIFY(form.isVisible());
    }
};

QTEST_MAIN(TestJokeWindow)
#include "tst_joke_window.moc"
