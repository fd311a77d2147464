// The part window: loading the parts file, the chooser, the slider, closing,
// and the part label it prints.

#include "Golden.h"
#include "Kestrion.h"
#include "LabelImage.h"
#include "ModalWatcher.h"
#include "PrintStamp.h"
#include "ScriptedPrompts.h"
#include "TestPrinting.h"
#include "WindowChecks.h"

#include <QComboBox>
#include <QScrollBar>
#include <QtTest>

#include <memory>

namespace {

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

void keys(QWidget *target, const QList<int> &keys) { for (int key : keys) QTest::keyClick(target, Qt::Key(key)); }

} // namespace

class TestKestrion : public QObject {
    Q_OBJECT
    std::unique_ptr<TestPrinting> env;
    std::unique_ptr<ScriptedPrompts> prompts;

    std::unique_ptr<Kestrion> openWindow(const QByteArray &parts = kParts)
    {
        if (parts != "-")
            env->writeDataFile(QStringLiteral("parts.txt"), parts);
        auto window = std::make_unique<Kestrion>();
        window->Form_Load();
        if (!WindowChecks::showActive(window.get()))
            qWarning("the part window did not become active");
        return window;
    }

    // The one job a click on Print sends; an empty job when it sends none or several.
    PrintJob print(Kestrion &window)
    {
        const qsizetype before = env->spooler.jobs.size();
        QTest::mouseClick(window.Command2, Qt::LeftButton);
        return env->spooler.jobs.size() == before + 1 ? env->spooler.jobs.last() : PrintJob();
    }

private slots:
    void init()
    {
        env = std::make_unique<TestPrinting>();
        env->savePrinter(QStringLiteral("Label Printer"));
        Clock::setNowForTests([] { return kNow; });
        prompts = std::make_unique<ScriptedPrompts>(&env->spooler);
    }

    void cleanup() { prompts.reset(), env.reset(); }

    // What the window shows after loading, and prints: a failed load leaves the design's texts.
    void loading_data()
    {
        QTest::addColumn<QByteArray>("file"); // "-": no parts file at all
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<QStringList>("list"); // the first entry is the chooser's text
        QTest::addColumn<bool>("failed");
        const QString olive = QStringLiteral("AB-12,Brass Olive 15mm");
        QTest::newRow("missing file") << QByteArray("-") << kDesign << QStringList() << true;
        QTest::newRow("empty file") << QByteArray() << kDesign << QStringList() << true;
        QTest::newRow("one line without line end") << olive.toUtf8() << kOlive << QStringList{olive} << false;
        QTest::newRow("LF alone, empty lines, file order") << QByteArray("AB-12,Brass Olive 15mm\n\nZZ,Last\nAA,First\n\n")
                                                           << kOlive << QStringList{olive, "", "ZZ,Last", "AA,First", ""} << false;
        // Code and preview come from the change of the text; with no
        // description loading stops, only that line listed.
        QTest::newRow("first line without a comma") << QByteArray("NOCOMMA\r\nCD-3,Tap Washer\r\n")
                                                    << QStringList{"NOCOMMA", "*NOCOMMA*", kDesign[2]} << QStringList{"NOCOMMA"} << true;
        QTest::newRow("three fields, space after the comma") << QByteArray("P1, Radiator Key ,EXTRA\r\nQ2,x\r\n")
            << QStringList{"P1", "*P1*", " Radiator Key "} << QStringList{"P1, Radiator Key ,EXTRA", "Q2,x"} << false;
        QTest::newRow("Windows-1252 degree sign") << QByteArray("T60,Stat 60\xB0" "C\r\n")
            << QStringList{"T60", "*T60*", QString::fromUtf8("Stat 60°C")} << QStringList{QString::fromUtf8("T60,Stat 60°C")} << false;
    }

    void loading()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, labels);
        QFETCH(QStringList, list);
        QFETCH(bool, failed);
        auto window = openWindow(file);
        // Told, with no title of its own, before the window shows.
        QCOMPARE(prompts->log, failed ? QStringList{"tell 'Cannot Load Parts File' '' jobs 0 focus (none)"} : QStringList());
        QCOMPARE(window->Combo1->currentText(), list.value(0, QStringLiteral("Combo1")));
        QCOMPARE(shown(*window), labels);
        QCOMPARE(listOf(*window), list);
        const PrintJob job = print(*window);
        QCOMPARE((QStringList{job.ops.value(2).text, job.ops.value(3).text, job.ops.value(4).text}), labels);
    }

    void chooser()
    {
        auto window = openWindow();
        keys(window->Combo1, {Qt::Key_Down}); // the empty entry changes nothing
        QCOMPARE(window->Combo1->currentText(), QString());
        QCOMPARE(shown(*window), kOlive);
        keys(window->Combo1, {Qt::Key_Down, Qt::Key_Down}); // "EF": the description stays
        QCOMPARE(shown(*window), (QStringList{"EF", "*EF*", "Tap Washer"}));
        // Enter on a typed entry of the list: the arrows go on from there.
        WindowChecks::retype(window->Combo1, QStringLiteral("CD-3,Tap Washer"));
        keys(window->Combo1, {Qt::Key_Return, Qt::Key_Down});
        QCOMPARE(window->Combo1->currentText(), QStringLiteral("EF"));

        // Typed into the emptied chooser: nothing is completed from the list.
        WindowChecks::retype(window->Combo1, QStringLiteral("A"));
        QCOMPARE(shown(*window), (QStringList{"A", "*A*", "Tap Washer"}));
        QTest::keyClick(window->Combo1, 'B');
        QCOMPARE(shown(*window), (QStringList{"AB", "*AB*", "Tap Washer"}));
        // The preview draws real bars: a scanner reads the code off the screen.
        QImage preview(window->Label4->size() * 4, QImage::Format_RGB32);
        preview.setDevicePixelRatio(4);
        preview.fill(Qt::white);
        window->Label4->render(&preview);
        QCOMPARE(LabelImage::decodeCode39(preview), QStringList{"AB"});
        // Enter neither prints nor adds to the list; Escape does not close.
        QTest::keyClicks(window->Combo1, QStringLiteral(",Cu"));
        keys(window->Combo1, {Qt::Key_Return, Qt::Key_Escape});
        QCOMPARE(shown(*window), (QStringList{"AB", "*AB*", "Cu"}));
        QVERIFY(window->isVisible());
        QVERIFY(env->spooler.jobs.isEmpty());
        QCOMPARE(window->Combo1->count(), 4);
    }

    void closingAndReopeningStartsAfresh()
    {
        env->writeDataFile(QStringLiteral("parts.txt"), kParts);
        QStringList seen;
        ModalWatcher watcher([&](QWidget *opened, int index) {
            auto *window = qobject_cast<Kestrion *>(opened);
            if (index == 0) {
                keys(window->HScroll1, {Qt::Key_End});
                keys(window->Combo1, {Qt::Key_Down, Qt::Key_Down});
                QTest::mouseClick(window->Command1, Qt::LeftButton);
            } else {
                seen = shown(*window) + listOf(*window) << window->lblQty->text();
                window->close(); // as from the title bar
            }
        });
        Kestrion::showModal(nullptr);
        env->writeDataFile(QStringLiteral("parts.txt"), "GH-5,Air Vent\r\n"); // changed meanwhile
        Kestrion::showModal(nullptr);
        QCOMPARE(watcher.stillOpenAfterAct, QStringList());
        QCOMPARE(seen, (QStringList{"GH-5", "*GH-5*", "Air Vent", "GH-5,Air Vent", "1"}));
    }

    // A refused job is reported and the next click prints a job of its own;
    // the slider sets the copies: never below 1, right adds, left takes away,
    // at most 100. The jobs are in tests/data/part-flow.txt.
    void partLabelAndItsCopies()
    {
        auto window = openWindow();
        env->spooler.refuseJobs(QStringLiteral("out of labels"));
        QTest::mouseClick(window->Command2, Qt::LeftButton);
        env->spooler.refuseJobs({}, -1);
        QVERIFY(!print(*window).ops.isEmpty());
        QCOMPARE(LabelImage::decodeCode39(env->spooler.jobs.last(), 203), QStringList{"AB-12"});
        QStringList copies;
        for (const QList<int> &moves : QList<QList<int>>{{Qt::Key_Left, Qt::Key_Right, Qt::Key_Right, Qt::Key_Left},
                                                        {Qt::Key_End, Qt::Key_Right}}) {
            keys(window->HScroll1, moves);
            copies << window->lblQty->text();
        }
        QCOMPARE(copies, QStringList({"2", "100"}));
        QVERIFY(!print(*window).ops.isEmpty());
        QVERIFY(Golden::matches(QStringLiteral("part-flow.txt"), prompts->transcript()));
    }
};

QTEST_MAIN(TestKestrion)
#include "tst_kestrion.moc"
