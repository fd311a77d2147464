// The 1 April joke window: its frame and picture, closed by a click (and by
// nothing the keyboard does), the same each time it is opened; and when the
// main window shows it: at load on 1 April, and on a right click on the
// company name.

#include "AprilFool.h"
#include "Form1.h"
#include "ModalWatcher.h"
#include "PrintStamp.h"
#include "TestPrinting.h"

#include <QLabel>
#include <QtTest>

namespace {
const QString kJoke = QStringLiteral("AprilFool: Happy April Fools! (Click to Dismiss)");
QStringList classNames(const QStringList &opened)
{
    QStringList names;
    for (const QString &window : opened)
        names << window.section(QLatin1Char(':'), 0, 0);
    return names;
}
} // namespace

class TestJokeWindow : public QObject {
    Q_OBJECT
private slots:
    void design()
    {
        AprilFool w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.windowTitle(), QStringLiteral("Happy April Fools! (Click to Dismiss)"));
        QCOMPARE(w.windowType(), Qt::Tool);
        QCOMPARE(w.size(), QSize(517, 336)); // 7755 x 5040 twips
        QCOMPARE(w.minimumSize(), w.maximumSize());
        QVERIFY(!(w.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        // The picture at its natural size from the top-left corner: its last
        // column shows, its bottom three rows do not.
        QCOMPARE(w.picture().size(), QSize(516, 339));
        const QImage shown = w.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage picture = w.picture().convertToFormat(QImage::Format_RGB32);
        for (const QPoint at : {QPoint(0, 0), QPoint(515, 0), QPoint(258, 170), QPoint(0, 335), QPoint(515, 335)})
            QCOMPARE(shown.pixel(at), picture.pixel(at));
    }

    // Keys and a stray button release (the end of the right click that
    // opened the window) leave it open; the close box closes it.
    void onlyAClickOrTheCloseBoxCloses_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Esc") << int(Qt::Key_Escape);
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("Space") << int(Qt::Key_Space);
        QTest::newRow("a letter") << int(Qt::Key_Q);
        QTest::newRow("release without a press") << 0;
    }
    void onlyAClickOrTheCloseBoxCloses()
    {
        QFETCH(int, key);
        AprilFool w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        if (key)
            QTest::keyClick(&w, Qt::Key(key));
        else
            QTest::mouseRelease(&w, Qt::RightButton, {}, QPoint(100, 100));
        QVERIFY(w.isVisible());
        w.close(); // what the close box does
        QVERIFY(!w.isVisible());
    }

    // Opened twice in a row, it looks the same and a click anywhere closes it.
    void clickClosesEveryTime_data()
    {
        QTest::addColumn<QPoint>("at");
        QTest::newRow("top-left corner") << QPoint(0, 0);
        QTest::newRow("middle") << QPoint(258, 168);
        QTest::newRow("bottom-right corner") << QPoint(516, 335);
    }
    void clickClosesEveryTime()
    {
        QFETCH(QPoint, at);
        TestPrinting env;
        QList<QImage> looks;
        ModalWatcher watcher([&](QWidget *window, int) {
            looks << window->grab().toImage();
            QTest::mouseClick(window, Qt::LeftButton, {}, at);
        });
        AprilFool::showModal(nullptr);
        AprilFool::showModal(nullptr);
        QCOMPARE(watcher.opened, QStringList(2, QStringLiteral("AprilFool: Happy April Fools! (Click to Dismiss)")));
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
        QTest::newRow("1 April") << QDate(2027, 4, 1) << "Label Printer" << QStringList{"AprilFool"};
        QTest::newRow("1 April, chooser first") << QDate(2027, 4, 1) << "none" << QStringList{"Form2", "AprilFool"};
        QTest::newRow("2 April") << QDate(2027, 4, 2) << "Label Printer" << QStringList{};
        QTest::newRow("1 March") << QDate(2027, 3, 1) << "Label Printer" << QStringList{};
        QTest::newRow("4 January") << QDate(2027, 1, 4) << "Label Printer" << QStringList{};
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
        QCOMPARE(classNames(watcher.opened), opened);
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
