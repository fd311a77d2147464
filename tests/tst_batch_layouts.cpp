// The two batch layouts and the label file, printed in-process on a
// recording spooler: every operation, position, font and copy count.

#include "BatchLayouts.h"
#include "Code39Glyphs.h"
#include "Failure.h"
#include "PrintStamp.h"
#include "RunBatch.h"
#include "SavedPrinter.h"
#include "TestPrinting.h"

#include <QtTest>

namespace {

const QDateTime kNow(QDate(2026, 12, 6), QTime(19, 29, 50));

PrintOp text(double x, double y, const QString &font, double size, bool bold, const QString &value)
{
    PrintOp op;
    op.kind = PrintOp::Kind::Text;
    op.at = {x, y};
    op.font = {font, size, bold};
    op.text = value;
    return op;
}

PrintOp frame()
{
    PrintOp op;
    op.kind = PrintOp::Kind::Box;
    op.at = {200, 60};
    op.to = {4200, 580};
    return op;
}

QStringList texts(const PrintJob &job)
{
    QStringList result;
    for (const PrintOp &op : job.ops) {
        if (op.kind == PrintOp::Kind::Text)
            result.append(op.text);
    }
    return result;
}

} // namespace

class TestBatchLayouts : public QObject {
    Q_OBJECT

    std::unique_ptr<TestPrinting> env;
    QString stamp;

private slots:
    void initTestCase()
    {
        // The stamp: the short date, " - ", the long time without a zone.
        stamp = PrintStamp(kNow);
        const QLocale locale = QLocale::system();
        const QString date = locale.toString(kNow.date(), QLocale::ShortFormat);
        QVERIFY2(stamp.startsWith(date + QStringLiteral(" - ")) && stamp.mid(date.size() + 3).contains(QStringLiteral("29:50")),
                 qPrintable(stamp));
    }

    void init()
    {
        env = std::make_unique<TestPrinting>();
        Clock::setNowForTests([] { return kNow; });
    }
    void cleanup() { env.reset(); }

    void recordIsItsTable_data()
    {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("word");
        QTest::addColumn<QList<PrintOp>>("expected");
        const QString company = "Veltrane Heating Supplies Ltd.";
        QTest::newRow("XLIST, note makes the stamp bold")
            << QStringList{"AB-1234", "R12", "Diverter valve", "FRAGILE", "2"} << "XLIST"
            << QList<PrintOp>{frame(), text(300, 80, "Tahoma", 20, false, "AB-1234"),
                              text(160, 1800, "Tahoma", 16, false, "R12"),
                              text(160, 600, "Tahoma", 16, false, "DIVERTER VALVE"),
                              text(250, 1000, "Free 3 of 9", 25, false, "*AB-1234*"),
                              text(3500, 2100, "Tahoma", 10, true, "FRAGILE"),
                              text(1200, 2500, "Tahoma", 10, true, stamp)};
        QTest::newRow("BINS without note")
            << QStringList{"BIN-7", "Q1", "Copper elbow 15mm", "NONE", "2"} << "BINS"
            << QList<PrintOp>{frame(), text(300, 80, "Tahoma", 20, false, "BIN-7"),
                              text(160, 600, "Tahoma", 16, false, "VHQ: Q1"),
                              text(160, 1000, "Tahoma", 10, false, "COPPER ELBOW 15MM"),
                              text(250, 2100, "Free 3 of 9", 25, false, "*BIN-7*"),
                              text(750, 2500, "Tahoma", 9, false, company),
                              text(1200, 2500, "Tahoma", 10, false, stamp)};
        QTest::newRow("BINS, note makes company and stamp bold")
            << QStringList{"B", "NONE", "d", "note", "2", "fields after the fifth", "change nothing"} << "BINS"
            << QList<PrintOp>{frame(), text(300, 80, "Tahoma", 20, false, "B"),
                              text(160, 1000, "Tahoma", 10, false, "D"),
                              text(250, 2100, "Free 3 of 9", 25, false, "*B*"),
                              text(3500, 2100, "Tahoma", 10, true, "note"),
                              text(750, 2500, "Tahoma", 9, true, company),
                              text(1200, 2500, "Tahoma", 10, true, stamp)};
    }

    void recordIsItsTable()
    {
        QFETCH(QStringList, fields);
        QFETCH(QString, word);
        QFETCH(QList<PrintOp>, expected);
        PrintBatchRecord(fields, word);
        QCOMPARE(env->spooler.jobs.size(), 1);
        const PrintJob &job = env->spooler.jobs[0];
        QCOMPARE(job.copies, 2);
        QCOMPARE(job.title, "TagFoundry " + word + " " + fields[0]);
        QCOMPARE(job.printerName, QStringLiteral("Office"));
        QCOMPARE(job.ops, expected);
    }

    void onlyExactNoneLeavesAnElementOut_data()
    {
        QTest::addColumn<QString>("reference");
        QTest::addColumn<QString>("note");
        QTest::addColumn<QStringList>("printed");
        QTest::newRow("both NONE") << "NONE" << "NONE" << QStringList{"C", "D", "*C*", stamp};
        QTest::newRow("lower case") << "none" << "None" << QStringList{"C", "none", "D", "*C*", "None", stamp};
        QTest::newRow("blank around") << " NONE" << "NONE " << QStringList{"C", " NONE", "D", "*C*", "NONE ", stamp};
        QTest::newRow("empty fields print") << "" << "" << QStringList{"C", "", "D", "*C*", "", stamp};
    }

    void onlyExactNoneLeavesAnElementOut()
    {
        QFETCH(QString, reference);
        QFETCH(QString, note);
        QFETCH(QStringList, printed);
        PrintBatchRecord({"C", reference, "d", note, "1"}, "XLIST");
        QCOMPARE(texts(env->spooler.jobs[0]), printed);
    }

    void barcodeSizeFollowsCodeLength_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<double>("size");
        QTest::newRow("15 characters") << QString(15, 'A') << 25.0;
        QTest::newRow("16 characters") << QString(16, 'A') << 22.0;
        QTest::newRow("empty") << QString() << 25.0;
    }

    void barcodeSizeFollowsCodeLength()
    {
        QFETCH(QString, code);
        QFETCH(double, size);
        for (const QString word : {"XLIST", "BINS"}) {
            env->spooler.jobs.clear();
            PrintBatchRecord({code, "NONE", "", "NONE", "1"}, word);
            const auto ops = env->spooler.jobs[0].ops;
            const auto barcode = std::find_if(ops.begin(), ops.end(),
                                              [](const PrintOp &op) { return op.font.name == "Free 3 of 9"; });
            QVERIFY(barcode != ops.end());
            QCOMPARE(barcode->text, "*" + code + "*");
            QCOMPARE(barcode->font.size, size);
        }
    }

    void binsDescriptionPieces_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<QList<int>>("pieceLengths"); // printed characters, "-" excluded
        QTest::addColumn<bool>("astral");             // every other character outside the BMP
        QTest::newRow("35: one line, no dash") << 35 << QList<int>{35} << false;
        QTest::newRow("36: dash, then one") << 36 << QList<int>{35, 1} << false;
        QTest::newRow("70") << 70 << QList<int>{35, 35} << false;
        QTest::newRow("71") << 71 << QList<int>{35, 35, 1} << false;
        QTest::newRow("140") << 140 << QList<int>{35, 35, 35, 35} << false;
        QTest::newRow("141") << 141 << QList<int>{35, 35, 35, 35, 1} << false;
        QTest::newRow("200: five lines, 176 on dropped") << 200 << QList<int>{35, 35, 35, 35, 35} << false;
        QTest::newRow("empty") << 0 << QList<int>{0} << false;
        // Pieces are characters: none is cut between its two UTF-16 units.
        QTest::newRow("35 astral: one line") << 35 << QList<int>{35} << true;
        QTest::newRow("36 astral") << 36 << QList<int>{35, 1} << true;
        QTest::newRow("200 astral") << 200 << QList<int>{35, 35, 35, 35, 35} << true;
    }

    void binsDescriptionPieces()
    {
        QFETCH(int, length);
        QFETCH(QList<int>, pieceLengths);
        QFETCH(bool, astral);
        QStringList characters;
        for (int i = 0; i < length; ++i) // U+10428, DESERET SMALL LETTER LONG I, has a capital
            characters.append(astral && i % 2 ? QString::fromUcs4(U"\U00010428") : QString(QChar('a' + i % 26)));
        PrintBatchRecord({"C", "NONE", characters.join(QString()), "NONE", "1"}, "BINS");
        QList<PrintOp> lines;
        for (const PrintOp &op : env->spooler.jobs[0].ops) {
            if (op.font == FontSpec{"Tahoma", 10, false} && op.at.x() == 160)
                lines.append(op);
        }
        QCOMPARE(lines.size(), pieceLengths.size());
        int start = 0;
        for (int i = 0; i < lines.size(); ++i) {
            const bool last = i == lines.size() - 1;
            QString piece = characters.mid(start, pieceLengths[i]).join(QString()).toUpper();
            if (!last)
                piece += '-';
            QCOMPARE(lines[i].text, piece);
            QCOMPARE(lines[i].at.y(), 1000.0 + 200 * i);
            start += pieceLengths[i];
        }
    }

    void xlistDescriptionIsOneLineHoweverLong()
    {
        const QString description(300, 'x');
        PrintBatchRecord({"C", "NONE", description, "NONE", "1"}, "XLIST");
        QVERIFY(texts(env->spooler.jobs[0]).contains(description.toUpper()));
    }

    void copies_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("copies");
        QTest::newRow("3") << "3" << 3;
        QTest::newRow("2.5 halves to even") << "2.5" << 2;
        QTest::newRow("3.5 halves to even") << "3.5" << 4;
        QTest::newRow("blanks ignored") << " 1 2" << 12;
        QTest::newRow("leading number") << "4 boxes" << 4;
        QTest::newRow("empty is one copy") << "" << 1;
        QTest::newRow("zero is one copy") << "0" << 1;
        QTest::newRow("negative is one copy") << "-5" << 1;
        QTest::newRow("exponent") << "1e1" << 10;
        QTest::newRow("largest") << "32767" << 32767;
    }

    void copies()
    {
        QFETCH(QString, field);
        QFETCH(int, copies);
        PrintBatchRecord({"C", "NONE", "d", "NONE", field}, "XLIST");
        QCOMPARE(env->spooler.jobs[0].copies, copies);
    }

    void fileRecordsBecomeJobsInOrder()
    {
        env->savePrinter("Label Printer");
        SelectSavedPrinter();
        env->writeDataFile("labels.txt", "A1,NONE,a,NONE,1\r\nNONE,skipped\r\nNONE\nNone,skip?,no,NONE,2\nB2,NONE,b,NONE,3");
        RunBatch("XLIST");
        QCOMPARE(env->spooler.jobs.size(), 3);
        QCOMPARE(env->spooler.jobs[0].ops[1].text, QStringLiteral("A1"));
        QCOMPARE(env->spooler.jobs[1].ops[1].text, QStringLiteral("None")); // not a skip line
        QCOMPARE(env->spooler.jobs[2].ops[1].text, QStringLiteral("B2"));
        QCOMPARE(env->spooler.jobs[2].copies, 3);
        for (const PrintJob &job : env->spooler.jobs)
            QCOMPARE(job.printerName, QStringLiteral("Label Printer"));
    }

    void onlySkipLinesPrintNothing()
    {
        env->writeDataFile("labels.txt", "NONE\r\nNONE,x,y,z,1\r\n");
        RunBatch("BINS");
        QVERIFY(env->spooler.jobs.isEmpty());
    }

    // The label file as other programs write it: its encoding and its line
    // ends decide which records there are and what they say.
    void textEncodings_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("codes");
        const auto utf16 = [](const QString &text, bool littleEndian) {
            QByteArray bytes = littleEndian ? QByteArray("\xff\xfe") : QByteArray("\xfe\xff");
            for (QChar c : text) {
                const char high = char(c.unicode() >> 8), low = char(c.unicode() & 0xff);
                bytes.append(littleEndian ? low : high).append(littleEndian ? high : low);
            }
            return bytes;
        };
        const QString twoRecords = QString::fromUtf8("°C-€,NONE,d,NONE,1\r\nNONE\r\nB-\U0001F525,NONE,e,NONE,2\r\n");
        QTest::newRow("UTF-8") << QByteArray("\xc2\xb0" "C-\xe2\x82\xac,NONE,d,NONE,1\r\n") << QStringList{QString::fromUtf8("°C-€")};
        QTest::newRow("Windows-1252") << QByteArray("\xb0" "C-\x80,NONE,d,NONE,1\r\n") << QStringList{QString::fromUtf8("°C-€")};
        QTest::newRow("UTF-8 with BOM") << QByteArray("\xef\xbb\xbfX,NONE,d,NONE,1\n") << QStringList{"X"};
        QTest::newRow("UTF-16 little-endian (FF FE)")
            << utf16(twoRecords, true) << QStringList{QString::fromUtf8("°C-€"), QString::fromUtf8("B-\U0001F525")};
        QTest::newRow("UTF-16 big-endian (FE FF)")
            << utf16(twoRecords, false) << QStringList{QString::fromUtf8("°C-€"), QString::fromUtf8("B-\U0001F525")};
        // An old Mac editor ends lines in CR alone; mixed ends are one line each.
        QTest::newRow("lone CR") << QByteArray("A,NONE,a,NONE,1\rB,NONE,b,NONE,1\r") << QStringList{"A", "B"};
        QTest::newRow("mixed ends") << QByteArray("A,NONE,a,NONE,1\rNONE\nB,NONE,b,NONE,1\r\nC,NONE,c,NONE,1")
                                    << QStringList{"A", "B", "C"};
    }

    void textEncodings()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, codes);
        env->writeDataFile("labels.txt", bytes);
        RunBatch("XLIST");
        QStringList printed;
        for (const PrintJob &job : env->spooler.jobs)
            printed << job.ops[1].text;
        QCOMPARE(printed, codes);
    }

    void failuresNameFileLineAndKeepEarlierLabels_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("printedBefore");
        QTest::addColumn<QString>("message");
        QTest::newRow("too few fields")
            << QByteArray("A,NONE,a,NONE,1\r\nB,NONE,b,NONE,1\r\nC,x,y\r\nD,NONE,d,NONE,1\r\n") << 2
            << "labels.txt line 3: 3 fields, at least 5 needed";
        QTest::newRow("blank line at the end")
            << QByteArray("A,NONE,a,NONE,1\r\n\r\n") << 1 << "labels.txt line 2: empty line, at least 5 fields needed";
        QTest::newRow("copies overflow") << QByteArray("A,NONE,a,NONE,1\nB,NONE,b,NONE,40000\nC,NONE,c,NONE,1\n")
                                         << 1 << "labels.txt line 2: copies \"40000\" is outside -32768 to 32767";
        QTest::newRow("empty file") << QByteArray("") << 0 << "labels.txt: the file is empty";
        // The system's own reason: Windows names the data folder missing.
#ifdef Q_OS_WIN
        QTest::newRow("missing file") << QByteArray() << 0 << "labels.txt: Path not found";
#else
        QTest::newRow("missing file") << QByteArray() << 0 << "labels.txt: No such file or directory";
#endif
    }

    void failuresNameFileLineAndKeepEarlierLabels()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, printedBefore);
        QFETCH(QString, message);
        if (!bytes.isNull())
            env->writeDataFile("labels.txt", bytes);
        try {
            RunBatch("XLIST");
            QFAIL("the batch should have failed");
        } catch (const Failure &failure) {
            QVERIFY2(failure.message().contains(message), qPrintable(failure.message()));
        }
        QCOMPARE(env->spooler.jobs.size(), printedBefore);
    }

    void printerRefusalStopsTheRunWithTheLine()
    {
        env->spooler.refuseJobs("queue stopped", 1);
        env->writeDataFile("labels.txt", "A,NONE,a,NONE,1\nB,NONE,b,NONE,1\nC,NONE,c,NONE,1\n");
        try {
            RunBatch("XLIST");
            QFAIL("the batch should have failed");
        } catch (const Failure &failure) {
            QVERIFY2(failure.message().contains("labels.txt line 2: Printer \"Office\" refused the job: queue stopped"),
                     qPrintable(failure.message()));
        }
        QCOMPARE(env->spooler.jobs.size(), 1);
        // The refused job left nothing open: the next label starts clean.
        env->spooler.refuseJobs({}, -1);
        PrintBatchRecord({"Z", "NONE", "z", "NONE", "1"}, "XLIST");
        QCOMPARE(env->spooler.jobs.last().ops[1].text, QStringLiteral("Z"));
        QCOMPARE(env->spooler.jobs.last().ops.size(), 5);
    }
};

QTEST_MAIN(TestBatchLayouts)
#include "tst_batch_layouts.moc"
