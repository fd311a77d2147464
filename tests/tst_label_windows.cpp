// The address, order and bin label windows, driven through real key presses
// and mouse clicks against a recording spooler: their designs, their Enter
// flow, the exact jobs of their layouts and what happens when a print fails.

#include "AddressLabelWindow.h"
#include "LabelImage.h"
#include "ModalWatcher.h"
#include "OrderLabelWindow.h"
#include "PrintStamp.h"
#include "ScriptedPrompts.h"
#include "TestPrinting.h"
#include "WindowChecks.h"
#include "BinLabelWindow.h"

#include <QtTest>

#include <memory>

using namespace WindowChecks;

namespace {

const QDateTime kNow(QDate(2026, 6, 12), QTime(19, 29, 50));

std::unique_ptr<QDialog> makeWindow(const QString &name)
{
    if (name == QLatin1String("AddressLabelWindow"))
        return std::make_unique<AddressLabelWindow>();
    if (name == QLatin1String("OrderLabelWindow"))
        return std::make_unique<OrderLabelWindow>();
    return std::make_unique<BinLabelWindow>();
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

PrintJob binJob(const QString &printer, const QString &code, double barcodePoints)
{
    PrintOp frame;
    frame.kind = PrintOp::Kind::Box;
    frame.at = {200, 60};
    frame.to = {4200, 580};
    return job(printer, QStringLiteral("BIN ") + code, 1,
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
        QTest::newRow("address") << "AddressLabelWindow" << "'TagFoundry' 4710x4350 fixed close"
                               << QStringList{"line1Box", "line2Box", "line3Box", "line4Box", "printButton", "closeButton", "copiesBox", "line1Box"}
                               << QStringList{"line1Box 120,120,4455,765 Arial 24 bold ''",
                                              "line2Box 120,960,4455,765 Arial 24 bold ''",
                                              "line3Box 120,1800,4455,765 Arial 24 bold ''",
                                              "line4Box 120,2640,4455,765 Arial 24 bold ''",
                                              "printButton 120,3600,1695,615 Tahoma 24 bold 'Print'",
                                              "closeButton 2880,3600,1695,615 Tahoma 24 bold 'Close'",
                                              "copiesBox 1920,3600,855,615 Tahoma 20.25 '1'"};
        QTest::newRow("order") << "OrderLabelWindow" << "'TagFoundry' 6975x3285 fixed close"
                               << QStringList{"orderNoBox", "contractBox", "siteAddressBox", "printButton", "closeButton", "orderNoBox"}
                               << QStringList{"headingLabel 0,0,6855,735 Tahoma 30 bold centre 'Ormex'",
                                              "orderNoCaption 0,840,2295,495 Tahoma 14.25 bold right 'Order No:'",
                                              "contractCaption 0,1440,2295,615 Tahoma 14.25 bold right 'Contract:'",
                                              "siteAddressCaption 0,2040,2295,615 Tahoma 14.25 bold right 'Site Address:'",
                                              "orderNoBox 2400,720,4455,525 Arial 12 bold ''",
                                              "contractBox 2400,1320,4455,525 Arial 12 bold ''",
                                              "siteAddressBox 2400,1920,4455,525 Arial 12 bold ''",
                                              "printButton 120,2520,2175,615 Tahoma 24 bold 'Print'",
                                              "closeButton 4680,2520,2175,615 Tahoma 24 bold 'Close'"};
        QTest::newRow("bins") << "BinLabelWindow" << "'Bin Labelling' 4680x2280 sizable close"
                              << QStringList{"codeBox", "printButton", "closeButton", "codeBox"}
                              << QStringList{"headingLabel 120,120,4455,495 Tahoma 20.25 bold centre 'Bin Labelling'",
                                             "codeBox 120,720,4455,735 Tahoma 20.25 ''",
                                             "printButton 120,1560,2175,615 Tahoma 20.25 'Print'",
                                             "closeButton 2400,1560,2175,615 Tahoma 20.25 'Close'"};
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
    // just as Print does; Esc does nothing; what was typed stays.
    void addressAndOrder_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<PrintJob>("expected");
        // An empty line keeps its place; blanks and letter case stay as typed.
        const QStringList address{"  Mrs A. jONES ", "", "Leeds", "LS1 4AB"};
        QTest::newRow("address") << "AddressLabelWindow" << address << addressJob(address);
        const QStringList order{"PO 4471", "Gas safety 2026", " 3 Mill Lane, Hull "};
        QTest::newRow("order: typed") << "OrderLabelWindow" << order << orderJob(order);
    }
    void addressAndOrder()
    {
        QFETCH(QString, window);
        QFETCH(QStringList, typed);
        QFETCH(PrintJob, expected);
        auto w = open(window);
        const QStringList fields = typedTexts(w.get()).mid(0, typed.size()).replaceInStrings(QStringLiteral("="), QString());
        QStringList left;
        for (int i = 0; i < typed.size(); ++i) {
            const QString &field = fields[i];
            QCOMPARE(focusName(w.get()), field);
            QCOMPARE(env->spooler.jobs.size(), 0);
            type(typed[i]);
            press(Qt::Key_Return);
            left << field + QLatin1Char('=') + typed[i];
        }
        QCOMPARE(env->spooler.jobs, QList<PrintJob>{expected});
        QTest::mouseClick(w->findChild<QPushButton *>("printButton"), Qt::LeftButton);
        // After Print was clicked, Enter in the last field still prints once.
        w->findChild<QLineEdit *>(left.last().section(QLatin1Char('='), 0, 0))->setFocus();
        press(Qt::Key_Enter);
        press(Qt::Key_Escape);
        QVERIFY(w->isVisible());
        QCOMPARE(env->spooler.jobs, QList<PrintJob>(3, expected));
        QCOMPARE(typedTexts(w.get()).mid(0, typed.size()), left);
    }

    // One label per press of Enter, then the field is emptied and keeps the
    // focus; an empty field still prints. The window selects no printer of its
    // own: it prints on the one that is current, before and after another
    // window selected the label printer. Esc closes it without printing.
    void bin()
    {
        auto w = open<BinLabelWindow>();
        type(QStringLiteral("abcdefghij-2345"));
        press(Qt::Key_Return);
        QCOMPARE(env->spooler.jobs, QList<PrintJob>{binJob("Office", "abcdefghij-2345", 25)});
        QCOMPARE(LabelImage::decodeCode39(env->spooler.jobs[0], 203), QStringList{"ABCDEFGHIJ-2345"});
        QCOMPARE(w->codeBox->text(), QString());
        QCOMPARE(focusName(w.get()), QStringLiteral("codeBox"));

        auto order = open<OrderLabelWindow>();
        QTest::mouseClick(order->printButton, Qt::LeftButton);
        order->close();
        QVERIFY(showActive(w.get()));
        w->codeBox->setFocus();
        type(QStringLiteral("ABCDEFGHIJ123456")); // 16 characters: a smaller barcode
        press(Qt::Key_Return);
        QCOMPARE(env->spooler.jobs.size(), 3);
        QCOMPARE(env->spooler.jobs[2], binJob("Label Printer", "ABCDEFGHIJ123456", 22));
        QTest::mouseClick(w->printButton, Qt::LeftButton);
        QCOMPARE(env->spooler.jobs.size(), 4);
        QCOMPARE(env->spooler.jobs[3].ops[2].text, QStringLiteral("**"));
        QCOMPARE(focusName(w.get()), QStringLiteral("codeBox"));

        type(QStringLiteral("NOT PRINTED"));
        press(Qt::Key_Escape);
        QVERIFY(!w->isVisible());
        QCOMPARE(env->spooler.jobs.size(), 4);
    }

    // A refused job or copies that are not a whole number: the user is told
    // why, nothing is printed and nothing typed is lost. Mended, the next click
    // prints, any typed number of copies once, and the copies go back to 1.
    void failureKeepsTyping_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("copies"); // the address window's copies text
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QStringList>("warned");
        const QStringList refused{"out of labels"};
        QTest::newRow("address: printer refuses") << "AddressLabelWindow" << "3" << "out of labels" << refused;
        QTest::newRow("order: printer refuses") << "OrderLabelWindow" << "" << "out of labels" << refused;
        QTest::newRow("bins: printer refuses") << "BinLabelWindow" << "" << "out of labels" << refused;
        QTest::newRow("address: copies empty") << "AddressLabelWindow" << "" << "" << QStringList{"\"\"", "-32768 to 32767"};
        QTest::newRow("address: copies with a word") << "AddressLabelWindow" << "3 copies" << ""
                                                   << QStringList{"\"3 copies\"", "-32768 to 32767"};
    }
    void failureKeepsTyping()
    {
        QFETCH(QString, window);
        QFETCH(QString, copies);
        QFETCH(QString, refusal);
        QFETCH(QStringList, warned);
        auto w = open(window);
        for (QLineEdit *box : w->findChildren<QLineEdit *>())
            box->setText(box->objectName() + QStringLiteral(" text"));
        auto *copiesBox = w->findChild<QComboBox *>("copiesBox");
        if (copiesBox)
            retype(copiesBox, copies);
        const QStringList before = typedTexts(w.get());
        if (!refusal.isEmpty())
            env->spooler.refuseJobs(refusal);
        auto *print = w->findChild<QPushButton *>("printButton");
        QTest::mouseClick(print, Qt::LeftButton);
        QCOMPARE(env->spooler.jobs.size(), 0);
        QCOMPARE(prompts->warnings.size(), 1);
        for (const QString &part : warned)
            QVERIFY2(prompts->warnings[0].contains(part), qPrintable(prompts->warnings[0]));
        QCOMPARE(typedTexts(w.get()), before);
        QVERIFY(w->isVisible());

        env->spooler.refuseJobs({}, -1);
        if (copiesBox)
            retype(copiesBox, QStringLiteral("45")); // beyond the list
        QTest::mouseClick(print, Qt::LeftButton);
        QCOMPARE(env->spooler.jobs.size(), 1);
        QCOMPARE(env->spooler.jobs[0].copies, copiesBox ? 45 : 1);
        if (copiesBox)
            QCOMPARE(copiesBox->currentText(), QStringLiteral("1"));
    }

    // Opened modally, each opening starts afresh: Close leaves nothing behind.
    void addressWindowReopensAfresh()
    {
        QStringList seen;
        ModalWatcher watcher([&](QWidget *window, int index) {
            auto *w = qobject_cast<AddressLabelWindow *>(window);
            if (w && index == 0) {
                w->line1Box->setText(QStringLiteral("left over"));
                w->copiesBox->setEditText(QStringLiteral("9"));
                QTest::mouseClick(w->closeButton, Qt::LeftButton);
            } else if (w) {
                // The watcher can see the dialog before the window system has
                // activated it and handed its first field the focus.
                (void)QTest::qWaitFor([w] { return w->isAncestorOf(QApplication::focusWidget()); }, 5000);
                seen << typedTexts(w) << focusName(w);
                w->close(); // the close box
            }
        });
        AddressLabelWindow::showModal(nullptr);
        AddressLabelWindow::showModal(nullptr);
        QCOMPARE(watcher.stillOpenAfterAct, QStringList());
        QCOMPARE(seen, QStringList({"line1Box=", "line2Box=", "line3Box=", "line4Box=", "copiesBox=1", "line1Box"}));
    }
};

QTEST_MAIN(TestLabelWindows)
#include "tst_label_windows.moc"
