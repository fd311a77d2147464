// Batch mode end to end: the built program run as another program runs it,
// with a home of its own, no display, printing on the built-in PDF printer.

#include "LabelImage.h"
#include "Module1.h"

#include <QtTest>

namespace {

struct Run {
    int exitCode = -1;
    QString standardError;
};

struct Word {
    QString text;
    double xMin, yMin; // points from the page's top-left
};

} // namespace

class TestBatchCli : public QObject {
    Q_OBJECT

    QTemporaryDir home;

    QString dataFile(const QString &name) const { return home.filePath("TagFoundry/" + name); }

    void writeLabels(const QByteArray &bytes)
    {
        QDir().mkpath(dataFile(""));
        QFile file(dataFile("labels.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    void savePrinter(const QString &name)
    {
        QDir().mkpath(home.filePath(".config/TagFoundry"));
        QFile file(home.filePath(".config/TagFoundry/TagFoundry.conf"));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("[Settings]\nPrinter=" + name.toUtf8() + "\n");
    }

    Run run(const QString &word, const QString &printServer = QString())
    {
        QProcessEnvironment env;
        if (!printServer.isEmpty())
            env.insert("CUPS_SERVER", printServer);
        env.insert("HOME", home.path());
        env.insert("PATH", qEnvironmentVariable("PATH"));
        env.insert("LC_ALL", "C.UTF-8");
        env.insert("XDG_RUNTIME_DIR", home.path()); // no display of any kind
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(TAGFOUNDRY_EXECUTABLE, {word});
        if (!process.waitForFinished(60000))
            return {};
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromLocal8Bit(process.readAllStandardError())};
    }

    QStringList printedFiles() const
    {
        return QDir(dataFile("printed")).entryList({"*.pdf"}, QDir::Files, QDir::Name);
    }

    static QList<Word> words(const QString &pdf)
    {
        QProcess process;
        process.start("pdftotext", {"-bbox", "-f", "1", "-l", "1", pdf, "-"});
        process.waitForFinished();
        const QString html = QString::fromUtf8(process.readAllStandardOutput());
        static const QRegularExpression word(
            R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="[\d.]+" yMax="[\d.]+">([^<]*)</word>)re");
        QList<Word> result;
        for (const auto &match : word.globalMatch(html))
            result.append({match.captured(3), match.captured(1).toDouble(), match.captured(2).toDouble()});
        return result;
    }

    static int pageCount(const QString &pdf)
    {
        QProcess process;
        process.start("pdfinfo", {pdf});
        process.waitForFinished();
        static const QRegularExpression pages(R"(Pages:\s+(\d+))");
        return pages.match(QString::fromUtf8(process.readAllStandardOutput())).captured(1).toInt();
    }

private slots:
    void init() { QVERIFY(QDir(home.path()).removeRecursively() && QDir().mkpath(home.path())); }

    void batchWordsAreExact_data()
    {
        QTest::addColumn<QString>("tail");
        QTest::addColumn<bool>("batch");
        QTest::newRow("XLIST") << "XLIST" << true;
        QTest::newRow("BINS") << "BINS" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("lower case") << "xlist" << false;
        QTest::newRow("mixed case") << "Bins" << false;
        QTest::newRow("trailing blank") << "XLIST " << false;
        QTest::newRow("both words") << "XLIST BINS" << false;
    }

    void batchWordsAreExact()
    {
        QFETCH(QString, tail);
        QFETCH(bool, batch);
        QCOMPARE(Module1::IsBatchWord(tail), batch);
    }

    void everyRecordBecomesAPdfWithTextWhereTheLayoutPutsIt()
    {
        savePrinter("TagFoundry PDF");
        writeLabels("VLV-2201,R12-A,Diverter valve cartridge,FRAGILE,2\r\n"
                    "NONE,skipped\r\n"
                    "TRV-10-LOCKSHIELD,NONE,Radiator valve,NONE,1\r\n");
        const Run result = run("XLIST");
        QCOMPARE(result.exitCode, 0);
        const QStringList files = printedFiles();
        QCOMPARE(files.size(), 2);
        QVERIFY(files[0].contains("XLIST VLV-2201"));
        QVERIFY(files[1].contains("XLIST TRV-10-LOCKSHIELD"));
        const QString first = dataFile("printed/" + files[0]);
        QCOMPARE(pageCount(first), 2); // one page per copy
        QCOMPARE(pageCount(dataFile("printed/" + files[1])), 1);

        // Text positions: 20 twips per point from the page's top-left. The
        // top of a word's box is the top of its character cell.
        const QList<Word> found = words(first);
        auto at = [&](const QString &text) -> std::optional<Word> {
            for (const Word &w : found)
                if (w.text == text)
                    return w;
            return std::nullopt;
        };
        const QList<std::tuple<QString, double, double>> expected = {
            {"VLV-2201", 300, 80}, {"DIVERTER", 160, 600}, {"R12-A", 160, 1800}, {"FRAGILE", 3500, 2100}};
        for (const auto &[text, x, y] : expected) {
            const std::optional<Word> word = at(text);
            QVERIFY2(word, qPrintable(text + " not printed"));
            QVERIFY2(qAbs(word->xMin * 20 - x) < 40, qPrintable(text + " x " + QString::number(word->xMin * 20)));
            QVERIFY2(qAbs(word->yMin * 20 - y) < 40, qPrintable(text + " y " + QString::number(word->yMin * 20)));
        }

        for (int dpi : {203, 300}) {
            const QList<QImage> pages = LabelImage::renderPdf(first, dpi);
            QCOMPARE(pages.size(), 2);
            QCOMPARE(LabelImage::decodeCode39(pages[0]), QStringList{"VLV-2201"});
            QCOMPARE(LabelImage::decodeCode39(LabelImage::renderPdf(dataFile("printed/" + files[1]), dpi).value(0)),
                     QStringList{"TRV-10-LOCKSHIELD"});
        }
    }

    void laterRunsNeverOverwriteAndSortInOrder()
    {
        savePrinter("TagFoundry PDF");
        writeLabels("B-1,NONE,b,NONE,1\n");
        QCOMPARE(run("BINS").exitCode, 0);
        writeLabels("A-2,NONE,a,NONE,1\n");
        QCOMPARE(run("BINS").exitCode, 0);
        const QStringList files = printedFiles();
        QCOMPARE(files.size(), 2);
        QVERIFY(files[0].contains("B-1"));
        QVERIFY(files[1].contains("A-2"));
    }

    void failureNamesFileAndLineKeepsEarlierLabels()
    {
        savePrinter("TagFoundry PDF");
        writeLabels("A-1,NONE,a,NONE,1\r\nB-2,NONE,b,NONE,1\r\nC-3,oops\r\nD-4,NONE,d,NONE,1\r\n");
        const Run result = run("BINS");
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(result.standardError.contains("labels.txt line 3: 2 fields, at least 5 needed"),
                 qPrintable(result.standardError));
        QCOMPARE(printedFiles().size(), 2);
    }

    void missingLabelFileFailsBeforePrinting()
    {
        savePrinter("TagFoundry PDF");
        const Run result = run("XLIST");
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(result.standardError.contains("labels.txt: the file does not exist"), qPrintable(result.standardError));
        QVERIFY(printedFiles().isEmpty());
    }

    void unreachablePrintServerFailsInsteadOfPrintingElsewhere()
    {
        savePrinter("Label_Printer");
        writeLabels("A-1,NONE,a,NONE,1\n");
        const Run result = run("XLIST", home.filePath("no-such-server.sock"));
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(result.standardError.contains("line 1: Printer \"Label_Printer\"")
                     && result.standardError.contains("cannot be reached"),
                 qPrintable(result.standardError));
        QVERIFY(printedFiles().isEmpty()); // not quietly on the PDF printer
    }

    void noChosenPrinterPrintsNothingAndSaysSo_data()
    {
        QTest::addColumn<bool>("writeNone");
        QTest::newRow("never chosen") << false;
        QTest::newRow("saved none") << true;
    }

    void noChosenPrinterPrintsNothingAndSaysSo()
    {
        QFETCH(bool, writeNone);
        if (writeNone)
            savePrinter("none");
        writeLabels("A-1,NONE,a,NONE,1\n");
        const Run result = run("XLIST");
        QCOMPARE(result.exitCode, 2);
        QVERIFY2(result.standardError.contains("no label printer has been chosen"), qPrintable(result.standardError));
        QCOMPARE(result.standardError.count('\n'), 1);
        QVERIFY(printedFiles().isEmpty());
    }
};

QTEST_MAIN(TestBatchCli)
#include "tst_batch_cli.moc"
