// The built-in printer "TagFoundry PDF", printed on as the program prints: files that PDF
// readers open without a complaint, whose pages, page size and words (each where the layout put
// it) are listed in tests/data/pdf-printer.txt; barcodes that scan; pages that look like the same
// job painted on an image; and the numbered folder.

#include "ChildProgram.h"
#include "Code39Glyphs.h"
#include "Golden.h"
#include "LabelImage.h"
#include "PartLabel.h"
#include "PdfSpooler.h"
#include "TestPrinting.h"

#include <QPainter>
#include <QtTest>

using LabelImage::textOp;

namespace {

PrintJob sampleJob()
{
    QImage picture(48, 24, QImage::Format_RGB32);
    picture.fill(QColor(0, 90, 200));
    QPainter(&picture).fillRect(0, 0, 24, 12, QColor(220, 30, 30));
    // Tahoma has no \u0132 \u0133: Qt draws them from another font.
    PrintOp box, image;
    box.kind = PrintOp::Kind::Box;
    box.at = {100, 60};
    box.to = {4200, 2800};
    image.kind = PrintOp::Kind::Picture;
    image.at = {3300, 1900};
    image.picture = picture;
    PrintJob job;
    job.title = "TagFoundry sample";
    job.copies = 2;
    job.ops = {textOp(200, 100, "Valve 4711", {"Tahoma", 10, false}), textOp(200, 420, "FRAGILE", {"Tahoma", 14, true}),
               textOp(200, 840, "Seals Ltd", {"Arial", 9, false}), textOp(2400, 840, "\u00B0C \u20AC", {"Tahoma", 11, false}),
               textOp(2400, 100, "\u0141\u00F3d\u017A", {"Arial", 12, true}),
               textOp(200, 2100, "\u0132\u0133 AV To", {"Tahoma", 9, false}),
               textOp(200, 1300, "*TF-42*", {Code39Glyphs::kFontName, 24, false}), box, image};
    return job;
}

// 269 distinct characters, more than the 255 codes of one single-byte font.
PrintJob glyphsJob()
{
    QString all;
    for (const auto &[from, to] : {std::pair{0x100, 0x180}, {0x410, 0x450}, {0x3B1, 0x3CA}, {'A', '['}, {'a', '{'}})
        for (int c = from; c < to; ++c)
            all += QChar(c);
    PrintJob job;
    job.title = "glyphs";
    for (qsizetype i = 0; i * 30 < all.size(); ++i)
        job.ops.append(textOp(100, 100 + 280.0 * double(i), all.mid(i * 30, 30), {"Tahoma", 9, false}));
    return job;
}

// What poppler reads in a PDF file: pdfinfo's facts about it, each word at the top-left of its
// box in twips (the top-left of the character cell where the job put it), and whatever pdfinfo
// and pdftotext complain of (a broken xref, a broken stream).
QString readBack(const QString &path)
{
    const ProgramRun info = runProgram("pdfinfo", {path});
    QString text = QFileInfo(path).fileName() + '\n', errors;
    static const QRegularExpression facts("^(Title|Creator|Pages|Page size):.*$", QRegularExpression::MultilineOption);
    for (const QRegularExpressionMatch &fact : facts.globalMatch(info.output))
        text += fact.captured().simplified() + '\n';
    for (const auto &[word, at] : LabelImage::pdfWords(path, &errors))
        text += QString("%1 at %2,%3\n")
                    .arg(word)
                    .arg(qRound(at.x() * kTwipsPerPoint))
                    .arg(qRound(at.y() * kTwipsPerPoint));
    return text + info.errors + errors;
}

} // namespace

class TestLabelPdf : public QObject {
    Q_OBJECT

    TestPrinting env;
    const QDir printed{PdfSpooler::outputFolder()}; // in the test's home
    QString sample, error;

private slots:
    // The folder holds a file of an earlier run, one of the user's own and a higher counter.
    void initTestCase()
    {
        QDir().mkpath(printed.path());
        for (const auto &[name, bytes] : {std::pair{"00000003 a.pdf", ""}, {"notes.pdf", ""}, {".last-number", "17\n"}})
            QVERIFY2(writeFile(printed.filePath(name), bytes, &error), qPrintable(error));
        sample = LabelImage::printPdf(sampleJob());
    }

    // The whole 4 x 2 inch label, so nothing a layout places (notes at x = 3500 twips) is cut; a
    // page for each copy. Numbers go on after the counter's, then after a file put there by hand,
    // past 32 bits. The glyphs job twice in one process: the second file draws from the glyphs
    // the first made. A code far longer than a file name may be is printed, its file named
    // with the code's start, its characters that a file name may not hold as "_".
    void filesReadBackAsTheJobs()
    {
        QString text = readBack(sample);
        QVERIFY2(writeFile(printed.filePath("2147483647 old.pdf"), {}, &error), qPrintable(error));
        for (int i = 0; i < 2; ++i)
            text += readBack(LabelImage::printPdf(glyphsJob()));
        PrintJob longCode;
        // A character a file name may not hold is "_", one for each, a pair of surrogates being one.
        longCode.title = QString::fromUtf8("TagFoundry BIN \xf0\x9f\x98\x80\xc3\x84/") + QString(300, QLatin1Char('7'));
        longCode.ops = {textOp(300, 80, QString(300, QLatin1Char('7')), {"Tahoma", 20, false})};
        text += readBack(LabelImage::printPdf(longCode));
        QVERIFY(Golden::matches("pdf-printer.txt", text));
        QVERIFY2(QFileInfo(sample).size() < 20LL * 1024, "the sample label's file is 20 KiB or more");
    }

    // The part label's logo as the file holds it (read back by pdfimages), pixel for pixel
    // the picture: its rows of 134 pixels, 402 bytes, are not a multiple of four, as the rows
    // of a picture in memory are, and the padding between them would shear it.
    void logoPixelsAsThePicture()
    {
        const QImage logo(":/logo_small.bmp");
        QVERIFY(logo.width() * 3 % 4 != 0);
        PrintPartLabel(env.printer, {"AB-12", "Wing nuts", logo, 1});
        const QString pdf = LabelImage::printPdf(env.spooler.jobs.takeLast());
        QTemporaryDir images;
        const ProgramRun run = runProgram("pdfimages", {"-png", pdf, images.filePath("logo")});
        QVERIFY2(run.exitCode == 0, qPrintable(run.errors));
        QCOMPARE(QImage(images.filePath("logo-000.png")).convertToFormat(QImage::Format_RGB32),
                 logo.convertToFormat(QImage::Format_RGB32));
    }

    // Bold Tahoma is the regular outlines emboldened once, by the device, in the glyphs every
    // later file shares: its file is about the size of the regular one. Stroked again over the
    // text as it is drawn, every bold text's outlines went into the page (twice the file, same ink).
    void boldTextCostsAboutWhatRegularDoes()
    {
        qint64 sizes[2] = {};
        for (const bool bold : {false, true}) {
            PrintJob job;
            job.title = bold ? "bold" : "regular";
            job.ops = {textOp(200, 100, "DIVERTER VALVE CARTRIDGE", {"Tahoma", 16, bold}),
                       textOp(200, 600, "Seals and clips for combi boilers", {"Tahoma", 12, bold})};
            sizes[bold] = QFileInfo(LabelImage::printPdf(job)).size();
        }
        QVERIFY2(sizes[0] > 0 && sizes[1] < sizes[0] * 5 / 4,
                 qPrintable(QString("regular %1 bytes, bold %2").arg(sizes[0]).arg(sizes[1])));
    }

    // The last page's barcode scans at both label printer resolutions. The first page is compared
    // with the job painted on an image in 4 x 4 pixel cells (averaged by scaling down), so that edges
    // drawn a little heavier or half a pixel apart agree and a glyph missing or out of place does not.
    void pagesLookLikeTheJobPaintedOnAnImage()
    {
        for (int dpi : {300, 203})
            QCOMPARE(LabelImage::decodeCode39(LabelImage::renderPdf(sample, dpi).value(1)), QStringList{"TF-42"});
        const QImage page = LabelImage::renderPdf(sample, 203).value(0);
        const QImage expected = LabelImage::render(sampleJob(), 203);
        QCOMPARE(page.size(), expected.size());
        const QSize cells = expected.size() / 4;
        const QImage a = page.scaled(cells, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const QImage b = expected.scaled(cells, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        int ink = 0, differing = 0;
        for (int y = 0; y < cells.height(); ++y) {
            for (int x = 0; x < cells.width(); ++x) {
                const int p = qGray(a.pixel(x, y)), q = qGray(b.pixel(x, y));
                ink += p < 192 || q < 192;
                differing += qAbs(p - q) > 64;
            }
        }
        QVERIFY(ink > cells.width() * cells.height() / 50);
        QVERIFY2(differing < ink / 20, qPrintable(QString("%1 of %2 inked cells differ").arg(differing).arg(ink)));
    }
};

QTEST_MAIN(TestLabelPdf)
#include "tst_label_pdf.moc"
