// The address, order and bin label windows, driven through real key presses
// and mouse clicks against a recording spooler: their designs, their Enter
// flow, the exact jobs of their layouts and what happens when a print fails.

#include "Form3.h"
#include "LabelImage.h"
#include "ModalWatcher.h"
#include "Ormex.h"
#include "PrintStamp.h"
#include "TestPrinting.h"
#include "frmBinLabeller.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <memory>

namespace {

const FontSpec kArial28{QStringLiteral("Arial"), 28, false};
const QDateTime kNow(QDate(2026, 6, 12), QTime(19, 29, 50));

std::unique_ptr<QDialog> makeWindow(const QString &name)
{
    if (name == QLatin1String("Form3"))
        return std::make_unique<Form3>();
    if (name == QLatin1String("Ormex"))
        return std::make_unique<Ormex>();
    return std::make_unique<frmBinLabeller>();
}

// Keys go where a user's keys go: to the control that has the focus.
void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(static_cast<QWidget *>(nullptr), key, modifiers);
}

void type(const QString &text)
{
    QTest::keyClicks(static_cast<QWidget *>(nullptr), text);
}

void retype(QWidget *control, const QString &text)
{
    control->setFocus();
    press(Qt::Key_A, Qt::ControlModifier);
    press(Qt::Key_Backspace);
    type(text);
}

// The design name of the control that has the focus.
QString focusName(QWidget *window)
{
    for (QWidget *w = QApplication::focusWidget(); w && w != window; w = w->parentWidget()) {
        if (w->parentWidget() == window)
            return w->objectName();
    }
    return QStringLiteral("(none)");
}

// Everything typed in the window: each text box and the copies text.
QStringList typedTexts(QWidget *window)
{
    QStringList texts;
    for (QWidget *child : window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (auto *box = qobject_cast<QLineEdit *>(child))
            texts << box->objectName() + QLatin1Char('=') + box->text();
        else if (auto *combo = qobject_cast<QComboBox *>(child))
            texts << combo->objectName() + QLatin1Char('=') + combo->currentText();
    }
    return texts;
}

PrintOp textOp(double x, double y, const QString &text, const FontSpec &font)
{
    PrintOp op;
    op.at = {x, y};
    op.text = text;
    op.font = font;
    return op;
}

PrintJob job(const QString &printer, const QString &title, int copies, QList<PrintOp> ops)
{
    return PrintJob{printer, QStringLiteral("TagFoundry ") + title, copies, std::move(ops)};
}

PrintJob addressJob(const QStringList &lines, int copies)
{
    QList<PrintOp> ops;
    for (int i = 0; i < 4; ++i)
        ops << textOp(160, 100 + 600 * i, lines[i], kArial28);
    return job(QStringLiteral("Label Printer"), QStringLiteral("Address label"), copies, ops);
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
    std::unique_ptr<NotedPrompts> prompts;

    // A window shown and active, as the user meets it.
    template <class W> std::unique_ptr<W> open()
    {
        auto window = std::make_unique<W>();
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get()))
            qWarning("window did not become active");
        return window;
    }

private slots:
    void init()
    {
        env = std::make_unique<TestPrinting>();
        env->savePrinter(QStringLiteral("Label Printer"));
        prompts = std::make_unique<NotedPrompts>();
        Clock::setNowForTests([] { return kNow; });
    }
    void cleanup()
    {
        prompts.reset();
        env.reset();
    }

    void windowDesign_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QSize>("clientTwips");
        QTest::addColumn<bool>("fixed");
        QTest::addColumn<QStringList>("tabOrder"); // focus after each press of Tab, from the start
        QTest::newRow("Form3") << "Form3" << "TagFoundry" << QSize(4710, 4350) << true
                               << QStringList{"Text1", "Text2", "Text3", "Text4", "Command1", "Command2", "Combo2", "Text1"};
        QTest::newRow("Ormex") << "Ormex" << "TagFoundry" << QSize(6975, 3285) << true
                               << QStringList{"Text1", "Text2", "Text3", "Command1", "Command2", "Text1"};
        QTest::newRow("bins") << "frmBinLabeller" << "Bin Labelling" << QSize(4680, 2280) << false
                              << QStringList{"Text1", "Command1", "Command2", "Text1"};
    }
    void windowDesign()
    {
        QFETCH(QString, window);
        QFETCH(QString, caption);
        QFETCH(QSize, clientTwips);
        QFETCH(bool, fixed);
        QFETCH(QStringList, tabOrder);
        std::unique_ptr<QDialog> w = makeWindow(window);
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QCOMPARE(w->windowTitle(), caption);
        QCOMPARE(w->size(), clientTwips / 15);
        QCOMPARE(w->minimumSize() == w->maximumSize(), fixed);
        QVERIFY(!(w->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowContextHelpButtonHint)));
        QVERIFY(w->windowFlags() & Qt::WindowCloseButtonHint);
        QStringList visited{focusName(w.get())};
        for (int i = 1; i < tabOrder.size(); ++i) {
            press(Qt::Key_Tab);
            visited << focusName(w.get());
        }
        QCOMPARE(visited, tabOrder);
    }

    void controlDesign_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QRect>("twips");
        QTest::addColumn<QString>("family");
        QTest::addColumn<double>("points");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("alignment"); // labels only
        const QString A = "Arial", T = "Tahoma";
        auto row = [](const char *w, const char *c, QRect r, QString f, double pt, bool b, QString text, int align = 0) {
            QTest::addRow("%s %s", w, c) << w << c << r << f << pt << b << text << align;
        };
        row("Form3", "Text1", {120, 120, 4455, 765}, A, 24, true, "");
        row("Form3", "Text2", {120, 960, 4455, 765}, A, 24, true, "");
        row("Form3", "Text3", {120, 1800, 4455, 765}, A, 24, true, "");
        row("Form3", "Text4", {120, 2640, 4455, 765}, A, 24, true, "");
        row("Form3", "Command1", {120, 3600, 1695, 615}, T, 24, true, "Print");
        row("Form3", "Command2", {2880, 3600, 1695, 615}, T, 24, true, "Close");
        row("Form3", "Combo2", {1920, 3600, 855, 615}, T, 20.25, false, "1");
        row("Ormex", "Label1", {0, 0, 6855, 735}, T, 30, true, "Ormex", Qt::AlignHCenter);
        row("Ormex", "Label2", {0, 840, 2295, 495}, T, 14.25, true, "Order No:", Qt::AlignRight);
        row("Ormex", "Label3", {0, 1440, 2295, 615}, T, 14.25, true, "Contract:", Qt::AlignRight);
        row("Ormex", "Label4", {0, 2040, 2295, 615}, T, 14.25, true, "Site Address:", Qt::AlignRight);
        row("Ormex", "Text1", {2400, 720, 4455, 525}, A, 12, true, "");
        row("Ormex", "Text2", {2400, 1320, 4455, 525}, A, 12, true, "");
        row("Ormex", "Text3", {2400, 1920, 4455, 525}, A, 12, true, "");
        row("Ormex", "Command1", {120, 2520, 2175, 615}, T, 24, true, "Print");
        row("Ormex", "Command2", {4680, 2520, 2175, 615}, T, 24, true, "Close");
        row("frmBinLabeller", "Text1", {120, 720, 4455, 735}, T, 20.25, false, "");
        row("frmBinLabeller", "Command1", {120, 1560, 2175, 615}, T, 20.25, false, "Print");
        row("frmBinLabeller", "Command2", {2400, 1560, 2175, 615}, T, 20.25, false, "Close");
        row("frmBinLabeller", "Label1", {120, 120, 4455, 495}, T, 20.25, true, "Bin Labelling", Qt::AlignHCenter);
    }
    void controlDesign()
    {
        QFETCH(QString, window);
        QFETCH(QString, control);
        QFETCH(QRect, twips);
        QFETCH(QString, family);
        QFETCH(double, points);
        QFETCH(bool, bold);
        QFETCH(QString, text);
        QFETCH(int, alignment);
        std::unique_ptr<QDialog> w = makeWindow(window);
        auto *c = w->findChild<QWidget *>(control, Qt::FindDirectChildrenOnly);
        QVERIFY(c);
        QCOMPARE(c->geometry(), QRect(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15));
        QCOMPARE(QFontInfo(c->font()).family(), family == "Arial" ? QFontInfo(QFont("Arial")).family() : family);
        QCOMPARE(c->font().pointSizeF(), points);
        QCOMPARE(c->font().bold(), bold);
        if (auto *label = qobject_cast<QLabel *>(c)) {
            QCOMPARE(label->text(), text);
            QCOMPARE(int(label->alignment() & Qt::AlignHorizontal_Mask), alignment);
            QVERIFY(!label->autoFillBackground());
        } else if (auto *button = qobject_cast<QPushButton *>(c)) {
            QCOMPARE(button->text(), text);
        } else if (auto *box = qobject_cast<QLineEdit *>(c)) {
            QCOMPARE(box->text(), text);
        } else {
            QCOMPARE(qobject_cast<QComboBox *>(c)->currentText(), text);
        }
    }

    // Enter moves down the fields and prints from the last one, exactly as
    // Print does; the key still reaches each field; Esc does nothing.
    void enterFlow_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("Form3") << "Form3" << QStringList{"Text1", "Text2", "Text3", "Text4"};
        QTest::newRow("Ormex") << "Ormex" << QStringList{"Text1", "Text2", "Text3"};
    }
    void enterFlow()
    {
        QFETCH(QString, window);
        QFETCH(QStringList, fields);
        std::unique_ptr<QDialog> w = makeWindow(window);
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QSignalSpy reachedFirst(w->findChild<QLineEdit *>(fields.first()), &QLineEdit::returnPressed);
        for (int i = 0; i < fields.size(); ++i) {
            QCOMPARE(focusName(w.get()), fields[i]);
            type(QStringLiteral("line %1").arg(i + 1));
            QCOMPARE(env->spooler.jobs.size(), 0);
            press(Qt::Key_Return);
        }
        QCOMPARE(reachedFirst.size(), 1);
        QCOMPARE(env->spooler.jobs.size(), 1);
        QTest::mouseClick(w->findChild<QPushButton *>("Command1"), Qt::LeftButton);
        QCOMPARE(env->spooler.jobs.size(), 2);
        QCOMPARE(env->spooler.jobs[1], env->spooler.jobs[0]);
        // After Print was clicked, Enter in the last field still prints once.
        w->findChild<QLineEdit *>(fields.last())->setFocus();
        press(Qt::Key_Enter);
        QCOMPARE(env->spooler.jobs.size(), 3);
        press(Qt::Key_Escape);
        QVERIFY(w->isVisible());
        QCOMPARE(env->spooler.jobs.size(), 3);
    }

    void addressLayout_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("four lines") << QStringList{"Mrs A. Jones", "12 High St", "Leeds", "LS1 4AB"};
        QTest::newRow("second empty: the others keep their places") << QStringList{"Acme", "", "Unit 4", "York"};
        QTest::newRow("as typed, blanks and case kept") << QStringList{"  mIxEd  ", "", "", "a very long line that runs off the label"};
    }
    void addressLayout()
    {
        QFETCH(QStringList, lines);
        auto w = open<Form3>();
        for (int i = 0; i < 4; ++i) {
            type(lines[i]);
            press(Qt::Key_Return);
        }
        QCOMPARE(env->spooler.jobs, QList<PrintJob>{addressJob(lines, 1)});
        QCOMPARE(typedTexts(w.get()), QStringList({"Text1=" + lines[0], "Text2=" + lines[1], "Text3=" + lines[2],
                                                   "Text4=" + lines[3], "Combo2=1"}));
    }

    void addressCopies_data()
    {
        QTest::addColumn<QString>("copiesText");
        QTest::addColumn<int>("copies");
        QTest::newRow("typed, beyond the list") << "45" << 45;
        QTest::newRow("half rounds down to even") << "2.5" << 2;
        QTest::newRow("half rounds up to even") << "3.5" << 4;
        QTest::newRow("largest") << "32767" << 32767;
    }
    void addressCopies()
    {
        QFETCH(QString, copiesText);
        QFETCH(int, copies);
        auto w = open<Form3>();
        type(QStringLiteral("Name"));
        retype(w->Combo2, copiesText);
        QTest::mouseClick(w->Command1, Qt::LeftButton);
        QCOMPARE(env->spooler.jobs.size(), 1);
        QCOMPARE(env->spooler.jobs[0].copies, copies);
        QCOMPARE(w->Combo2->currentText(), QStringLiteral("1"));
        QTest::mouseClick(w->Command1, Qt::LeftButton); // the next label is one copy again
        QCOMPARE(env->spooler.jobs[1].copies, 1);
        QCOMPARE(w->Text1->text(), QStringLiteral("Name"));
    }

    void addressBadCopies_data()
    {
        QTest::addColumn<QString>("copiesText");
        QTest::newRow("empty") << "";
        QTest::newRow("a word") << "many";
        QTest::newRow("number with a word") << "3 copies";
        QTest::newRow("above the range") << "32768";
        QTest::newRow("rounds above the range") << "32767.5";
        QTest::newRow("below the range") << "-32769";
    }
    void addressBadCopies()
    {
        QFETCH(QString, copiesText);
        auto w = open<Form3>();
        for (const char *line : {"One", "Two", "Three", "Four"}) {
            type(QString::fromLatin1(line));
            press(Qt::Key_Tab);
        }
        retype(w->Combo2, copiesText);
        const QStringList before = typedTexts(w.get());
        QTest::mouseClick(w->Command1, Qt::LeftButton);
        QCOMPARE(env->spooler.jobs.size(), 0);
        QCOMPARE(prompts->warned.size(), 1);
        const QString &message = prompts->warned[0];
        QVERIFY2(message.contains('"' + copiesText + '"') && message.contains("-32768 to 32767"), qPrintable(message));
        QVERIFY(w->isVisible());
        QCOMPARE(typedTexts(w.get()), before);
        // Nothing of the refused label is left in the printer for the next one.
        retype(w->Combo2, QStringLiteral("2"));
        QTest::mouseClick(w->Command1, Qt::LeftButton);
        QCOMPARE(env->spooler.jobs, QList<PrintJob>{addressJob({"One", "Two", "Three", "Four"}, 2)});
    }

    void orderLayout_data()
    {
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("all empty: heading and prefixes") << QStringList{"", "", ""};
        QTest::newRow("typed") << QStringList{"PO 4471", "Gas safety 2026", " 3 Mill Lane, Hull "};
    }
    void orderLayout()
    {
        QFETCH(QStringList, texts);
        auto w = open<Ormex>();
        for (const QString &text : texts) {
            type(text);
            press(Qt::Key_Return);
        }
        const FontSpec small{QStringLiteral("Arial"), 14, false};
        const PrintJob expected = job(QStringLiteral("Label Printer"), QStringLiteral("ORMEX order label"), 1,
                                      {textOp(250, 300, "ORMEX", {QStringLiteral("Arial"), 30, false}),
                                       textOp(160, 1000, "Order No: " + texts[0], small),
                                       textOp(160, 1400, "Contract: " + texts[1], small),
                                       textOp(160, 1800, "Site Address: " + texts[2], small)});
        QCOMPARE(env->spooler.jobs, QList<PrintJob>{expected});
        QTest::mouseClick(w->Command1, Qt::LeftButton);
        QCOMPARE(env->spooler.jobs, QList<PrintJob>({expected, expected}));
        QCOMPARE(typedTexts(w.get()), QStringList({"Text1=" + texts[0], "Text2=" + texts[1], "Text3=" + texts[2]}));
    }

    void binLayout_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<double>("barcodePoints");
        QTest::addColumn<QString>("scanned");
        QTest::newRow("short") << "B-12" << 25.0 << "B-12";
        QTest::newRow("15 characters") << "ABCDEFGHIJ12345" << 25.0 << "ABCDEFGHIJ12345";
        QTest::newRow("16 characters") << "ABCDEFGHIJ123456" << 22.0 << "ABCDEFGHIJ123456";
        QTest::newRow("lower case printed as typed") << "r2-shelf" << 25.0 << "R2-SHELF";
    }
    void binLayout()
    {
        QFETCH(QString, code);
        QFETCH(double, barcodePoints);
        QFETCH(QString, scanned);
        auto w = open<frmBinLabeller>();
        type(code);
        press(Qt::Key_Return);
        QCOMPARE(env->spooler.jobs, QList<PrintJob>{binJob(QStringLiteral("Office"), code, barcodePoints)});
        QCOMPARE(LabelImage::decodeCode39(env->spooler.jobs[0], 203), QStringList{scanned});
    }

    // One label per press of Enter, the field emptied and focused after each.
    void binOneLabelPerEnter()
    {
        auto w = open<frmBinLabeller>();
        for (const QString &code : {QStringLiteral("A1"), QStringLiteral("A2")}) {
            type(code);
            press(Qt::Key_Return);
            QCOMPARE(env->spooler.jobs.last().ops[1].text, code);
            QCOMPARE(w->Text1->text(), QString());
            QCOMPARE(focusName(w.get()), QStringLiteral("Text1"));
        }
        QCOMPARE(env->spooler.jobs.size(), 2);
        QTest::mouseClick(w->Command1, Qt::LeftButton); // empty field still prints
        QCOMPARE(env->spooler.jobs.size(), 3);
        QCOMPARE(env->spooler.jobs.last().ops[2].text, QStringLiteral("**"));
        QCOMPARE(focusName(w.get()), QStringLiteral("Text1"));
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
        bins->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(bins.get()));
        bins->Text1->setFocus();
        type(QStringLiteral("X2"));
        press(Qt::Key_Return);
        QCOMPARE(env->spooler.jobs.size(), 3);
        QCOMPARE(env->spooler.jobs[0].printerName, QStringLiteral("Office"));
        QCOMPARE(env->spooler.jobs[1].printerName, QStringLiteral("Label Printer"));
        QCOMPARE(env->spooler.jobs[2].printerName, QStringLiteral("Label Printer"));
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
        std::unique_ptr<QDialog> w = makeWindow(window);
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        for (QLineEdit *box : w->findChildren<QLineEdit *>())
            box->setText(box->objectName() + QStringLiteral(" text"));
        if (auto *copies = w->findChild<QComboBox *>("Combo2"))
            copies->setEditText(QStringLiteral("3"));
        const QStringList before = typedTexts(w.get());
        env->spooler.refuseJobs(QStringLiteral("out of labels"));
        QTest::mouseClick(w->findChild<QPushButton *>("Command1"), Qt::LeftButton);
        QCOMPARE(env->spooler.jobs.size(), 0);
        QCOMPARE(prompts->warned.size(), 1);
        QVERIFY2(prompts->warned[0].contains("out of labels"), qPrintable(prompts->warned[0]));
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
            if (!w)
                return;
            if (index == 0) {
                first = w;
                w->Text1->setText(QStringLiteral("left over"));
                w->Combo2->setEditText(QStringLiteral("9"));
                QTest::mouseClick(w->Command2, Qt::LeftButton);
                return;
            }
            seen << typedTexts(w) << QString::number(w->Combo2->count()) << w->Combo2->itemText(0)
                 << w->Combo2->itemText(29) << focusName(w);
            w->close(); // the close box
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
