// The part window: loading the parts file, the chooser, the slider, closing,
// and the part label it prints.

#include "Kestrion.h"
#include "LabelImage.h"
#include "PrintStamp.h"
#include "Prompts.h"
#include "TestPrinting.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

class RecordingPrompts : public Prompts {
public:
    QStringList told, titles, warned;
    bool askYesNo(QWidget *, const QString &text, const QString &) override { return told.append(text), false; }
    void tell(QWidget *, const QString &text, const QString &title) override { told << text, titles << title; }
    void warn(QWidget *, const QString &text) override { warned.append(text); }
    QString input(QWidget *, const QString &, const QString &) override { return {}; }
};

const QDateTime kNow(QDate(2026, 3, 14), QTime(9, 5, 7));
const QStringList kDesign = {"VHQPART", "*VHQPART*", "5Qty M8 Wing Nuts"};
const QStringList kOlive = {"AB-12", "*AB-12*", "Brass Olive 15mm"};
const QByteArray kParts = "AB-12,Brass Olive 15mm\r\n\r\nCD-3,Tap Washer\r\nEF\r\n";

QStringList listOf(const Kestrion &window)
{
    QStringList entries;
    for (int i = 0; i < window.Combo1->count(); ++i)
        entries.append(window.Combo1->itemText(i));
    return entries;
}

// Code, barcode preview and description of the part on show.
QStringList shown(const Kestrion &window) { return {window.Label2->text(), window.Label4->text(), window.Label5->text()}; }

void keys(QWidget *target, const QList<int> &keys)
{
    for (int key : keys)
        QTest::keyClick(target, Qt::Key(key));
}

} // namespace

class TestKestrion : public QObject {
    Q_OBJECT
    std::unique_ptr<TestPrinting> env;
    RecordingPrompts prompts;

    std::unique_ptr<Kestrion> openWindow()
    {
        auto window = std::make_unique<Kestrion>();
        window->Form_Load();
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get()))
            qWarning("the part window did not become active");
        return window;
    }

    PrintJob print(Kestrion &window)
    {
        const qsizetype before = env->spooler.jobs.size();
        QTest::mouseClick(window.Command2, Qt::LeftButton);
        if (env->spooler.jobs.size() == before + 1)
            return env->spooler.jobs.last();
        QTest::qFail("Print did not send exactly one job", __FILE__, __LINE__);
        return {};
    }

private slots:
    void init()
    {
        env = std::make_unique<TestPrinting>();
        env->savePrinter(QStringLiteral("Label Printer"));
        Clock::setNowForTests([] { return kNow; });
        prompts = RecordingPrompts();
        Prompts::install(&prompts);
    }

    void cleanup()
    {
        Prompts::install(nullptr);
        env.reset();
    }

    void loading_data()
    {
        QTest::addColumn<QByteArray>("file"); // "-": no parts file at all
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<bool>("failed");
        const QString olive = QStringLiteral("AB-12,Brass Olive 15mm");
        QTest::newRow("missing file") << QByteArray("-") << "Combo1" << kDesign << QStringList() << true;
        QTest::newRow("empty file") << QByteArray() << "Combo1" << kDesign << QStringList() << true;
        QTest::newRow("one line is a whole parts file") << (olive + "\r\n").toUtf8() << olive << kOlive
                                                        << QStringList{olive} << false;
        QTest::newRow("one line without line end") << olive.toUtf8() << olive << kOlive << QStringList{olive} << false;
        QTest::newRow("LF alone, empty lines, file order")
            << QByteArray("AB-12,Brass Olive 15mm\n\nZZ,Last\nAA,First\n\n") << olive << kOlive
            << QStringList{olive, "", "ZZ,Last", "AA,First", ""} << false;
        // Code and preview come from the change of the text; with no
        // description loading stops, only that line listed.
        QTest::newRow("first line without a comma") << QByteArray("NOCOMMA\r\nCD-3,Tap Washer\r\n") << "NOCOMMA"
                                                    << QStringList{"NOCOMMA", "*NOCOMMA*", kDesign[2]}
                                                    << QStringList{"NOCOMMA"} << true;
        QTest::newRow("first line empty") << QByteArray("\r\nCD-3,x\r\n") << "" << kDesign << QStringList{""} << true;
        QTest::newRow("three fields, space after the comma")
            << QByteArray("P1, Radiator Key ,EXTRA\r\nQ2,x\r\n") << "P1, Radiator Key ,EXTRA"
            << QStringList{"P1", "*P1*", " Radiator Key "} << QStringList{"P1, Radiator Key ,EXTRA", "Q2,x"} << false;
        QTest::newRow("Windows-1252 degree sign")
            << QByteArray("T60,Stat 60\xB0" "C\r\n") << QString::fromUtf8("T60,Stat 60°C")
            << QStringList{"T60", "*T60*", QString::fromUtf8("Stat 60°C")} << QStringList{QString::fromUtf8("T60,Stat 60°C")}
            << false;
    }

    void loading()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, text);
        QFETCH(QStringList, labels);
        QFETCH(QStringList, list);
        QFETCH(bool, failed);
        if (file != "-")
            env->writeDataFile(QStringLiteral("parts.txt"), file);
        auto window = openWindow();
        QCOMPARE(prompts.told, failed ? QStringList{"Cannot Load Parts File"} : QStringList());
        QCOMPARE(prompts.titles, failed ? QStringList{QString()} : QStringList()); // no title of its own
        QCOMPARE(window->Combo1->currentText(), text);
        QCOMPARE(shown(*window), labels);
        QCOMPARE(listOf(*window), list);
    }

    void typingIntoTheEmptiedChooser()
    {
        env->writeDataFile(QStringLiteral("parts.txt"), kParts);
        auto window = openWindow();
        QTest::keyClick(window->Combo1, Qt::Key_A, Qt::ControlModifier); // select all
        QTest::keyClick(window->Combo1, Qt::Key_Backspace);
        QCOMPARE(shown(*window), kOlive);
        QTest::keyClick(window->Combo1, 'A');
        QCOMPARE(shown(*window), (QStringList{"A", "*A*", kOlive[2]}));
        QTest::keyClick(window->Combo1, 'B'); // nothing completed from the list
        QCOMPARE(shown(*window), (QStringList{"AB", "*AB*", kOlive[2]}));
        QTest::keyClicks(window->Combo1, QStringLiteral(",Cu"));
        // Enter shows the text again, and neither prints nor closes; nor does Escape.
        window->Label2->setText(QStringLiteral("stale"));
        keys(window->Combo1, {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape});
        QCOMPARE(shown(*window), (QStringList{"AB", "*AB*", "Cu"}));
        QVERIFY(window->isVisible());
        QVERIFY(env->spooler.jobs.isEmpty());
        QCOMPARE(listOf(*window).size(), 4); // typing adds nothing to the list
    }

    void choosingEntries()
    {
        env->writeDataFile(QStringLiteral("parts.txt"), kParts);
        auto window = openWindow();
        keys(window->Combo1, {Qt::Key_Down}); // the empty entry changes nothing
        QCOMPARE(window->Combo1->currentText(), QString());
        QCOMPARE(shown(*window), kOlive);
        keys(window->Combo1, {Qt::Key_Down, Qt::Key_Down}); // "EF": the description stays
        QCOMPARE(shown(*window), (QStringList{"EF", "*EF*", "Tap Washer"}));
        keys(window->Combo1, {Qt::Key_Up, Qt::Key_Up, Qt::Key_Up});
        QCOMPARE(shown(*window), kOlive);
        // Enter on a typed entry of the list: the arrows go on from there.
        window->Combo1->lineEdit()->clear();
        QTest::keyClicks(window->Combo1, QStringLiteral("CD-3,Tap Washer"));
        keys(window->Combo1, {Qt::Key_Return, Qt::Key_Down});
        QCOMPARE(window->Combo1->currentText(), QStringLiteral("EF"));
    }

    void slider_data()
    {
        QTest::addColumn<QList<int>>("pressed");
        QTest::addColumn<int>("value");
        QTest::newRow("right end, and no further") << QList<int>{Qt::Key_End, Qt::Key_Right} << 100;
        QTest::newRow("never below 1") << QList<int>{Qt::Key_Left, Qt::Key_Home, Qt::Key_Left} << 1;
        QTest::newRow("right adds, left takes away") << QList<int>{Qt::Key_Right, Qt::Key_Right, Qt::Key_Left} << 2;
    }

    void slider()
    {
        QFETCH(QList<int>, pressed);
        QFETCH(int, value);
        auto window = openWindow();
        keys(window->HScroll1, pressed);
        QCOMPARE(window->HScroll1->value(), value);
        QCOMPARE(window->lblQty->text(), QString::number(value));
    }

    void closingAndReopeningStartsAfresh()
    {
        env->writeDataFile(QStringLiteral("parts.txt"), kParts);
        QPointer<Kestrion> first;
        QTimer::singleShot(0, this, [&] {
            first = qobject_cast<Kestrion *>(QApplication::activeModalWidget());
            keys(first->HScroll1, {Qt::Key_End});
            keys(first->Combo1, {Qt::Key_Down, Qt::Key_Down});
            QTest::mouseClick(first->Command1, Qt::LeftButton);
        });
        Kestrion::showModal(nullptr);
        QVERIFY(first.isNull()); // unloaded

        env->writeDataFile(QStringLiteral("parts.txt"), "GH-5,Air Vent\r\n"); // changed meanwhile
        QStringList seen;
        QTimer::singleShot(0, this, [&] {
            auto *second = qobject_cast<Kestrion *>(QApplication::activeModalWidget());
            seen = shown(*second) + listOf(*second) << second->lblQty->text();
            second->close(); // as from the title bar
        });
        Kestrion::showModal(nullptr);
        QCOMPARE(seen, (QStringList{"GH-5", "*GH-5*", "Air Vent", "GH-5,Air Vent", "1"}));
    }

    void partLabel_data()
    {
        QTest::addColumn<QString>("typed"); // into the emptied chooser; empty: the part loaded
        QTest::addColumn<QList<int>>("slider");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("description");
        QTest::addColumn<int>("copies");
        QTest::newRow("loaded part, one copy") << "" << QList<int>{} << "AB-12" << "Brass Olive 15mm" << 1;
        QTest::newRow("100 copies") << "" << QList<int>{Qt::Key_End} << "AB-12" << "Brass Olive 15mm" << 100;
        QTest::newRow("typed code, lower case") << "vq-9, Pump Seal" << QList<int>{Qt::Key_Right} << "vq-9"
                                                << " Pump Seal" << 2;
    }

    void partLabel()
    {
        QFETCH(QString, typed);
        QFETCH(QList<int>, slider);
        QFETCH(QString, code);
        QFETCH(QString, description);
        QFETCH(int, copies);
        env->writeDataFile(QStringLiteral("parts.txt"), kParts);
        auto window = openWindow();
        if (!typed.isEmpty()) {
            window->Combo1->lineEdit()->clear();
            QTest::keyClicks(window->Combo1, typed);
        }
        keys(window->HScroll1, slider);
        const PrintJob job = print(*window);
        QCOMPARE(job.printerName, QStringLiteral("Label Printer"));
        QCOMPARE(job.copies, copies);
        QCOMPARE(job.title, "TagFoundry PART " + code);
        using Text = std::tuple<QPointF, QString, FontSpec>;
        const QList<Text> texts = {
            {{400, 200}, "Veltrane Heating Supplies Ltd.", {"Tahoma", 12, false}},
            {{2300, 500}, "Kestrion", {"Tahoma", 18, true}},
            {{2600, 900}, code, {"Tahoma", 12, true}},
            {{2400, 1250}, "*" + code + "*", {"Free 3 of 9", 20, false}},
            {{400, 1750}, description, {"Tahoma", 12, false}},
            {{1200, 2500}, PrintStamp(kNow), {"Tahoma", 10, false}},
        };
        QCOMPARE(job.ops.size(), texts.size() + 1);
        for (int i = 0; i < texts.size(); ++i)
            QCOMPARE(Text(job.ops[i].at, job.ops[i].text, job.ops[i].font), texts[i]);
        // The logo last, at its natural size: 134 x 66 pixels, 2010 x 990 twips.
        QCOMPARE(job.ops.last().kind, PrintOp::Kind::Picture);
        QCOMPARE(job.ops.last().at, QPointF(200, 600));
        QCOMPARE(job.ops.last().picture.size(), QSize(134, 66));

        // Label and preview scan as the code (capitals for lower case).
        const QStringList scanned{code.toUpper()};
        QCOMPARE(LabelImage::decodeCode39(job, 203), scanned);
        QCOMPARE(LabelImage::decodeCode39(job, 300), scanned);
        QImage preview(window->Label4->size() * 4, QImage::Format_RGB32);
        preview.setDevicePixelRatio(4);
        preview.fill(Qt::white);
        window->Label4->render(&preview);
        QCOMPARE(LabelImage::decodeCode39(preview), scanned);

        // Printing changes nothing in the window: Print again, the same label.
        QCOMPARE(print(*window), job);
    }

    void designTextsPrintAfterAFailedLoad()
    {
        auto window = openWindow();
        window->Picture2->setPicture(QImage()); // no logo: the label still prints
        const PrintJob job = print(*window);
        QCOMPARE(prompts.told, QStringList{"Cannot Load Parts File"});
        QCOMPARE(job.ops[2].text, kDesign[0]);
        QCOMPARE(job.ops[3].text, kDesign[1]);
        QCOMPARE(job.ops[4].text, kDesign[2]);
        QCOMPARE(LabelImage::decodeCode39(job, 203), QStringList{"VHQPART"});
    }

    void refusedJobIsReportedAndTheWindowStays()
    {
        env->spooler.refuseJobs(QStringLiteral("out of labels"));
        auto window = openWindow();
        QTest::mouseClick(window->Command2, Qt::LeftButton);
        QCOMPARE(prompts.warned, QStringList{"Printer \"Label Printer\" refused the job: out of labels"});
        QVERIFY(window->isVisible());
        env->spooler.refuseJobs({}, -1);
        QCOMPARE(print(*window).ops.size(), 7); // the next label is a job of its own
    }
};

QTEST_MAIN(TestKestrion)
#include "tst_kestrion.moc"
