// The main window: its design, the load sequence, the keyboard flow and the
// quick label, driven through real key and mouse events against a recording
// spooler.

#include "Form1.h"
#include "Form2.h"
#include "LabelFonts.h"
#include "ModalWatcher.h"
#include "PrintStamp.h"
#include "ScriptedPrompts.h"
#include "TestPrinting.h"
#include "WindowChecks.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <memory>

using namespace WindowChecks;

namespace {

const QDateTime kNow(QDate(2026, 6, 12), QTime(9, 30, 5));

PrintOp text(double x, double y, double size, const QString &value)
{
    return textOp(x, y, value, {QStringLiteral("Tahoma"), size, false});
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

    void design()
    {
        Form1 form;
        // The window names none of its controls; name them here as the design does.
        const QList<std::pair<QWidget *, const char *>> controls = {
            {form.Label1, "Label1"},     {form.Combo1, "Combo1"},     {form.Text2, "Text2"},
            {form.Label2, "Label2"},     {form.Command1, "Command1"}, {form.Command4, "Command4"},
            {form.Command3, "Command3"}, {form.Command6, "Command6"}, {form.Combo2, "Combo2"},
            {form.Command5, "Command5"}, {form.Command2, "Command2"}, {form.Command7, "Command7"}};
        QStringList rows, tips;
        for (const auto &[control, name] : controls) {
            control->setObjectName(QString::fromLatin1(name));
            rows << WindowChecks::design(control);
            if (!control->toolTip().isEmpty())
                tips << QString::fromLatin1(name) + QStringLiteral(": ") + control->toolTip();
        }
        QCOMPARE(rows, QStringList({"Label1 120,120,5175,255 Tahoma 9.75 bold centre 'Veltrane Heating Supplies Ltd.'",
                                    "Combo1 120,480,5175,645 Tahoma 21.75 ''",
                                    "Text2 120,1200,5175,855 Tahoma 30 ''",
                                    "Label2 120,2160,5175,495 Tahoma 20.25 ''",
                                    "Command1 120,2760,2055,615 Tahoma 20.25 'Print!'",
                                    "Command4 2280,2760,615,615 Tahoma 20.25 ''",
                                    "Command3 3000,2760,615,615 Tahoma 20.25 ''",
                                    "Command6 3720,2760,615,615 Tahoma 20.25 ''",
                                    "Combo2 4440,2760,855,615 Tahoma 20.25 '1'",
                                    "Command5 120,3480,1575,615 Tahoma 20.25 'Ormex'",
                                    "Command2 1800,3480,1695,615 Tahoma 20.25 'Shelves'",
                                    "Command7 3600,3480,1695,615 Tahoma 20.25 'Bins'"}));
        QCOMPARE(tips, QStringList({"Command1: Print Label", "Command3: Change Printer", "Command2: Print Shelf Labels"}));
        QCOMPARE(frame(&form), QStringLiteral("'TagFoundry' 5400x4230 fixed close"));
        QVERIFY((form.geometry().center() - form.screen()->availableGeometry().center()).manhattanLength() <= 2);

        QVERIFY(showActive(&form));
        QCOMPARE(tabOrder(&form, 10), QStringList({"Combo1", "Text2", "Command1", "Command2", "Command4", "Command3",
                                                   "Command6", "Command5", "Combo2", "Command7", "Combo1"}));

        // The clock, empty in the rows above, shows the stamp from its first tick on.
        QTRY_COMPARE_WITH_TIMEOUT(form.Label2->text(), PrintStamp(kNow), 2500);
    }

    void chooserOpensAtLoadOnlyWithoutASavedPrinter_data()
    {
        QTest::addColumn<QString>("saved");
        QTest::addColumn<QStringList>("opened");
        QTest::newRow("none") << "none" << QStringList{"Form2: Printer Chooser"};
        QTest::newRow("a printer saved") << "Label Printer" << QStringList{};
        QTest::newRow("None is a name, not the marker") << "None" << QStringList{};
    }

    void chooserOpensAtLoadOnlyWithoutASavedPrinter()
    {
        QFETCH(QString, saved);
        QFETCH(QStringList, opened);
        env->savePrinter(saved);
        ModalWatcher watcher; // closes the chooser by its close box: nothing chosen
        Form1 form;           // the load sequence runs here
        QCOMPARE(watcher.opened, opened);
        QCOMPARE(env->savedPrinter(), saved);
        QCOMPARE(form.Combo2->count(), 30); // loading went on after the chooser
    }

    // Enter moves from the customer to the second line and prints from there,
    // then offers to clear; the quick label is the same job from Print.
    void enterFlowAndQuickLabel_data()
    {
        QTest::addColumn<QString>("customer");
        QTest::addColumn<QString>("second");
        QTest::addColumn<bool>("yes");
        QTest::newRow("Yes empties both fields") << "Alder Court" << "Boiler spares, van 2" << true;
        // A list entry in small letters is neither completed nor snapped to the entry.
        QTest::newRow("No keeps both fields as typed") << Form1::customerNames().first().toLower() << "x" << false;
    }

    void enterFlowAndQuickLabel()
    {
        QFETCH(QString, customer);
        QFETCH(QString, second);
        QFETCH(bool, yes);
        ScriptedPrompts prompts(&env->spooler);
        prompts.yes = yes;
        Form1 form;
        QVERIFY(showActive(&form));
        form.Combo2->setEditText(QStringLiteral("2"));

        type(customer);
        press(Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), form.Text2);
        QVERIFY(env->spooler.jobs.isEmpty()); // Enter in the customer box never prints

        type(second);
        press(Qt::Key_Return);
        QCOMPARE(env->spooler.jobs.size(), 1);
        const PrintJob job = env->spooler.jobs[0];
        QCOMPARE(job.printerName, QStringLiteral("Label Printer"));
        QCOMPARE(job.copies, 2);
        QCOMPARE(job.ops, QList<PrintOp>({text(400, 200, 12, "Veltrane Heating Supplies Ltd."), text(160, 500, 28, customer),
                                          text(160, 1200, 28, second), text(160, 2000, 20, PrintStamp(kNow))}));
        QCOMPARE(prompts.questions.size(), 1);
        QCOMPARE(prompts.questions[0].text + " / " + prompts.questions[0].title, QStringLiteral("Clear? / Clear Fields?"));
        QCOMPARE(prompts.questions[0].jobsBefore, 1);      // printed before asking
        QCOMPARE(prompts.questions[0].focus, form.Combo1); // focus already back
        QCOMPARE(QApplication::focusWidget(), form.Combo1);
        QCOMPARE(form.Combo1->currentText(), yes ? QString() : customer);
        QCOMPARE(form.Text2->text(), yes ? QString() : second);
        QCOMPARE(form.Combo1->count(), 44); // nothing typed is added to the list
        if (yes)
            return;
        form.Combo2->setEditText(QStringLiteral("2"));
        QTest::mouseClick(form.Command1, Qt::LeftButton);
        QCOMPARE(env->spooler.jobs.size(), 2);
        QCOMPARE(env->spooler.jobs[1], job);
    }

    // The copies text as typed; copies 0: nothing printed, and the warning names `named`.
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
        QTest::keyClick(form.Text2, Qt::Key_Return); // the other road fails the same way
        QVERIFY(env->spooler.jobs.isEmpty());
        QCOMPARE(prompts.warnings.size(), 2);
        QVERIFY2(prompts.warnings[0].contains(named), qPrintable(prompts.warnings[0]));
        QVERIFY(prompts.questions.isEmpty()); // nothing printed, nothing offered to clear
        QCOMPARE(form.Combo1->currentText() + "|" + form.Text2->text() + "|" + form.Combo2->currentText(),
                 "Alder Court|JOB 4471|" + typed);
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
