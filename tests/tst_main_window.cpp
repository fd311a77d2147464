// What the windows' designs and transcripts (tst_windows) do not show: the
// main window's load sequence, clock and buttons, the joke window, the
// printer chooser's Save and close box, windows opened afresh, and the shelf
// run's letters and long runs.

#include "JokeWindow.h"
#include "AddressLabelWindow.h"
#include "MainWindow.h"
#include "ModalWatcher.h"
#include "PartWindow.h"
#include "PrintStamp.h"
#include "Printer.h"
#include "PrinterChooser.h"
#include "ScriptedPrompts.h"
#include "ShelfLabels.h"
#include "TestPrinting.h"

#include <QListWidget>
#include <QProgressDialog>
#include <QScrollBar>
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

    // The spooler's order with nothing selected, not even the saved printer; a
    // selection enables Save but saves nothing; Save writes the name exactly as
    // the spooler reports it, and the process keeps its printer until the next job.
    void chooserSaves()
    {
        env.reset();
        env = std::make_unique<TestPrinting>(QStringList{"Office", " label printer 2 "}, "Office");
        env->savePrinter(QStringLiteral("Office"));
        PrinterChooser form;
        QVERIFY(WindowChecks::showActive(&form));
        QCOMPARE(WindowChecks::describe(form.printerList), QStringLiteral("'' list 'Office| label printer 2 '"));
        QVERIFY(form.printerList->selectedItems().isEmpty() && !form.saveButton->isEnabled());
        QTest::mouseClick(form.printerList->viewport(), Qt::LeftButton, {},
                          form.printerList->visualItemRect(form.printerList->item(1)).center());
        QVERIFY(form.saveButton->isEnabled());
        QCOMPARE(env->savedPrinter(), QStringLiteral("Office"));
        QTest::mouseClick(form.saveButton, Qt::LeftButton);
        QCOMPARE(env->savedPrinter(), QStringLiteral(" label printer 2 "));
        QVERIFY(!form.isVisible());
        QCOMPARE(Printer::current().deviceName(), QStringLiteral("Office"));
    }

    void chooserCloseBoxSavesNothing()
    {
        ModalWatcher watcher([](QWidget *window, int) {
            QTest::keyClick(qobject_cast<PrinterChooser *>(window)->printerList, Qt::Key_Down); // a selection, then the close box
            window->close();
        });
        PrinterChooser::showModal(nullptr); // returns once the window has closed
        QCOMPARE(watcher.opened, QStringList{kChooser});
        QCOMPARE(env->savedPrinter(), QStringLiteral("Label Printer"));
        for (QWidget *top : QApplication::topLevelWidgets())
            QVERIFY(!qobject_cast<PrinterChooser *>(top)); // destroyed, not just hidden
    }

    // Changed and closed by Close, then opened again (the parts file changed
    // meanwhile): nothing is left over; the texts and focus of the second opening.
    void reopensAfresh_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QStringList>("seen");
        QTest::newRow("address") << "address" << QStringList{"line1Box=", "line2Box=", "line3Box=", "line4Box=", "copiesBox=1", "line1Box"};
        QTest::newRow("part") << "part" << QStringList{"partBox=GH-5,Air Vent", "partBox", "Veltrane Heating Supplies Ltd.", "1",
                                                       "GH-5", "*GH-5*", "Air Vent", "Kestrion"};
    }
    void reopensAfresh()
    {
        QFETCH(QString, window);
        QFETCH(QStringList, seen);
        env->writeDataFile(QStringLiteral("parts.txt"), "AB-12,Brass Olive 15mm\r\nCD-3,Tap Washer\r\n");
        QStringList second;
        ModalWatcher watcher([&](QWidget *opened, int index) {
            // The watcher can see the window before the window system has
            // activated it and handed the focus over.
            (void)QTest::qWaitFor([opened] { return opened->isAncestorOf(QApplication::focusWidget()); }, 5000);
            if (index == 0) {
                for (QLineEdit *box : opened->findChildren<QLineEdit *>())
                    box->setText(QStringLiteral("9"));
                for (QScrollBar *slider : opened->findChildren<QScrollBar *>())
                    slider->setValue(slider->maximum());
                env->writeDataFile(QStringLiteral("parts.txt"), "GH-5,Air Vent\r\n");
                QTest::mouseClick(opened->findChild<QPushButton *>(QStringLiteral("closeButton")), Qt::LeftButton);
                return;
            }
            second << WindowChecks::typedTexts(opened) << WindowChecks::focusName(opened);
            for (QLabel *label : opened->findChildren<QLabel *>(Qt::FindDirectChildrenOnly))
                second << label->text();
            opened->close(); // the close box
        });
        for (int i = 0; i < 2; ++i)
            window == QLatin1String("part") ? PartWindow::showModal(nullptr) : AddressLabelWindow::showModal(nullptr);
        QCOMPARE(watcher.stillOpenAfterAct, QStringList());
        QCOMPARE(second, seen);
    }

    // After Z the letters go on as AA, AB, ..., never repeating Z.
    void shelfLetters()
    {
        const QList<std::pair<qint64, QString>> cases = {{26, "Z"}, {27, "AA"}, {52, "AZ"}, {53, "BA"}, {702, "ZZ"}, {703, "AAA"}};
        for (const auto &[shelf, letters] : cases)
            QCOMPARE(ShelfLetters(shelf), letters);
    }

    void longShelfRunShowsProgressAndCancelStopsBeforeTheNextLabel()
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
        QCOMPARE(prompts.log.filter(QStringLiteral("warn")), QStringList());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
