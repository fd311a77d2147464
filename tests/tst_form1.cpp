// The main window, driven through real key and mouse events against a
// recording spooler: the load sequence, the windows its buttons open, the
// Enter flow and the quick label, the copies box, and the joke window.

#include "AprilFool.h"
#include "Form1.h"
#include "Golden.h"
#include "ModalWatcher.h"
#include "PrintStamp.h"
#include "ScriptedPrompts.h"
#include "TestPrinting.h"
#include "WindowChecks.h"

#include <QtTest>

#include <memory>

using namespace WindowChecks;

namespace {
const QDateTime kNow(QDate(2026, 6, 12), QTime(9, 30, 5));
const QString kChooser = QStringLiteral("Form2: Printer Chooser");
const QString kJoke = QStringLiteral("AprilFool: Happy April Fools! (Click to Dismiss)");
} // namespace

class TestForm1 : public QObject {
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
            if (qobject_cast<AprilFool *>(window))
                QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(200, 200));
        });
        Form1 form;
        QCOMPARE(watcher.opened, opened);
        QVERIFY(!ownerShown);
        QVERIFY(!watcher.stillOpenAfterAct.contains(kJoke));
        QCOMPARE(env->savedPrinter(), saved);
        QCOMPARE(form.Combo2->count(), 30); // loading went on after them
        QVERIFY((form.geometry().center() - form.screen()->availableGeometry().center()).manhattanLength() <= 2);
    }

    // Each button by its caption or tip, and the windows a click on it opens.
    void buttonsOpenTheirWindows()
    {
        ScriptedPrompts prompts(&env->spooler); // the shelf run's prompts are cancelled
        Form1 form;
        QStringList seen;
        for (QPushButton *button : form.findChildren<QPushButton *>()) {
            ModalWatcher watcher;
            QTest::mouseClick(button, Qt::LeftButton);
            seen << (button->text().isEmpty() ? button->toolTip() : button->text()) + ": " + watcher.opened.join(", ");
        }
        QCOMPARE(seen, QStringList({"Print!: ", ": Form3: TagFoundry", "Change Printer: Form2: Printer Chooser",
                                    ": Kestrion: VHQ Kestrion Label Printer", "Ormex: Ormex: TagFoundry", "Shelves: ",
                                    "Bins: frmBinLabeller: Bin Labelling"}));
    }

    // Enter moves from the customer to the second line and prints from there,
    // then offers to clear; Print prints the same job. The clock shows the stamp.
    void enterFlowAndQuickLabel_data()
    {
        QTest::addColumn<QString>("customer");
        QTest::addColumn<bool>("yes");
        QTest::newRow("main-enter-yes") << "Alder Court" << true;
        // A list entry in small letters is neither completed nor snapped to the entry.
        QTest::newRow("main-enter-no") << Form1::customerNames().first().toLower() << false;
    }
    void enterFlowAndQuickLabel()
    {
        QFETCH(QString, customer);
        QFETCH(bool, yes);
        ScriptedPrompts prompts(&env->spooler);
        prompts.yes = yes;
        Form1 form;
        QVERIFY(showActive(&form));
        QTRY_COMPARE_WITH_TIMEOUT(form.Label2->text(), PrintStamp(kNow), 2500);
        form.Combo2->setEditText(QStringLiteral("2"));
        type(customer);
        press(Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), form.Text2);
        QVERIFY(env->spooler.jobs.isEmpty()); // Enter in the customer box never prints
        type(QStringLiteral("Boiler spares, van 2"));
        press(Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), form.Combo1);
        form.Combo2->setEditText(QStringLiteral("2"));
        QTest::mouseClick(form.Command1, Qt::LeftButton);
        QCOMPARE(form.Combo1->count(), 44); // nothing typed is added to the list
        QVERIFY(Golden::matches(QTest::currentDataTag() + QStringLiteral(".txt"),
                                prompts.transcript() + typedTexts(&form).join(QLatin1Char('\n')) + QLatin1Char('\n')));
    }

    // The copies text as typed; copies 0: nothing printed, nothing lost, and
    // the warning names `named`, by Print and by Enter alike.
    void copiesAndRefusals_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<int>("copies");
        QTest::addColumn<QString>("named");
        QTest::newRow("3") << "3" << "" << 3 << "";
        QTest::newRow("number then a word") << "12 x" << "" << 12 << "";
        QTest::newRow("blanks inside are ignored") << "1 2" << "" << 12 << "";
        QTest::newRow("a half rounds down to even") << "2.5" << "" << 2 << "";
        QTest::newRow("a half rounds up to even") << "3.5" << "" << 4 << "";
        QTest::newRow("no number still prints once") << "many" << "" << 1 << "";
        QTest::newRow("beyond 16 bits") << "40000" << "" << 0 << "\"40000\"";
        QTest::newRow("printer refuses") << "2" << "out of labels" << 0 << "out of labels";
    }
    void copiesAndRefusals()
    {
        QFETCH(QString, typed);
        QFETCH(QString, refusal);
        QFETCH(int, copies);
        QFETCH(QString, named);
        ScriptedPrompts prompts(&env->spooler);
        prompts.yes = false;
        if (!refusal.isEmpty())
            env->spooler.refuseJobs(refusal);
        Form1 form;
        form.Combo1->setEditText(QStringLiteral("Alder Court"));
        form.Text2->setText(QStringLiteral("JOB 4471"));
        form.Combo2->clearEditText();
        QTest::keyClicks(form.Combo2, typed);
        QTest::mouseClick(form.Command1, Qt::LeftButton);
        if (copies) {
            QCOMPARE(env->spooler.jobs.size(), 1);
            QCOMPARE(env->spooler.jobs[0].copies, copies);
            QCOMPARE(form.Combo2->currentText(), QStringLiteral("1"));
            return;
        }
        QTest::keyClick(form.Text2, Qt::Key_Return);
        QVERIFY(env->spooler.jobs.isEmpty());
        QCOMPARE(prompts.log.filter(QStringLiteral("warn '")).filter(named).size(), 2);
        QCOMPARE(prompts.log.size(), 2); // nothing printed, nothing offered to clear
        QCOMPARE(typedTexts(&form), QStringList({"QComboBox=Alder Court", "QLineEdit=JOB 4471", "QComboBox=" + typed}));
    }

    // The joke window opens on a right click on the company name, not a left
    // one; it shows its picture from the top-left corner at its natural size
    // (the bottom rows do not fit); Esc and the stray release of the right
    // click leave it open; a click closes it.
    void jokeWindow()
    {
        Form1 form;
        QVERIFY(showActive(&form));
        bool openAfterKeyAndRelease = false;
        ModalWatcher watcher([&](QWidget *window, int) {
            auto *joke = qobject_cast<AprilFool *>(window);
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
        QTest::mouseClick(form.Label1, Qt::LeftButton);
        QTest::mouseClick(form.Label1, Qt::RightButton);
        QTest::qWait(50);
        QCOMPARE(watcher.opened, QStringList{kJoke});
        QVERIFY(openAfterKeyAndRelease);
        QCOMPARE(watcher.stillOpenAfterAct, QStringList());
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
