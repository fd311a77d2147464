// Every window as its design gives it (tests/data/design-<window>.txt: the
// frame, each control's place, size, font, caption, list and tip, and the
// order Tab takes), and what users meet in them: actions played through real
// key presses and clicks against a recording spooler, with the prompts, the
// jobs printed and the focus after each (tests/data/flow-<name>.txt).

#include "AddressLabelWindow.h"
#include "BinLabelWindow.h"
#include "Golden.h"
#include "JokeWindow.h"
#include "MainWindow.h"
#include "OrderLabelWindow.h"
#include "PartWindow.h"
#include "PrintStamp.h"
#include "PrinterChooser.h"
#include "ScriptedPrompts.h"
#include "TestPrinting.h"

#include <QtTest>

#include <memory>

using namespace WindowChecks;

namespace {

std::unique_ptr<QWidget> makeWindow(const QString &name, QWidget *owner)
{
    if (name == QLatin1String("main"))
        return std::make_unique<MainWindow>();
    if (name == QLatin1String("chooser"))
        return std::make_unique<PrinterChooser>(owner);
    if (name == QLatin1String("address"))
        return std::make_unique<AddressLabelWindow>(owner);
    if (name == QLatin1String("order"))
        return std::make_unique<OrderLabelWindow>(owner);
    if (name == QLatin1String("bins"))
        return std::make_unique<BinLabelWindow>(owner);
    if (name == QLatin1String("part"))
        return std::make_unique<PartWindow>(owner);
    return std::make_unique<JokeWindow>(owner);
}

const QByteArray kParts = "AB-12,Brass Olive 15mm\r\n\r\nCD-3,Tap Washer\r\nEF\r\n";
const QString kShowPart = QStringLiteral("show partBox codeLabel barcodeLabel descriptionLabel");

} // namespace

class TestWindows : public QObject {
    Q_OBJECT

    std::unique_ptr<TestPrinting> env;
    QWidget owner; // the owner's font is not passed on to the windows

private slots:
    void initTestCase() { owner.setFont(QFont(QStringLiteral("Tahoma"), 20)); }
    void init()
    {
        env = std::make_unique<TestPrinting>();
        env->savePrinter(QStringLiteral("Label Printer"));
        Clock::setNowForTests([] { return QDateTime(QDate(2026, 6, 12), QTime(9, 30, 5)); });
    }
    void cleanup() { env.reset(); }

    void design_data()
    {
        QTest::addColumn<QString>("window");
        for (const char *window : {"main", "chooser", "address", "order", "bins", "part", "joke"})
            QTest::newRow(window) << QString::fromLatin1(window);
    }
    void design()
    {
        QFETCH(QString, window);
        const std::unique_ptr<QWidget> w = makeWindow(window, &owner);
        QString table = WindowChecks::design(w.get()); // before the main window's clock first ticks
        QVERIFY(showActive(w.get()));
        if (window == QLatin1String("chooser"))
            press(Qt::Key_Down); // a printer selected, so Save can take the focus
        table += QStringLiteral("tab ") + tabOrder(w.get()).join(QLatin1Char(' ')) + QLatin1Char('\n');
        QVERIFY(Golden::matches(QStringLiteral("design-%1.txt").arg(window), table));
    }

    void flow_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QByteArray>("parts"); // the part window's parts file; "-": none
        QTest::addColumn<QStringList>("actions");
        // Enter moves from the customer to the second line and prints from
        // there, then offers to clear; the text as typed, never completed.
        const QStringList enter{"set copiesBox 2", "focus customerBox", "key Return", "type Boiler spares, van 2",
                                "key Return", "set copiesBox 2", "click printButton"};
        QTest::newRow("main-enter-yes") << "main" << kParts << QStringList{"type Alder Court"} + enter;
        QTest::newRow("main-enter-no") << "main" << kParts
                                       << QStringList{"no", "type brackenfold heating services"} + enter + QStringList{"show customerBox"};
        // The copies as typed; a refusal or copies beyond 16 bits print nothing and lose nothing.
        QStringList copies{"no", "set customerBox Alder Court", "set secondLineBox JOB 4471"};
        for (const char *typed : {"3", "12 x", "1 2", "2.5", "3.5", "many", "40000"})
            copies << QStringLiteral("set copiesBox ") + QLatin1String(typed) << "click printButton";
        copies << "focus secondLineBox" << "key Return" << "refuse out of labels" << "set copiesBox 2" << "click printButton"
               << "focus secondLineBox" << "key Return";
        QTest::newRow("main-copies") << "main" << kParts << copies;
        // The shelf run: all three prompts before anything is checked or printed.
        for (const QStringList &answers : QList<QStringList>{{"C", "2", "3"}, {"", "2", "2"}, {"C", "3", "0"}, {"C", "", "3"}, {"C", "a", "3x"}}) {
            QStringList actions;
            for (const QString &answer : answers)
                actions << QStringLiteral("answer ") + answer;
            QTest::newRow(qPrintable(QStringLiteral("shelves-") + answers.join(QLatin1Char('-')))) << "main" << kParts
                << actions + QStringList{"click shelvesButton"};
        }
        // Enter moves down the fields and prints from the last one, as Print
        // does; Esc does nothing; blanks, letter case and empty lines stay.
        QTest::newRow("address") << "address" << kParts
            << QStringList{"type   Mrs A. jONES ", "key Return", "key Return", "type Leeds", "key Return", "type LS1 4AB",
                           "key Return", "click printButton", "focus line4Box", "key Enter", "key Esc"};
        QTest::newRow("address-failures") << "address" << kParts
            << QStringList{"set line1Box one", "set line4Box four", "set copiesBox 3", "refuse out of labels", "click printButton", "show copiesBox",
                           "refuse", "set copiesBox ", "click printButton", "set copiesBox 3 copies", "click printButton",
                           "show copiesBox", "set copiesBox 45", "click printButton"};
        QTest::newRow("order") << "order" << kParts
            << QStringList{"type PO 4471", "key Return", "type Gas safety 2026", "key Return", "type  3 Mill Lane, Hull ",
                           "key Return", "click printButton", "focus siteAddressBox", "key Enter", "key Esc",
                           "refuse out of labels", "click printButton"};
        // One label per Enter on the printer that is current, the field emptied; Esc closes.
        QTest::newRow("bins") << "bins" << kParts
            << QStringList{"type abcdefghij-2345", "key Return", "show codeBox", "saved printer", "type ABCDEFGHIJ123456", "key Return",
                           "click printButton", "refuse out of labels", "type kept", "key Return", "refuse", "key Esc"};
        // What the part window shows after loading, and prints.
        const QStringList look{kShowPart, "click printButton"};
        QTest::newRow("part-no-file") << "part" << QByteArray("-") << look;
        QTest::newRow("part-empty-file") << "part" << QByteArray() << look;
        QTest::newRow("part-one-line-no-end") << "part" << QByteArray("AB-12,Brass Olive 15mm") << look;
        QTest::newRow("part-LF-empty-lines") << "part" << QByteArray("AB-12,Brass Olive 15mm\n\nZZ,Last\nAA,First\n\n") << look;
        QTest::newRow("part-no-comma") << "part" << QByteArray("NOCOMMA\r\nCD-3,Tap Washer\r\n") << look;
        QTest::newRow("part-three-fields") << "part" << QByteArray("P1, Radiator Key ,EXTRA\r\nQ2,x\r\n") << look;
        QTest::newRow("part-1252-degree") << "part" << QByteArray("T60,Stat 60\xB0" "C\r\n") << look;
        // The chooser: code, preview and description from the text; a field a
        // line lacks leaves its label; Enter neither prints nor adds; Esc stays.
        QTest::newRow("part-chooser") << "part" << kParts
            << QStringList{"key Down", kShowPart, "key Down", "key Down", kShowPart, "set partBox CD-3,Tap Washer",
                           "key Return", "key Down", kShowPart, "set partBox A", kShowPart, "type B", "type ,Cu", "key Return",
                           "key Esc", kShowPart};
        // A refused job, then the slider's copies: never below 1, at most 100.
        QTest::newRow("part-label") << "part" << kParts
            << QStringList{"refuse out of labels", "click printButton", "refuse", "click printButton", "focus copiesSlider",
                           "key Left", "key Right", "key Right", "key Left", "show copiesLabel", "key End", "key Right",
                           "show copiesLabel", "click printButton"};
    }
    void flow()
    {
        QFETCH(QString, window);
        QFETCH(QByteArray, parts);
        QFETCH(QStringList, actions);
        if (parts != "-")
            env->writeDataFile(QStringLiteral("parts.txt"), parts);
        ScriptedPrompts prompts(&env->spooler);
        const std::unique_ptr<QWidget> w = makeWindow(window, nullptr);
        if (auto *part = qobject_cast<PartWindow *>(w.get()))
            part->load();
        QVERIFY(showActive(w.get()));
        QVERIFY(Golden::matches(QStringLiteral("flow-%1.txt").arg(QTest::currentDataTag()), prompts.play(w.get(), actions)));
    }
};

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
