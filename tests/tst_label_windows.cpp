// The address, order and bin label windows, driven through real key presses
// and mouse clicks against a recording spooler: their designs, their Enter
// flow, the exact jobs of their layouts and what happens when a print fails.

#include "Form3.h"
#include "LabelImage.h"
#include "ModalWatcher.h"
#include "Ormex.h"
#include "PrintStamp.h"
#include "ScriptedPrompts.h"
#include "TestPrinting.h"
#include "WindowChecks.h"
#include "frmBinLabeller.h"

#include <QtTest>

#include <memory>

using namespace WindowChecks;

namespace {

const QDateTime kNow(QDate(2026, 6, 12), QTime(19, 29, 50));

std::unique_ptr<QDialog> makeWindow(const QString &name)
{
    if (name == QLatin1String("Form3"))
        return std::make_unique<Form3>();
    if (name == QLatin1String("Ormex"))
        return std::make_unique<Ormex>();
    return std::make_unique<frmBinLabeller>();
}

PrintJob job(const QString &printer, const QString &title, int copies, QList<PrintOp> ops)
{
    return PrintJob{printer, QStringLiteral("TagFoundry ") + title, copies, std::move(ops)};
}

PrintJob addressJob(const QStringList &lines, int copies = 1)
{
    QList<PrintOp> ops;
    for (int i = 0; i < 4; ++i)
        ops << textOp(160, 100 + 600 * i, lines[i], {QStringLiteral("Arial"), 28, false});
    return job(QStringLiteral("Label Printer"), QStringLiteral("Address label"), copies, ops);
}

PrintJob orderJob(const QStringList &texts)
{
    const FontSpec small{QStringLiteral("Arial"), 14, false};
    return job(QStringLiteral("Label Printer"), QStringLiteral("ORMEX order label"), 1,
               {textOp(250, 300, "ORMEX", {QStringLiteral("Arial"), 30, false}),
                textOp(160, 1000, "Order No: " + texts[0], small), textOp(160, 1400, "Contract: " + texts[1], small),
                textOp(160, 1800, "Site Address: " + texts[2], small)});
}

PrintJob binJob(const QString &code, double barcodePoints)
{
    PrintOp frame;
    frame.kind = PrintOp::Kind::Box;
    frame.at = {200, 60};
    frame.to = {4200, 580};
    return job(QStringLiteral("Office"), QStringLiteral("BIN ") + code, 1,
               {frame, textOp(300, 80, code, {QStringLiteral("Tahoma"), 20, false}),
                textOp(250, 1000, QLatin1Char('*') + code + QLatin1Char('*'),
                       {QStringLiteral("Free 3 of 9"), barcodePoints, false}),
                textOp(1200, 2500, PrintStamp(kNow), {QStringLiteral("Tahoma"), 10, false})});
}

} // namespace

class TestLabelWindows : public QObject {
    Q_OBJECT

    std::unique_ptr<TestPrinting> env;
    std::unique_ptr<ScriptedPrompts> prompts;

    // A window shown and active, as the user meets it.
    template <class W = QDialog> std::unique_ptr<W> open(const QString &name = W::staticMetaObject.className())
    {
        std::unique_ptr<W> window(static_cast<W *>(makeWindow(name).release()));
        if (!showActive(window.get()))
            qWarning("window did not become active");
        return window;
    }

private slots:
    void init()
    {
        env = std::make_unique<TestPrinting>();
        env->savePrinter(QStringLiteral("Label Printer"));
        prompts = std::make_unique<ScriptedPrompts>(&env->spooler);
        Clock::setNowForTests([] { return kNow; });
    }
    void cleanup()
    {
        prompts.reset();
        env.reset();
    }

    void design_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("frame");
        QTest::addColumn<QStringList>("tabOrder"); // focus at the start and after each press of Tab
        QTest::addColumn<QStringList>("controls");
        QTest::newRow("Form3") << "Form3" << "'TagFoundry' 4710x4350 fixed close"
                               << QStringList{"Text1", "Text2", "Text3", "Text4", "Command1", "Command2", "Combo2", "Text1"}
                               << QStringList{"Text1 120,120,4455,765 Arial 24 bold ''",
                                              "Text2 120,960,4455,765 Arial 24 bold ''",
                                              "Text3 120,1800,4455,765 Arial 24 bold ''",
                                              "Text4 120,2640,4455,765 Arial 24 bold ''",
                                              "Command1 120,3600,1695,615 Tahoma 24 bold 'Print'",
                                              "Command2 2880,3600,1695,615 Tahoma 24 bold 'Close'",
                                              "Combo2 1920,3600,855,615 Tahoma 20.25 '1'"};
        QTest::newRow("Ormex") << "Ormex" << "'TagFoundry' 6975x3285 fixed close"
                               << QStringList{"Text1", "Text2", "Text3", "Command1", "Command2", "Text1"}
                               << QStringList{"Label1 0,0,6855,735 Tahoma 30 bold centre 'Ormex'",
                                              "Label2 0,840,2295,495 Tahoma 14.25 bold right 'Order No:'",
                                              "Label3 0,1440,2295,615 Tahoma 14.25 bold right 'Contract:'",
                                              "Label4 0,2040,2295,615 Tahoma 14.25 bold right 'Site Address:'",
                                              "Text1 2400,720,4455,525 Arial 12 bold ''",
                                              "Text2 2400,1320,4455,525 Arial 12 bold ''",
                                              "Text3 2400,1920,4455,525 Arial 12 bold ''",
                                              "Command1 120,2520,2175,615 Tahoma 24 bold 'Print'",
                                              "Command2 4680,2520,2175,615 Tahoma 24 bold 'Close'"};
        QTest::newRow("bins") << "frmBinLabeller" << "'Bin Labelling' 4680x2280 sizable close"
                              << QStringList{"Text1", "Command1", "Command2", "Text1"}
                              << QStringList{"Label1 120,120,4455,495 Tahoma 20.25 bold centre 'Bin Labelling'",
                                             "Text1 120,720,4455,735 Tahoma 20.25 ''",
                                             "Command1 120,1560,2175,615 Tahoma 20.25 'Print'",
                                             "Command2 2400,1560,2175,615 Tahoma 20.25 'Close'"};
    }
    void design()
    {
        QFETCH(QString, window);
        QFETCH(QString, frame);
        QFETCH(QStringList, tabOrder);
        QFETCH(QStringList, controls);
        auto w = open(window);
        QCOMPARE(WindowChecks::frame(w.get()), frame);
        QStringList names;
        for (const QString &row : controls)
            names << row.section(QLatin1Char(' '), 0, 0);
        QCOMPARE(designOf(w.get(), names), controls);
        QCOMPARE(WindowChecks::tabOrder(w.get(), int(tabOrder.size()) - 1), tabOrder);
    }

    // Enter moves down the fields and prints the exact job from the last one,
    // just as Print does; the key still reaches each field; Esc does nothing;
    // what was typed stays.
    void addressAndOrder_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<PrintJob>("expected");
        const auto address = [](const char *name, const QStringList &lines) {
            QTest::newRow(name) << "Form3" << lines << addressJob(lines);
        };
        address("address: four lines", {"Mrs A. Jones", "12 High St", "Leeds", "LS1 4AB"});
        address("address: second empty, the others keep their places", {"Acme", "", "Unit 4", "York"});
        address("address: as typed, blanks and case kept", {"  mIxEd  ", "", "", "a very long line that runs off the label"});
        QTest::newRow("order: all empty, heading and prefixes") << "Ormex" << QStringList{"", "", ""}
                                                                << orderJob({"", "", ""});
        const QStringList order{"PO 4471", "Gas safety 2026", " 3 Mill Lane, Hull "};
        QTest::newRow("order: typed") << "Ormex" << order << orderJob(order);
    }
    void addressAndOrder()
    {
        QFETCH(QString, window);
        QFETCH(QStringList, typed);
        QFETCH(PrintJob, expected);
        auto w = open(window);
        QSignalSpy reachedFirst(w->findChild<QLineEdit *>("Text1"), &QLineEdit::returnPressed);
        QStringList left;
        for (int i = 0; i < typed.size(); ++i) {
            const QString field = QStringLiteral("Text%1").arg(i + 1);
            QCOMPARE(focusName(w.get()), field);
            QCOMPARE(env->spooler.jobs.size(), 0);
            type(typed[i]);
            press(Qt::Key_Return);
            left << field + QLatin1Char('=') + typed[i];
        }
        QCOMPARE(reachedFirst.size(), 1);
        QCOMPARE(env->spooler.jobs, QList<PrintJob>{expected});
        QTest::mouseClick(w->findChild<QPushButton *>("Command1"), Qt::LeftButton);
        // After Print was clicked, Enter in the last field still prints once.
        w->findChild<QLineEdit *>(left.last().section(QLatin1Char('='), 0, 0))->setFocus();
        press(Qt::Key_Enter);
        press(Qt::Key_Escape);
        QVERIFY(w->isVisible());
        QCOMPARE(env->spooler.jobs, QList<PrintJob>(3, expected));
        QCOMPARE(typedTexts(w.get()).filter(QStringLiteral("Text")), left);
    }

    // One label per press of Enter, then the field is emptied and keeps the
    // focus; an empty field still prints.
    void bin_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<double>("barcodePoints");
        QTest::addColumn<QString>("scanned");
        QTest::newRow("short") << "B-12" << 25.0 << "B-12";
        QTest::newRow("15 characters") << "ABCDEFGHIJ12345" << 25.0 << "ABCDEFGHIJ12345";
        QTest::newRow("16 characters, smaller barcode") << "ABCDEFGHIJ123456" << 22.0 << "ABCDEFGHIJ123456";
        QTest::newRow("lower case printed as typed") << "r2-shelf" << 25.0 << "R2-SHELF";
    }
    void bin()
    {
        QFETCH(QString, code);
        QFETCH(double, barcodePoints);
        QFETCH(QString, scanned);
        auto w = open<frmBinLabeller>();
        type(code);
        press(Qt::Key_Return);
        QCOMPARE(env->spooler.jobs, QList<PrintJob>{binJob(code, barcodePoints)});
        QCOMPARE(LabelImage::decodeCode39(env->spooler.jobs[0], 203), QStringList{scanned});
        QCOMPARE(w->Text1->text(), QString());
        QCOMPARE(focusName(w.get()), QStringLiteral("Text1"));
        QTest::mouseClick(w->Command1, Qt::LeftButton);
        QCOMPARE(env->spooler.jobs.size(), 2);
        QCOMPARE(env->spooler.jobs[1].ops[2].text, QStringLiteral("**"));
        QCOMPARE(focusName(w.get()), QStringLiteral("Text1"));
    }

    // copies 0: refused with a warning, nothing printed and every line kept.
    void addressCopies_data()
    {
        QTest::addColumn<QString>("copiesText");
        QTest::addColumn<int>("copies");
        QTest::newRow("typed, beyond the list") << "45" << 45;
        QTest::newRow("half rounds down to even") << "2.5" << 2;
        QTest::newRow("half rounds up to even") << "3.5" << 4;
        QTest::newRow("largest") << "32767" << 32767;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("a word") << "many" << 0;
        QTest::newRow("number with a word") << "3 copies" << 0;
        QTest::newRow("above the range") << "32768" << 0;
        QTest::newRow("rounds above the range") << "32767.5" << 0;
        QTest::newRow("below the range") << "-32769" << 0;
    }
    void addressCopies()
    {
        QFETCH(QString, copiesText);
        QFETCH(int, copies);
        auto w = open<Form3>();
        const QStringList lines{"One", "Two", "Three", "Four"};
        for (const QString &line : lines) {
            type(line);
            press(Qt::Key_Tab);
        }
        retype(w->Combo2, copiesText);
        const QStringList before = typedTexts(w.get());
        QTest::mouseClick(w->Command1, Qt::LeftButton);
        if (copies) {
            QCOMPARE(env->spooler.jobs, QList<PrintJob>{addressJob(lines, copies)});
            QCOMPARE(w->Combo2->currentText(), QStringLiteral("1"));
            QTest::mouseClick(w->Command1, Qt::LeftButton); // the next label is one copy again
            QCOMPARE(env->spooler.jobs[1], addressJob(lines, 1));
            return;
        }
        QCOMPARE(env->spooler.jobs.size(), 0);
        QCOMPARE(prompts->warnings.size(), 1);
        const QString &message = prompts->warnings[0];
        QVERIFY2(message.contains('"' + copiesText + '"') && message.contains("-32768 to 32767"), qPrintable(message));
        QVERIFY(w->isVisible());
        QCOMPARE(typedTexts(w.get()), before);
        // Nothing of the refused label is left in the printer for the next one.
        retype(w->Combo2, QStringLiteral("2"));
        QTest::mouseClick(w->Command1, Qt::LeftButton);
        QCOMPARE(env->spooler.jobs, QList<PrintJob>{addressJob(lines, 2)});
    }

    // The bin window uses the printer that is current; it selects nothing itself.
    void binPrintsOnCurrentPrinter()
    {
        auto bins = open<frmBinLabeller>();
        type(QStringLiteral("X1"));
        press(Qt::Key_Return);
        auto order = open<Ormex>();
        QTest::mouseClick(order->Command1, Qt::LeftButton);
        order->close();
        QVERIFY(showActive(bins.get()));
        bins->Text1->setFocus();
        type(QStringLiteral("X2"));
        press(Qt::Key_Return);
        QStringList printers;
        for (const PrintJob &printed : env->spooler.jobs)
            printers << printed.printerName;
        QCOMPARE(printers, QStringList({"Office", "Label Printer", "Label Printer"}));
    }

    // A refused job: the user is told why, and nothing typed is lost.
    void printerFailureKeepsTyping_data()
    {
        QTest::addColumn<QString>("window");
        QTest::newRow("Form3") << "Form3";
        QTest::newRow("Ormex") << "Ormex";
        QTest::newRow("bins") << "frmBinLabeller";
    }
    void printerFailureKeepsTyping()
    {
        QFETCH(QString, window);
        auto w = open(window);
        for (QLineEdit *box : w->findChildren<QLineEdit *>())
            box->setText(box->objectName() + QStringLiteral(" text"));
        if (auto *copies = w->findChild<QComboBox *>("Combo2"))
            copies->setEditText(QStringLiteral("3"));
        const QStringList before = typedTexts(w.get());
        env->spooler.refuseJobs(QStringLiteral("out of labels"));
        QTest::mouseClick(w->findChild<QPushButton *>("Command1"), Qt::LeftButton);
        QCOMPARE(env->spooler.jobs.size(), 0);
        QCOMPARE(prompts->warnings.size(), 1);
        QVERIFY2(prompts->warnings[0].contains("out of labels"), qPrintable(prompts->warnings[0]));
        QCOMPARE(typedTexts(w.get()), before);
        QVERIFY(w->isVisible());
        env->spooler.refuseJobs({}, -1); // the printer is back
        QTest::mouseClick(w->findChild<QPushButton *>("Command1"), Qt::LeftButton);
        QCOMPARE(env->spooler.jobs.size(), 1);
        QCOMPARE(env->spooler.jobs[0].copies, window == "Form3" ? 3 : 1);
    }

    // Opened modally, each opening starts afresh and the window is gone after.
    void addressWindowReopensAfresh()
    {
        QPointer<Form3> first;
        QStringList seen;
        ModalWatcher watcher([&](QWidget *window, int index) {
            auto *w = qobject_cast<Form3 *>(window);
            if (w && index == 0) {
                first = w;
                w->Text1->setText(QStringLiteral("left over"));
                w->Combo2->setEditText(QStringLiteral("9"));
                QTest::mouseClick(w->Command2, Qt::LeftButton);
            } else if (w) {
                seen << typedTexts(w) << QString::number(w->Combo2->count()) << w->Combo2->itemText(0)
                     << w->Combo2->itemText(29) << focusName(w);
                w->close(); // the close box
            }
        });
        Form3::showModal(nullptr);
        QVERIFY(!first);
        Form3::showModal(nullptr);
        QCOMPARE(watcher.stillOpenAfterAct, QStringList());
        QCOMPARE(seen, QStringList({"Text1=", "Text2=", "Text3=", "Text4=", "Combo2=1", "30", "1", "30", "Text1"}));
    }

    void binWindowClosesWithEsc()
    {
        ModalWatcher watcher([](QWidget *, int) {
            type(QStringLiteral("NOT PRINTED"));
            press(Qt::Key_Escape);
        });
        frmBinLabeller::showModal(nullptr);
        QCOMPARE(watcher.opened, QStringList{"frmBinLabeller: Bin Labelling"});
        QCOMPARE(watcher.stillOpenAfterAct, QStringList());
        QCOMPARE(env->spooler.jobs.size(), 0);
    }
};

QTEST_MAIN(TestLabelWindows)
#include "tst_label_windows.moc"
