// Batch mode end to end: the built program run as another program runs it,
// with a home of its own, no display, printing on the built-in PDF printer.

#include "ChildProgram.h"
#include "Golden.h"
#include "LabelImage.h"
#include "Startup.h"
#include "ProgramInfo.h"

#include <QtTest>

class TestBatchCli : public QObject {
    Q_OBJECT

    QTemporaryDir home;

    // Runs `tagfoundry word` with these labels and saved printer (none when null).
    ProgramRun run(const QString &word, const QByteArray &labels, const QString &saved = "TagFoundry PDF",
                   const QString &printServer = {})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (!printServer.isEmpty())
            environment.insert("CUPS_SERVER", printServer);
        return runProgram(TAGFOUNDRY_EXECUTABLE, {word}, batchHome(home.path(), labels, saved, environment), 60000);
    }
    QString printed(const QString &name = {}) const { return home.filePath("TagFoundry/printed/" + name); }
    QStringList printedFiles() const { return QDir(printed()).entryList({"*.pdf"}, QDir::Files, QDir::Name); }

private slots:
    void init() { QVERIFY(QDir(home.path()).removeRecursively() && QDir().mkpath(home.path())); }

    // Only the exact words print a batch or the help; anything else opens the main window.
    void commandLineWordsAreExact()
    {
        QString table;
        for (const QString tail : {"XLIST", "BINS", "", "xlist", "XLIST ", "XLIST BINS", "--help", "--version", "-h",
                                   "--HELP", "--help XLIST", "--version "})
            table += QString("'%1' batch %2 information %3\n")
                         .arg(tail).arg(Startup::IsBatchWord(tail)).arg(ProgramInfo::textFor(tail).has_value());
        QVERIFY(Golden::matches("cli/words.txt", table));
    }

    // Without a display: the text on standard output, status 0, and nothing
    // printed though a printer and a label file are there.
    void helpAndVersionPrintTextAndExit()
    {
        const ProgramRun help = run("--help", "A-1,NONE,a,NONE,1\n"), version = run("--version", "A-1,NONE,a,NONE,1\n");
        QCOMPARE((QList<int>{help.exitCode, version.exitCode}), (QList<int>{0, 0}));
        QCOMPARE(help.errors + version.errors, QString());
        QVERIFY(Golden::matches("cli/help.txt", help.output));
        QCOMPARE(version.output, "TagFoundry " TAGFOUNDRY_VERSION "\n");
        QVERIFY(printedFiles().isEmpty());
    }

    // One file per record, a page per copy, each barcode scanning; a later run
    // never overwrites and sorts after.
    void everyRecordBecomesANumberedPdf()
    {
        ProgramRun result = run("XLIST", "VLV-2201,R12-A,Diverter valve cartridge,FRAGILE,2\r\nNONE,skipped\r\n"
                                         "TRV-10-LOCKSHIELD,NONE,Radiator valve,NONE,1\r\n");
        QVERIFY2(result.exitCode == 0, qPrintable(result.errors));
        result = run("BINS", "A-2,NONE,a,NONE,1\n");
        QVERIFY2(result.exitCode == 0, qPrintable(result.errors));
        const QStringList files = printedFiles();
        const QList<std::tuple<QString, QString, int>> expected = {
            {"XLIST VLV-2201", "VLV-2201", 2}, {"XLIST TRV-10-LOCKSHIELD", "TRV-10-LOCKSHIELD", 1}, {"BINS A-2", "A-2", 1}};
        QCOMPARE(files.size(), expected.size());
        for (qsizetype i = 0; i < files.size(); ++i) {
            const auto &[name, code, copies] = expected[i];
            QVERIFY2(files[i].contains(name), qPrintable(files[i]));
            const QList<QImage> pages = LabelImage::renderPdf(printed(files[i]), 203);
            QCOMPARE(pages.size(), copies);
            for (const QImage &page : pages)
                QCOMPARE(LabelImage::decodeCode39(page), QStringList{code});
        }
    }

    // Status 1 when the printer's server is away (not quietly printed elsewhere),
    // 2 when no printer was ever chosen or "none" is saved; one line on standard error.
    void failuresPrintNothingAndSaySo()
    {
        QString text;
        for (const auto &[saved, server] : {std::pair{QString("Label_Printer"), home.filePath("no-such-server.sock")},
                                            {QString(), QString()}, {QString("none"), QString()}}) {
            init();
            ProgramRun result = run("XLIST", "A-1,NONE,a,NONE,1\n", saved, server);
            text += QString("saved '%1': status %2, %3 printed, %4").arg(saved).arg(result.exitCode).arg(printedFiles().size())
                        .arg(result.errors.replace(home.path(), "~"));
        }
        QVERIFY(Golden::matches("cli/failures.txt", text));
    }
};

QTEST_MAIN(TestBatchCli)
#include "tst_batch_cli.moc"
