// Batch mode end to end: the built program run as another program runs it,
// with a home of its own, no display, printing on the built-in PDF printer.

#include "BarcodeRaster.h"
#include "ChildProgram.h"
#include "CommandTail.h"
#include "Golden.h"
#include "LabelImage.h"
#include "ProgramInfo.h"
#include "Startup.h"

#include <QtTest>

namespace {

std::u16string_view utf16(const QString &text)
{
    return {QStringView(text).utf16(), size_t(text.size())};
}

} // namespace

class TestBatchCli : public QObject {
    Q_OBJECT

    QTemporaryDir home;

    // Runs `tagfoundry word` with these labels, the built-in printer saved.
    ProgramRun run(const QString &word, const QByteArray &labels) { return runBatch(home.path(), word, labels, "TagFoundry PDF"); }
    QString printed(const QString &name = {}) const { return home.filePath("TagFoundry/printed/" + name); }

private slots:
    void init() { QVERIFY(QDir(home.path()).removeRecursively() && QDir().mkpath(home.path())); }

    // Only the exact words print a batch or the help; anything else opens the main window.
    void commandLineWordsAreExact()
    {
        QString table;
        for (const QString &tail : QStringList{"XLIST", "BINS", "", "xlist", "XLIST ", "XLIST BINS", "--help",
                                               "--version", "-h", "--HELP", "--help XLIST", "--version "}) {
            const bool batch = Startup::IsBatchWord(tail), information = ProgramInfo::textFor(tail).has_value();
            table += QString("'%1' batch %2 information %3\n").arg(tail).arg(batch).arg(information);
            // The Windows console companion waits for exactly these.
            QCOMPARE(CommandTail::answersCaller(utf16(tail)), batch || information);
        }
        QVERIFY(Golden::matches("cli/words.txt", table));
    }

    // The tail of a command line as Windows hands it to a program, found
    // alike by the program and its console companion: after the program's
    // name, quoted (with blanks in it) or not, and the blanks after it.
    void windowsCommandLineTail_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("tail");
        // Each line with the tail in it: a quoted path with blanks, a blank
        // after the word that stays (so it is no batch word), a tab, no tail,
        // a quote never closed (all of it is the name).
        for (const auto &[line, tail] : {std::pair{"tagfoundry XLIST", "XLIST"},
                                         {"\"C:\\Program Files\\TagFoundry\\tagfoundry.com\"  BINS", "BINS"},
                                         {"\"C:\\Program Files\\TagFoundry\\tagfoundry\" XLIST ", "XLIST "},
                                         {"tagfoundry\t--help", "--help"},
                                         {"tagfoundry", ""},
                                         {"\"C:\\Program Files\\TagFoundry\\tagfoundry.exe\"", ""},
                                         {"\"C:\\TagFoundry\\tagfoundry XLIST", ""}})
            QTest::newRow(line) << QString(line) << QString(tail);
    }

    void windowsCommandLineTail()
    {
        QFETCH(QString, line);
        QFETCH(QString, tail);
        QCOMPARE(line.mid(qsizetype(CommandTail::start(utf16(line)))), tail);
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
        QVERIFY(pdfsIn(printed()).isEmpty());
    }

    // One file per record, a page per copy, each barcode scanning; a later run
    // never overwrites and sorts after. The files in name order, each with
    // what its pages' barcodes read, as tests/data/cli/printed.txt: by
    // zxing-cpp, then by zbar as printed, with every bar grown by a dot and
    // thinned by one, on the 203 dpi raster of the PDF, where the element
    // rule is kept.
    void everyRecordBecomesANumberedPdf()
    {
        ProgramRun result = run("XLIST", "VLV-2201,R12-A,Diverter valve cartridge,FRAGILE,2\r\nNONE,skipped\r\n"
                                         "TRV-10-LOCKSHIELD,NONE,Radiator valve,NONE,1\r\n");
        QVERIFY2(result.exitCode == 0, qPrintable(result.errors));
        result = run("BINS", "A-2,NONE,a,NONE,1\n");
        QVERIFY2(result.exitCode == 0, qPrintable(result.errors));
        QString text;
        for (const QString &file : pdfsIn(printed())) {
            text += file.section(' ', 1) + ':';
            for (const QImage &page : LabelImage::renderPdf(printed(file), 203)) {
                const QStringList read = LabelImage::decodeCode39(page);
                text += " [" + read.join(", ") + ']';
                const QList<QPoint> starts = LabelImage::code39Starts(page);
                if (read.size() != 1 || starts.size() != 1)
                    continue;
                const QRect bars = BarcodeRaster::barsAt(page, starts[0]);
                const BarcodeRaster::Measure m = BarcodeRaster::measure(page, bars, bars.left(),
                                                                        int(read[0].size()) + 2);
                QVERIFY2(BarcodeRaster::ruleBroken(m, 203).isEmpty(), qPrintable(BarcodeRaster::ruleBroken(m, 203)));
                text += " zbar";
                for (const int dots : {0, 1, -1})
                    text += " ["
                            + LabelImage::decodeCode39WithZbar(
                                  BarcodeRaster::withBarsChanged(page, bars, m.start, m.end, dots))
                                  .join(", ")
                            + ']';
            }
            text += '\n';
        }
        QVERIFY(Golden::matches("cli/printed.txt", text));
    }
};

QTEST_MAIN(TestBatchCli)
#include "tst_batch_cli.moc"
