// The part label printed from the part window: every operation of its job,
// copies, the logo, the barcode as a scanner reads it, printer failures.

#include "Kestrion.h"
#include "LabelImage.h"
#include "PrintStamp.h"
#include "Prompts.h"
#include "TestPrinting.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

#include <memory>

namespace {

class RecordingPrompts : public Prompts {
public:
    QStringList told;
    QStringList warned;
    bool askYesNo(QWidget *, const QString &text, const QString &) override
    {
        told.append(text);
        return false;
    }
    void tell(QWidget *, const QString &text, const QString &) override { told.append(text); }
    void warn(QWidget *, const QString &text) override { warned.append(text); }
    QString input(QWidget *, const QString &, const QString &) override { return {}; }
};

const QDateTime kNow(QDate(2026, 3, 14), QTime(9, 5, 7));

PrintOp text(double x, double y, const QString &text, const QString &font, double size, bool bold)
{
    PrintOp op;
    op.kind = PrintOp::Kind::Text;
    op.at = {x, y};
    op.text = text;
    op.font = FontSpec{font, size, bold};
    return op;
}

// The label's texts in order, as the layout places them.
QList<PrintOp> expectedTexts(const QString &code, const QString &description)
{
    const QString tahoma = QStringLiteral("Tahoma");
    return {
        text(400, 200, "Veltrane Heating Supplies Ltd.", tahoma, 12, false),
        text(2300, 500, "Kestrion", tahoma, 18, true),
        text(2600, 900, code, tahoma, 12, true),
        text(2400, 1250, "*" + code + "*", "Free 3 of 9", 20, false),
        text(400, 1750, description, tahoma, 12, false),
        text(1200, 2500, PrintStamp(kNow), tahoma, 10, false),
    };
}

} // namespace

class TestPartLabel : public QObject {
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

    // Presses Print; the one job it sent, or an empty job (and a failure).
    PrintJob printOne(Kestrion &window)
    {
        const qsizetype before = env->spooler.jobs.size();
        QTest::mouseClick(window.Command2, Qt::LeftButton);
        if (env->spooler.jobs.size() != before + 1) {
            QTest::qFail("Print did not send exactly one job", __FILE__, __LINE__);
            return {};
        }
        return env->spooler.jobs.last();
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

    void everyOperation_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QList<int>>("sliderKeys");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("description");
        QTest::addColumn<int>("copies");
        QTest::newRow("first part, one copy")
            << QByteArray("VQ-100,Brass Olive 15mm\r\nVQ-200,Tap Washer\r\n") << QList<int>{} << "VQ-100"
            << "Brass Olive 15mm" << 1;
        QTest::newRow("slider at its right end: 100 copies of one job")
            << QByteArray("VQ-100,Brass Olive 15mm\r\n") << QList<int>{Qt::Key_End} << "VQ-100" << "Brass Olive 15mm"
            << 100;
        QTest::newRow("three fields, space after the comma")
            << QByteArray("VQ-7, Radiator Key,EXTRA\r\n") << QList<int>{Qt::Key_Right, Qt::Key_Right} << "VQ-7"
            << " Radiator Key" << 3;
        // Nothing checks that a part was loaded: the design texts print.
        QTest::newRow("failed load prints the design texts")
            << QByteArray() << QList<int>{} << "VHQPART" << "5Qty M8 Wing Nuts" << 1;
    }

    void everyOperation()
    {
        QFETCH(QByteArray, file);
        QFETCH(QList<int>, sliderKeys);
        QFETCH(QString, code);
        QFETCH(QString, description);
        QFETCH(int, copies);
        if (!file.isEmpty())
            env->writeDataFile(QStringLiteral("parts.txt"), file);
        auto window = openWindow();
        for (int key : sliderKeys)
            QTest::keyClick(window->HScroll1, Qt::Key(key));

        const PrintJob job = printOne(*window);
        QCOMPARE(job.printerName, QStringLiteral("Label Printer"));
        QCOMPARE(job.copies, copies);
        QCOMPARE(job.title, QStringLiteral("TagFoundry PART ") + code);
        QCOMPARE(job.ops.size(), 7);
        const QList<PrintOp> texts = expectedTexts(code, description);
        for (int i = 0; i < texts.size(); ++i) {
            QCOMPARE(job.ops[i].kind, PrintOp::Kind::Text);
            QCOMPARE(job.ops[i].text, texts[i].text);
            QCOMPARE(job.ops[i].at, texts[i].at);
            QCOMPARE(job.ops[i].font, texts[i].font);
        }
        // The logo last, at its natural size: 134 x 66 pixels = 2010 x 990 twips.
        const PrintOp &logo = job.ops.last();
        QCOMPARE(logo.kind, PrintOp::Kind::Picture);
        QCOMPARE(logo.at, QPointF(200, 600));
        QCOMPARE(logo.picture.size(), QSize(134, 66));
        QCOMPARE(logo.picture, window->Picture2->picture());
        QCOMPARE(logo.picture.convertToFormat(QImage::Format_RGB32),
                 QImage(QStringLiteral(":/logo_small.bmp")).convertToFormat(QImage::Format_RGB32));

        // The label ends with the printer regular Tahoma 10, and the window
        // shows what it showed: printing changes nothing there.
        QCOMPARE(Printer::current().font(), (FontSpec{QStringLiteral("Tahoma"), 10, false}));
        QCOMPARE(window->Label2->text(), code);
        QCOMPARE(window->lblQty->text(), QString::number(copies));
        QCOMPARE(printOne(*window), job);
    }

    void companyNameKeepsTheWeightThePrinterWasLeftWith()
    {
        auto window = openWindow();
        Printer::current().setFontBold(true);
        Printer::current().endDoc(); // an earlier label that ended bold
        const PrintJob job = printOne(*window);
        QCOMPARE(job.ops.first().text, QStringLiteral("Veltrane Heating Supplies Ltd."));
        QVERIFY(job.ops.first().font.bold);
        QVERIFY(!job.ops[4].font.bold); // the description is regular again
    }

    void typedCodesPrintAsTyped_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QStringList>("scanned");
        QTest::newRow("part code") << "VQ-100,Olive" << "VQ-100" << QStringList{"VQ-100"};
        QTest::newRow("ten characters") << "ABCDE-1234,x" << "ABCDE-1234" << QStringList{"ABCDE-1234"};
        QTest::newRow("lower case prints lower, scans as capitals") << "vq-9,x" << "vq-9" << QStringList{"VQ-9"};
        QTest::newRow("empty code: start and stop only") << ",Just a description" << "" << QStringList();
    }

    void typedCodesPrintAsTyped()
    {
        QFETCH(QString, typed);
        QFETCH(QString, code);
        QFETCH(QStringList, scanned);
        auto window = openWindow();
        window->Combo1->lineEdit()->clear();
        QTest::keyClicks(window->Combo1, typed);
        const PrintJob job = printOne(*window);
        QCOMPARE(job.ops[2].text, code);
        QCOMPARE(job.ops[3].text, "*" + code + "*");
        for (int dpi : {203, 300})
            QCOMPARE(LabelImage::decodeCode39(job, dpi), scanned);
    }

    void labelWithoutItsLogoStillPrints()
    {
        auto window = openWindow();
        window->Picture2->setPicture(QImage());
        const PrintJob job = printOne(*window);
        QCOMPARE(job.ops.last().kind, PrintOp::Kind::Picture);
        QVERIFY(job.ops.last().picture.isNull());
        QCOMPARE(LabelImage::decodeCode39(job, 203), QStringList{"VHQPART"});
    }

    void refusedJobIsReportedAndTheWindowStays()
    {
        env->writeDataFile(QStringLiteral("parts.txt"), "VQ-100,Brass Olive 15mm\r\n");
        env->spooler.refuseJobs(QStringLiteral("out of labels"));
        auto window = openWindow();
        QTest::mouseClick(window->Command2, Qt::LeftButton);
        QCOMPARE(prompts.warned,
                 QStringList{QStringLiteral("Printer \"Label Printer\" refused the job: out of labels")});
        QVERIFY(window->isVisible());
        QCOMPARE(window->Label2->text(), QStringLiteral("VQ-100"));
        // The next label starts a job of its own.
        env->spooler.refuseJobs({}, -1);
        QTest::mouseClick(window->Command2, Qt::LeftButton);
        QCOMPARE(env->spooler.jobs.size(), 1);
        QCOMPARE(env->spooler.jobs.first().ops.size(), 7);
    }
};

QTEST_MAIN(TestPartLabel)
#include "tst_part_label.moc"
