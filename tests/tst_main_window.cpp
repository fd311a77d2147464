// The main window: its design, the load sequence, the keyboard flow and the
// quick label, driven through real key and mouse events against a recording
// spooler.

#include "MainWindow.h"
#include "PrinterChooser.h"
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

class TestMainWindow : public QObject {
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
        MainWindow form;
        // The window names none of its controls; name them here as the design does.
        const QList<std::pair<QWidget *, const char *>> controls = {
            {form.companyLabel, "companyLabel"},     {form.customerBox, "customerBox"},     {form.secondLineBox, "secondLineBox"},
            {form.clockLabel, "clockLabel"},     {form.printButton, "printButton"}, {form.addressLabelsButton, "addressLabelsButton"},
            {form.choosePrinterButton, "choosePrinterButton"}, {form.partLabelsButton, "partLabelsButton"}, {form.copiesBox, "copiesBox"},
            {form.orderLabelsButton, "orderLabelsButton"}, {form.shelvesButton, "shelvesButton"}, {form.binLabelsButton, "binLabelsButton"}};
        QStringList rows, tips;
        for (const auto &[control, name] : controls) {
            control->setObjectName(QString::fromLatin1(name));
            rows << WindowChecks::design(control);
            if (!control->toolTip().isEmpty())
                tips << QString::fromLatin1(name) + QStringLiteral(": ") + control->toolTip();
        }
        QCOMPARE(rows, QStringList({"companyLabel 120,120,5175,255 Tahoma 9.75 bold centre 'Veltrane Heating Supplies Ltd.'",
                                    "customerBox 120,480,5175,645 Tahoma 21.75 ''",
                                    "secondLineBox 120,1200,5175,855 Tahoma 30 ''",
                                    "clockLabel 120,2160,5175,495 Tahoma 20.25 ''",
                                    "printButton 120,2760,2055,615 Tahoma 20.25 'Print!'",
                                    "addressLabelsButton 2280,2760,615,615 Tahoma 20.25 ''",
                                    "choosePrinterButton 3000,2760,615,615 Tahoma 20.25 ''",
                                    "partLabelsButton 3720,2760,615,615 Tahoma 20.25 ''",
                                    "copiesBox 4440,2760,855,615 Tahoma 20.25 '1'",
                                    "orderLabelsButton 120,3480,1575,615 Tahoma 20.25 'Ormex'",
                                    "shelvesButton 1800,3480,1695,615 Tahoma 20.25 'Shelves'",
                                    "binLabelsButton 3600,3480,1695,615 Tahoma 20.25 'Bins'"}));
        QCOMPARE(tips, QStringList({"printButton: Print Label", "choosePrinterButton: Change Printer", "shelvesButton: Print Shelf Labels"}));
        QCOMPARE(frame(&form), QStringLiteral("'TagFoundry' 5400x4230 fixed close"));
        QVERIFY((form.geometry().center() - form.screen()->availableGeometry().center()).manhattanLength() <= 2);

        QVERIFY(showActive(&form));
        QCOMPARE(tabOrder(&form, 10), QStringList({"customerBox", "secondLineBox", "printButton", "shelvesButton", "addressLabelsButton", "choosePrinterButton",
                                                   "partLabelsButton", "orderLabelsButton", "copiesBox", "binLabelsButton", "customerBox"}));

        // The clock, empty in the rows above, shows the stamp from its first tick on.
        QTRY_COMPARE_WITH_TIMEOUT(form.clockLabel->text(), PrintStamp(kNow), 2500);
    }

    void chooserOpensAtLoadOnlyWithoutASavedPrinter_data()
    {
        QTest::addColumn<QString>("saved");
        QTest::addColumn<QStringList>("opened");
        QTest::newRow("none") << "none" << QStringList{"PrinterChooser: Printer Chooser"};
        QTest::newRow("a printer saved") << "Label Printer" << QStringList{};
        QTest::newRow("None is a name, not the marker") << "None" << QStringList{};
    }

    void chooserOpensAtLoadOnlyWithoutASavedPrinter()
    {
        QFETCH(QString, saved);
        QFETCH(QStringList, opened);
        env->savePrinter(saved);
        ModalWatcher watcher; // closes the chooser by its close box: nothing chosen
        MainWindow form;           // the load sequence runs here
        QCOMPARE(watcher.opened, opened);
        QCOMPARE(env->savedPrinter(), saved);
        QCOMPARE(form.copiesBox->count(), 30); // loading went on after the chooser
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
        QTest::newRow("No keeps both fields as typed") << MainWindow::customerNames().first().toLower() << "x" << false;
    }

    void enterFlowAndQuickLabel()
    {
        QFETCH(QString, customer);
        QFETCH(QString, second);
        QFETCH(bool, yes);
        ScriptedPrompts prompts(&env->spooler);
        prompts.yes = yes;
        MainWindow form;
        QVERIFY(showActive(&form));
        form.copiesBox->setEditText(QStringLiteral("2"));

        type(customer);
        press(Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), form.secondLineBox);
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
        QCOMPARE(prompts.questions[0].focus, form.customerBox); // focus already back
        QCOMPARE(QApplication::focusWidget(), form.customerBox);
        QCOMPARE(form.customerBox->currentText(), yes ? QString() : customer);
        QCOMPARE(form.secondLineBox->text(), yes ? QString() : second);
        QCOMPARE(form.customerBox->count(), 44); // nothing typed is added to the list
        if (yes)
            return;
        form.copiesBox->setEditText(QStringLiteral("2"));
        QTest::mouseClick(form.printButton, Qt::LeftButton);
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
        MainWindow form;
        form.customerBox->setEditText(QStringLiteral("Alder Court"));
        form.secondLineBox->setText(QStringLiteral("JOB 4471"));
        form.copiesBox->clearEditText();
        QTest::keyClicks(form.copiesBox, typed);
        QTest::mouseClick(form.printButton, Qt::LeftButton);
        if (copies) {
            QCOMPARE(env->spooler.jobs.size(), 1);
            QCOMPARE(env->spooler.jobs[0].copies, copies);
            QCOMPARE(form.copiesBox->currentText(), QStringLiteral("1"));
            return;
        }
        QTest::keyClick(form.secondLineBox, Qt::Key_Return); // the other road fails the same way
        QVERIFY(env->spooler.jobs.isEmpty());
        QCOMPARE(prompts.warnings.size(), 2);
        QVERIFY2(prompts.warnings[0].contains(named), qPrintable(prompts.warnings[0]));
        QVERIFY(prompts.questions.isEmpty()); // nothing printed, nothing offered to clear
        QCOMPARE(form.customerBox->currentText() + "|" + form.secondLineBox->text() + "|" + form.copiesBox->currentText(),
                 "Alder Court|JOB 4471|" + typed);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
