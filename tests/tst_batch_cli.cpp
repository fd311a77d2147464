// Batch mode end to end: the built program run as another program runs it,
// with a home of its own, no display, printing on the built-in PDF printer.
// Where the text lands on a page is checked on the PDF device itself and,
// end to end, through the private spooler.

#include "LabelImage.h"
#include "Startup.h"
#include "ChildProgram.h"
#include "ProgramInfo.h"

#include <QtTest>

class TestBatchCli : public QObject {
    Q_OBJECT

    QTemporaryDir home;

    QString printed(const QString &name = {}) const { return home.filePath("TagFoundry/printed/" + name); }

    // Runs `tagfoundry word` with these labels and saved printer (none when null).
    ProgramRun run(const QString &word, const QByteArray &labels, const QString &saved, const QString &printServer = {})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (!printServer.isEmpty())
            environment.insert("CUPS_SERVER", printServer);
        return runProgram(TAGFOUNDRY_EXECUTABLE, {word}, batchHome(home.path(), labels, saved, environment), 60000);
    }

    QStringList printedFiles() const { return QDir(printed()).entryList({"*.pdf"}, QDir::Files, QDir::Name); }

private slots:
    void init() { QVERIFY(QDir(home.path()).removeRecursively() && QDir().mkpath(home.path())); }

    // Only the exact words print a batch or the help; anything else opens the main window.
    void commandLineWordsAreExact_data()
    {
        QTest::addColumn<QString>("tail");
        QTest::addColumn<bool>("batch");
        QTest::addColumn<bool>("information");
        QTest::newRow("XLIST") << "XLIST" << true << false;
        QTest::newRow("BINS") << "BINS" << true << false;
        QTest::newRow("empty") << "" << false << false;
        QTest::newRow("lower case") << "xlist" << false << false;
        QTest::newRow("trailing blank") << "XLIST " << false << false;
        QTest::newRow("both words") << "XLIST BINS" << false << false;
        QTest::newRow("--help") << "--help" << false << true;
        QTest::newRow("--version") << "--version" << false << true;
        QTest::newRow("short option") << "-h" << false << false;
        QTest::newRow("upper-case option") << "--HELP" << false << false;
        QTest::newRow("option and batch word") << "--help XLIST" << false << false;
        QTest::newRow("option with a blank") << "--version " << false << false;
    }

    void commandLineWordsAreExact()
    {
        QFETCH(QString, tail);
        QFETCH(bool, batch);
        QFETCH(bool, information);
        QCOMPARE(Startup::IsBatchWord(tail), batch);
        QCOMPARE(ProgramInfo::textFor(tail).has_value(), information);
    }

    // Run as a script or a person would, without a display: the text on standard output,
    // status 0, and nothing printed though a printer and a label file are there.
    void helpAndVersionPrintTextAndExit_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QStringList>("parts");
        QTest::newRow("--version") << "--version" << QStringList{"TagFoundry " TAGFOUNDRY_VERSION "\n"};
        QTest::newRow("--help") << "--help"
                                << QStringList{"Usage: tagfoundry [XLIST | BINS | --help | --version]\n",
                                               "\n  tagfoundry XLIST ", "\n  tagfoundry BINS ",
                                               "\n  0  every label was printed",
                                               "\n  1  a label or the printer failed",
                                               "\n  2  no label printer has been chosen",
                                               "labels.txt", "parts.txt", "printed", "[Settings] Printer"};
    }

    void helpAndVersionPrintTextAndExit()
    {
        QFETCH(QString, option);
        QFETCH(QStringList, parts);
        const ProgramRun result = run(option, "A-1,NONE,a,NONE,1\n", "TagFoundry PDF");
        QVERIFY2(result.exitCode == 0, qPrintable(result.errors));
        QCOMPARE(result.errors, QString());
        if (parts.size() == 1)
            QCOMPARE(result.output, parts[0]);
        for (const QString &part : parts)
            QVERIFY2(result.output.contains(part), qPrintable(result.output));
        QVERIFY(printedFiles().isEmpty());
    }

    void everyRecordBecomesAPdfWithAPageForEachCopy()
    {
        const ProgramRun result = run("XLIST",
                                      "VLV-2201,R12-A,Diverter valve cartridge,FRAGILE,2\r\n"
                                      "NONE,skipped\r\n"
                                      "TRV-10-LOCKSHIELD,NONE,Radiator valve,NONE,1\r\n",
                                      "TagFoundry PDF");
        QVERIFY2(result.exitCode == 0, qPrintable(result.errors));
        const QStringList files = printedFiles();
        QCOMPARE(files.size(), 2);
        const QList<std::pair<QString, int>> records = {{"VLV-2201", 2}, {"TRV-10-LOCKSHIELD", 1}};
        for (int i = 0; i < records.size(); ++i) {
            const auto &[code, copies] = records[i];
            QVERIFY2(files[i].contains("XLIST " + code), qPrintable(files[i]));
            const QList<QImage> pages = LabelImage::renderPdf(printed(files[i]), 203);
            QCOMPARE(pages.size(), copies);
            for (const QImage &page : pages)
                QCOMPARE(LabelImage::decodeCode39(page), QStringList{code});
        }
    }

    void laterRunsNeverOverwriteAndSortInOrder()
    {
        QCOMPARE(run("BINS", "B-1,NONE,b,NONE,1\n", "TagFoundry PDF").exitCode, 0);
        QCOMPARE(run("BINS", "A-2,NONE,a,NONE,1\n", "TagFoundry PDF").exitCode, 0);
        const QStringList files = printedFiles();
        QCOMPARE(files.size(), 2);
        QVERIFY(files[0].contains("B-1"));
        QVERIFY(files[1].contains("A-2"));
    }

    void unreachablePrintServerFailsInsteadOfPrintingElsewhere()
    {
        const QString server = home.filePath("no-such-server.sock");
        const ProgramRun result = run("XLIST", "A-1,NONE,a,NONE,1\n", "Label_Printer", server);
        QCOMPARE(result.exitCode, 1);
        for (const QString &part : {QStringLiteral("labels.txt line 1: Printer \"Label_Printer\""),
                                    QStringLiteral("cannot be reached"), server})
            QVERIFY2(result.errors.contains(part), qPrintable(result.errors));
        QVERIFY(printedFiles().isEmpty()); // not quietly on the PDF printer
    }

    void noChosenPrinterPrintsNothingAndSaysSo_data()
    {
        QTest::addColumn<QString>("saved");
        QTest::newRow("never chosen") << QString();
        QTest::newRow("saved none") << "none";
    }

    void noChosenPrinterPrintsNothingAndSaysSo()
    {
        QFETCH(QString, saved);
        const ProgramRun result = run("XLIST", "A-1,NONE,a,NONE,1\n", saved);
        QCOMPARE(result.exitCode, 2);
        QVERIFY2(result.errors.contains("no label printer has been chosen"), qPrintable(result.errors));
        QCOMPARE(result.errors.count('\n'), 1);
        QVERIFY(printedFiles().isEmpty());
    }
};

QTEST_MAIN(TestBatchCli)
#include "tst_batch_cli.moc"
