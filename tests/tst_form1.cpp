// The main window: its design, the load sequence, the keyboard flow and the
// quick label, driven through real key and mouse events against a recording
// spooler.

#include "Form1.h"
#include "Form2.h"
#include "LabelFonts.h"
#include "PrintStamp.h"
#include "ScriptedPrompts.h"
#include "TestPrinting.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

const QDateTime kNow(QDate(2026, 6, 12), QTime(9, 30, 5));

QWidget *control(Form1 &form, const QString &name)
{
    const QHash<QString, QWidget *> controls = {
        {"Label1", form.Label1},     {"Combo1", form.Combo1},     {"Text2", form.Text2},
        {"Label2", form.Label2},     {"Command1", form.Command1}, {"Command4", form.Command4},
        {"Command3", form.Command3}, {"Command6", form.Command6}, {"Combo2", form.Combo2},
        {"Command5", form.Command5}, {"Command2", form.Command2}, {"Command7", form.Command7}};
    return controls.value(name);
}

QString captionOf(QWidget *widget)
{
    if (auto *label = qobject_cast<QLabel *>(widget))
        return label->text();
    if (auto *button = qobject_cast<QPushButton *>(widget))
        return button->text();
    if (auto *combo = qobject_cast<QComboBox *>(widget))
        return combo->currentText();
    if (auto *edit = qobject_cast<QLineEdit *>(widget))
        return edit->text();
    return {};
}

PrintOp text(double x, double y, double size, const QString &value)
{
    PrintOp op;
    op.at = {x, y};
    op.text = value;
    op.font = {QStringLiteral("Tahoma"), size, false};
    return op;
}

// A window on screen with the keyboard focus in it.
void showActive(Form1 &form)
{
    form.show();
    QApplication::setActiveWindow(&form);
    QVERIFY(QTest::qWaitForWindowActive(&form));
}

} // namespace

class TestForm1 : public QObject {
    Q_OBJECT

    std::unique_ptr<TestPrinting> env;

private slots:
    void initTestCase() { LabelFonts::ensureInstalled(); }

    void init()
    {
        env = std::make_unique<TestPrinting>();
        env->savePrinter(QStringLiteral("Label Printer"));
        Clock::setNowForTests([] { return kNow; });
    }
    void cleanup() { env.reset(); }

    void controlsFollowTheDesign_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("twips");
        QTest::addColumn<double>("points"); // 0: no font of its own (the window's, or none)
        QTest::addColumn<bool>("bold");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("toolTip");
        QTest::newRow("Label1") << "Label1" << QRect(120, 120, 5175, 255) << 9.75 << true
                                << "Veltrane Heating Supplies Ltd." << "";
        QTest::newRow("Combo1") << "Combo1" << QRect(120, 480, 5175, 645) << 21.75 << false << "" << "";
        QTest::newRow("Text2") << "Text2" << QRect(120, 1200, 5175, 855) << 30.0 << false << "" << "";
        QTest::newRow("Label2") << "Label2" << QRect(120, 2160, 5175, 495) << 0.0 << false << "" << "";
        QTest::newRow("Command1") << "Command1" << QRect(120, 2760, 2055, 615) << 0.0 << false << "Print!"
                                  << "Print Label";
        QTest::newRow("Command4") << "Command4" << QRect(2280, 2760, 615, 615) << 0.0 << false << "" << "";
        QTest::newRow("Command3") << "Command3" << QRect(3000, 2760, 615, 615) << 0.0 << false << ""
                                  << "Change Printer";
        QTest::newRow("Command6") << "Command6" << QRect(3720, 2760, 615, 615) << 0.0 << false << "" << "";
        QTest::newRow("Combo2") << "Combo2" << QRect(4440, 2760, 855, 615) << 0.0 << false << "1" << "";
        QTest::newRow("Command5") << "Command5" << QRect(120, 3480, 1575, 615) << 0.0 << false << "Ormex" << "";
        QTest::newRow("Command2") << "Command2" << QRect(1800, 3480, 1695, 615) << 0.0 << false << "Shelves"
                                  << "Print Shelf Labels";
        QTest::newRow("Command7") << "Command7" << QRect(3600, 3480, 1695, 615) << 0.0 << false << "Bins" << "";
    }

    void controlsFollowTheDesign()
    {
        QFETCH(QString, name);
        QFETCH(QRect, twips);
        QFETCH(double, points);
        QFETCH(bool, bold);
        QFETCH(QString, caption);
        QFETCH(QString, toolTip);
        Form1 form;
        QWidget *widget = control(form, name);
        QVERIFY(widget);
        QCOMPARE(widget->geometry(),
                 QRect(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15));
        QCOMPARE(widget->font().family(), QStringLiteral("Tahoma"));
        QCOMPARE(widget->font().pointSizeF(), points > 0 ? points : 20.25); // else the window's
        QCOMPARE(widget->font().bold(), bold);
        QCOMPARE(captionOf(widget), caption);
        QCOMPARE(widget->toolTip(), toolTip);
    }

    void windowIsAFixedCentredDialogFrame()
    {
        Form1 form;
        QCOMPARE(form.windowTitle(), QStringLiteral("TagFoundry"));
        QCOMPARE(form.minimumSize(), QSize(360, 282));
        QCOMPARE(form.maximumSize(), QSize(360, 282));
        const Qt::WindowFlags flags = form.windowFlags();
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(form.font().family(), QStringLiteral("Tahoma"));
        QCOMPARE(form.font().pointSizeF(), 20.25);
        QVERIFY(!form.windowIcon().isNull());
        for (QPushButton *picture : {form.Command3, form.Command4, form.Command6})
            QVERIFY(!picture->icon().isNull());
        const QPoint screenCentre = form.screen()->availableGeometry().center();
        QVERIFY((form.geometry().center() - screenCentre).manhattanLength() <= 2);
    }

    void tabGoesThroughTheControlsInDesignOrder()
    {
        Form1 form;
        showActive(form);
        QCOMPARE(QApplication::focusWidget(), form.Combo1); // tab order 0
        QStringList visited;
        for (int i = 0; i < 10; ++i) {
            const QWidget *focus = QApplication::focusWidget();
            visited.append(focus == form.Combo1 ? "Combo1" : focus == form.Text2 ? "Text2"
                         : focus == form.Command1 ? "Command1" : focus == form.Command2 ? "Command2"
                         : focus == form.Command3 ? "Command3" : focus == form.Command4 ? "Command4"
                         : focus == form.Command5 ? "Command5" : focus == form.Command6 ? "Command6"
                         : focus == form.Command7 ? "Command7" : focus == form.Combo2 ? "Combo2" : "?");
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(visited, QStringList({"Combo1", "Text2", "Command1", "Command2", "Command4", "Command3",
                                       "Command6", "Command5", "Combo2", "Command7"}));
        QCOMPARE(QApplication::focusWidget(), form.Combo1); // and round again
    }

    void listsAfterLoad()
    {
        Form1 form;
        QStringList customers;
        for (int i = 0; i < form.Combo1->count(); ++i)
            customers.append(form.Combo1->itemText(i));
        QCOMPARE(customers.size(), 44);
        QCOMPARE(QSet<QString>(customers.begin(), customers.end()).size(), 44);
        QStringList sorted = customers;
        sorted.sort();
        QVERIFY(customers != sorted);
        QVERIFY(customers.filter(QRegularExpression("^[A-Z]{2,4} - \\S+ \\S+$")).size() >= 2);
        QCOMPARE(form.Combo1->currentText(), QString());

        QCOMPARE(form.Combo2->count(), 30);
        for (int i = 0; i < 30; ++i)
            QCOMPARE(form.Combo2->itemText(i), QString::number(i + 1));
        QCOMPARE(form.Combo2->currentText(), QStringLiteral("1"));
    }

    void clockIsEmptyForASecondThenShowsTheStamp()
    {
        Form1 form;
        QVERIFY(form.Timer1->isActive());
        QCOMPARE(form.Timer1->interval(), 1000);
        QCOMPARE(form.Label2->text(), QString());
        QTRY_COMPARE_WITH_TIMEOUT(form.Label2->text(), PrintStamp(kNow), 2500);
    }

    void chooserOpensAtLoadOnlyWithoutASavedPrinter_data()
    {
        QTest::addColumn<QString>("saved");
        QTest::addColumn<QStringList>("opened");
        QTest::newRow("none") << "none" << QStringList{"Form2"};
        QTest::newRow("a printer saved") << "Label Printer" << QStringList{};
        QTest::newRow("None is a name, not the marker") << "None" << QStringList{};
    }

    void chooserOpensAtLoadOnlyWithoutASavedPrinter()
    {
        QFETCH(QString, saved);
        QFETCH(QStringList, opened);
        env->savePrinter(saved);
        QStringList seen;
        bool mainWindowVisible = false;
        QTimer watcher;
        connect(&watcher, &QTimer::timeout, [&] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                seen.append(QString::fromLatin1(modal->metaObject()->className()));
                mainWindowVisible = modal->parentWidget() && modal->parentWidget()->isVisible();
                modal->close(); // the close box: nothing chosen
            }
        });
        watcher.start(10);
        Form1 form; // the load sequence runs here, before the window is shown
        watcher.stop();
        QCOMPARE(seen, opened);
        QVERIFY(!mainWindowVisible);
        QCOMPARE(env->savedPrinter(), saved);
        QCOMPARE(form.Combo2->count(), 30); // loading went on after the chooser

        // Without a label printer the quick label goes to the current one.
        QTest::mouseClick(form.Command1, Qt::LeftButton);
        QCOMPARE(env->spooler.jobs.size(), 1);
        QCOMPARE(env->spooler.jobs[0].printerName, saved == "Label Printer" ? saved : QStringLiteral("Office"));
    }

    void enterMovesOnThenPrintsAndOffersToClear_data()
    {
        QTest::addColumn<QString>("customer");
        QTest::addColumn<QString>("second");
        QTest::addColumn<bool>("yes");
        QTest::newRow("Yes empties both fields") << "Alder Court" << "JOB 4471" << true;
        QTest::newRow("No keeps both fields") << "Alder Court" << "JOB 4471" << false;
        QTest::newRow("both empty still prints") << "" << "" << false;
    }

    void enterMovesOnThenPrintsAndOffersToClear()
    {
        QFETCH(QString, customer);
        QFETCH(QString, second);
        QFETCH(bool, yes);
        ScriptedPrompts prompts(&env->spooler);
        prompts.yes = yes;
        Form1 form;
        showActive(form);

        QTest::keyClicks(form.Combo1, customer);
        QTest::keyClick(form.Combo1, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), form.Text2);
        QVERIFY(env->spooler.jobs.isEmpty()); // Enter in the customer box never prints

        QTest::keyClicks(form.Text2, second);
        QTest::keyClick(form.Text2, Qt::Key_Return);
        QCOMPARE(env->spooler.jobs.size(), 1);
        const QList<PrintOp> ops = env->spooler.jobs[0].ops;
        QCOMPARE(ops.size(), 4); // company line and stamp even with both fields empty
        QCOMPARE(ops[1].text, customer);
        QCOMPARE(ops[2].text, second);
        QCOMPARE(prompts.questions.size(), 1);
        QCOMPARE(prompts.questions[0].text, QStringLiteral("Clear?"));
        QCOMPARE(prompts.questions[0].title, QStringLiteral("Clear Fields?"));
        QCOMPARE(prompts.questions[0].jobsBefore, 1);            // printed before asking
        QCOMPARE(prompts.questions[0].focus, form.Combo1);       // focus already back
        QCOMPARE(QApplication::focusWidget(), form.Combo1);
        QCOMPARE(form.Combo1->currentText(), yes ? QString() : customer);
        QCOMPARE(form.Text2->text(), yes ? QString() : second);
    }

    void quickLabelIsTheSameJobFromBothRoads()
    {
        ScriptedPrompts prompts(&env->spooler);
        prompts.yes = false;
        Form1 form;
        form.Combo1->setCurrentIndex(3); // picked from the list
        const QString customer = form.Combo1->itemText(3);
        QTest::keyClicks(form.Text2, QStringLiteral("Boiler spares, van 2"));
        form.Combo2->setEditText(QStringLiteral("2"));
        QTest::mouseClick(form.Command1, Qt::LeftButton);
        form.Combo2->setEditText(QStringLiteral("2"));
        QTest::keyClick(form.Text2, Qt::Key_Return);

        QCOMPARE(env->spooler.jobs.size(), 2);
        QCOMPARE(env->spooler.jobs[0], env->spooler.jobs[1]);
        const PrintJob &job = env->spooler.jobs[0];
        QCOMPARE(job.printerName, QStringLiteral("Label Printer"));
        QCOMPARE(job.copies, 2);
        const QList<PrintOp> expected = {text(400, 200, 12, "Veltrane Heating Supplies Ltd."),
                                         text(160, 500, 28, customer),
                                         text(160, 1200, 28, "Boiler spares, van 2"),
                                         text(160, 2000, 20, PrintStamp(kNow))};
        QCOMPARE(job.ops, expected);
    }

    void typedNameIsPrintedExactlyAsTyped()
    {
        // A typed name that matches a list entry but for its letter case stays as typed:
        // the box neither completes nor snaps it to the entry.
        ScriptedPrompts prompts(&env->spooler);
        prompts.yes = false;
        Form1 form;
        showActive(form);
        const QString entry = form.Combo1->itemText(0);
        QTest::keyClicks(form.Combo1, entry.toLower());
        QTest::keyClick(form.Combo1, Qt::Key_Return);
        QTest::keyClick(form.Text2, Qt::Key_Return);
        QCOMPARE(env->spooler.jobs.size(), 1);
        QCOMPARE(env->spooler.jobs[0].ops[1].text, entry.toLower());
        QCOMPARE(form.Combo1->currentText(), entry.toLower());
        QCOMPARE(form.Combo1->count(), 44); // nothing typed is added to the list
    }

    void copiesFromTheTypedText_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("copies");
        QTest::newRow("3") << "3" << 3;
        QTest::newRow("number then a word") << "12 x" << 12;
        QTest::newRow("blanks inside are ignored") << "1 2" << 12;
        QTest::newRow("a half rounds down to even") << "2.5" << 2;
        QTest::newRow("a half rounds up to even") << "3.5" << 4;
        QTest::newRow("30, the list's last") << "30" << 30;
        QTest::newRow("no number still prints once") << "many" << 1;
    }

    void copiesFromTheTypedText()
    {
        QFETCH(QString, typed);
        QFETCH(int, copies);
        Form1 form;
        form.Combo2->clearEditText();
        QTest::keyClicks(form.Combo2, typed);
        QCOMPARE(form.Combo2->currentText(), typed);
        QTest::mouseClick(form.Command1, Qt::LeftButton);
        QCOMPARE(env->spooler.jobs.size(), 1);
        QCOMPARE(env->spooler.jobs[0].copies, copies);
        QCOMPARE(form.Combo2->currentText(), QStringLiteral("1"));
    }

    void failureIsShownAndKeepsWhatWasTyped_data()
    {
        QTest::addColumn<QString>("copies");
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QString>("named");
        QTest::newRow("copies beyond 16 bits") << "40000" << "" << "\"40000\"";
        QTest::newRow("negative copies beyond 16 bits") << "-1e6" << "" << "\"-1e6\"";
        QTest::newRow("printer refuses") << "2" << "out of labels" << "out of labels";
    }

    void failureIsShownAndKeepsWhatWasTyped()
    {
        QFETCH(QString, copies);
        QFETCH(QString, refusal);
        QFETCH(QString, named);
        ScriptedPrompts prompts(&env->spooler);
        if (!refusal.isEmpty())
            env->spooler.refuseJobs(refusal);
        Form1 form;
        form.Combo1->setEditText(QStringLiteral("Alder Court"));
        form.Text2->setText(QStringLiteral("JOB 4471"));
        form.Combo2->setEditText(copies);

        QTest::keyClick(form.Text2, Qt::Key_Return);
        QTest::mouseClick(form.Command1, Qt::LeftButton);

        QVERIFY(env->spooler.jobs.isEmpty());
        QCOMPARE(prompts.warnings.size(), 2);
        QVERIFY2(prompts.warnings[0].contains(named), qPrintable(prompts.warnings[0]));
        QVERIFY(prompts.questions.isEmpty()); // nothing printed, nothing offered to clear
        QCOMPARE(form.Combo1->currentText(), QStringLiteral("Alder Court"));
        QCOMPARE(form.Text2->text(), QStringLiteral("JOB 4471"));
        QCOMPARE(form.Combo2->currentText(), copies);

        // The next label after the slip is mended prints normally.
        env->spooler.refuseJobs({}, -1);
        form.Combo2->setEditText(QStringLiteral("1"));
        QTest::mouseClick(form.Command1, Qt::LeftButton);
        QCOMPARE(env->spooler.jobs.size(), 1);
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
