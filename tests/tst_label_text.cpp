// Text as the label printer draws it, measured on the pixels: the top of the
// character cell where the layout puts it and the baseline one cell ascent
// (the font's usWinAscent) below, each glyph one advance width after the last,
// bold that is heavier than regular, and barcodes in their cell. Each is
// measured both on the built-in printer's PDF (rendered by poppler) and on the
// renderer's own image, the road of the system's printers and the preview.
// The barcodes are read back by a real decoder: a wrong pattern or element
// width does not decode, or decodes as another.

#include "Code39Glyphs.h"
#include "Golden.h"
#include "LabelImage.h"
#include "TestPrinting.h"

#include <QtTest>

using LabelImage::textOp;

class TestLabelText : public QObject {
    Q_OBJECT

    TestPrinting env; // the built-in printer's files in a data folder of the test's own

private slots:
    // The ink of one text, in twips, within one dot.
    void inkLiesWhereTheLabelPrinterPutsIt_data()
    {
        QTest::addColumn<bool>("pdf");
        QTest::addColumn<PrintOp>("op");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<QList<double>>("topBottomWidth"); // 0: not checked
        for (const bool pdf : {true, false}) {
            const auto row = [&](const char *name, const PrintOp &op, int dpi, const QList<double> &box) {
                QTest::addRow("%s, %s", name, pdf ? "pdf" : "image") << pdf << op << dpi << box;
            };
            // A text placed by another ascent than usWinAscent (Qt's own, from the typographic
            // ascender) is 94 twips off at 20 pt. "B" and the digits reach below the baseline (480).
            row("XLIST code", textOp(300, 80, "AB-1234", {"Tahoma", 20, false}), 600, {182, 484, 0});
            // Capitals only: their tops, and their flat feet on the baseline.
            row("description capitals", textOp(160, 600, "DIVERTER VALVE", {"Tahoma", 16, false}), 600, {687, 920, 0});
            // Pair kerning would pull every V under its A, 78 twips in all: each glyph
            // advances by its own width.
            row("AVAVAVAVAV", textOp(160, 600, "AVAVAVAVAV", {"Tahoma", 16, false}), 600, {0, 0, 1917.6});
            // The stem of "l" at 1200 dpi. Tahoma's bold face is the regular outlines: emboldened, its
            // stem is about 1.7 times the regular's. Arial's (Liberation Sans Bold) is a real bold face.
            row("Tahoma l", textOp(500, 500, "l", {"Tahoma", 10, false}), 1200, {0, 0, 18});
            row("Tahoma l bold", textOp(500, 500, "l", {"Tahoma", 10, true}), 1200, {0, 0, 30.6});
            row("Arial l", textOp(500, 500, "l", {"Arial", 10, false}), 1200, {0, 0, 18});
            row("Arial l bold", textOp(500, 500, "l", {"Arial", 10, true}), 1200, {0, 0, 27.6});
            // Bars from 4/2048 em below the cell's top to its foot, 1540/2048 em.
            row("barcode", textOp(250, 200, "*", {Code39Glyphs::kFontName, 36, false}), 600, {201.4, 741.4, 0});
        }
    }

    void inkLiesWhereTheLabelPrinterPutsIt()
    {
        QFETCH(bool, pdf);
        QFETCH(PrintOp, op);
        QFETCH(int, dpi);
        QFETCH(QList<double>, topBottomWidth);
        PrintJob job;
        job.ops = {op};
        const QImage page = pdf ? LabelImage::renderPdf(LabelImage::printPdf(job), dpi).value(0)
                                : LabelImage::render(job, dpi);
        const QRectF ink = LabelImage::inkIn(page, dpi, {}, QRectF(0, 0, 288, 144));
        const QList<double> measured = {ink.top() * kTwipsPerPoint, ink.bottom() * kTwipsPerPoint,
                                        ink.width() * kTwipsPerPoint};
        for (int i = 0; i < 3; ++i) {
            QVERIFY2(!ink.isEmpty() && (!topBottomWidth[i] || qAbs(measured[i] - topBottomWidth[i]) <= kTwipsPerInch / dpi),
                     qPrintable(QStringLiteral("ink top, bottom, width %1, %2, %3 twips")
                                    .arg(measured[0]).arg(measured[1]).arg(measured[2])));
        }
    }

    // A box's outline is one printer dot wide, so a label printer shows it: in ink, on the
    // renderer's raster at its own resolution, and on the built-in printer's 203 dpi grid.
    void frameOutlineIsOneDot_data()
    {
        QTest::addColumn<bool>("pdf");
        QTest::addColumn<int>("dpi");
        QTest::newRow("image, 203 dpi") << false << 203;
        QTest::newRow("image, 300 dpi") << false << 300;
        QTest::newRow("pdf, 203 dpi") << true << 203;
    }

    void frameOutlineIsOneDot()
    {
        QFETCH(bool, pdf);
        QFETCH(int, dpi);
        PrintOp frame; // the frame of the bin and batch labels
        frame.kind = PrintOp::Kind::Box;
        frame.at = {200, 60};
        frame.to = {4200, 580};
        PrintJob job;
        job.ops = {frame};
        const QImage page = (pdf ? LabelImage::renderPdf(LabelImage::printPdf(job), dpi).value(0)
                                 : LabelImage::render(job, dpi))
                                .convertToFormat(QImage::Format_Grayscale8);
        // The ink across the top edge, half way along it, in dots.
        const int x = int(2200 * dpi / kTwipsPerInch), y = int(60 * dpi / kTwipsPerInch);
        double ink = 0;
        for (int row = std::max(0, y - 4); row <= y + 4; ++row)
            ink += (255 - page.constScanLine(row)[x]) / 255.0;
        QVERIFY2(qAbs(ink - 1) < 0.2, qPrintable(QString::number(ink)));
    }

    // Together the values hold all 43 data characters; lowercase prints its capitals' bars; a
    // character Code 39 has no bars for never scans as another. The scans are in tests/data/barcodes.txt.
    void barcodesDecodeAsTheirText()
    {
        QString scans;
        for (int dpi : {203, 300}) {
            for (double points : {20.0, 22.0, 25.0, 30.0, 36.0}) {
                for (const QString &value : QStringList{"0123456789", "ABCDEFGHIJKLM", "NOPQRSTUVWXYZ", "A-. $/+%B",
                                                        "shelf-c1a", "AB#CD", "12,34", "CAF\u00c9"}) {
                    PrintJob job;
                    job.ops = {textOp(250, 200, '*' + value + '*', {Code39Glyphs::kFontName, points, false})};
                    scans += QString("%1 pt %2 dpi '%3': '%4'\n")
                                 .arg(points)
                                 .arg(dpi)
                                 .arg(value,
                                      LabelImage::decodeCode39(LabelImage::render(job, dpi, 8, 1.5)).join("', '"));
                }
            }
        }
        QVERIFY(Golden::matches("barcodes.txt", scans));
    }
};

QTEST_MAIN(TestLabelText)
#include "tst_label_text.moc"
