// Text as the label printer draws it, measured on the pixels: the top of the
// character cell where the layout puts it and the baseline one cell ascent
// (the font's usWinAscent) below, each glyph one advance width after the last,
// and bold that is heavier than regular. Every check is made both on the
// built-in printer's PDF (rendered by poppler) and on the renderer's own image,
// the road of the system's printers and the preview.

#include "JobRenderer.h"
#include "LabelFonts.h"
#include "LabelImage.h"
#include "LabelPdfDevice.h"
#include "TestPrinting.h"
#include "WindowChecks.h"

#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QtTest>

using WindowChecks::textOp;

namespace {

// The one text drawn on the label's page at `dpi`, by `road`: "pdf" for the
// built-in printer's file, "image" for the renderer painting an image.
QImage page(const PrintOp &op, int dpi, const QString &road)
{
    PrintJob job;
    job.ops = {op};
    if (road == QLatin1String("image"))
        return LabelImage::render(job, dpi);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("text.pdf"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    LabelPdfDevice device(&file);
    QPainter painter(&device);
    JobRenderer::renderPage(painter, job);
    painter.end();
    file.close();
    return LabelImage::renderPdf(path, dpi).value(0);
}

// The smallest rectangle holding every pixel darker than mid grey.
QRect inkBox(const QImage &image)
{
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    QRect box;
    for (int y = 0; y < grey.height(); ++y) {
        const uchar *row = grey.constScanLine(y);
        for (int x = 0; x < grey.width(); ++x) {
            if (row[x] < 128)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

// Ink pixels in the row across the middle of the ink: the stem of an "l".
int stemAcrossTheMiddle(const QImage &image)
{
    const QRect box = inkBox(image);
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    const uchar *row = grey.constScanLine(box.center().y());
    return int(std::count_if(row, row + grey.width(), [](uchar v) { return v < 128; }));
}

double twipsOf(double pixels, int dpi)
{
    return pixels * kTwipsPerInch / dpi;
}

void addRoads(const char *name, auto &&row)
{
    for (const QString road : {QStringLiteral("pdf"), QStringLiteral("image")})
        row(QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(QLatin1String(name), road))) << road);
}

} // namespace

class TestLabelText : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { LabelFonts::ensureInstalled(); }

    // Ink tops and bottoms the label printer puts these texts at, in twips,
    // within one dot at 600 dpi. A text placed by another ascent than
    // usWinAscent (Qt's own, from the typographic ascender) is 94 twips off
    // at 20 pt.
    void inkLiesWhereTheLabelPrinterPutsIt_data()
    {
        QTest::addColumn<QString>("road");
        QTest::addColumn<PrintOp>("op");
        QTest::addColumn<double>("top");
        QTest::addColumn<double>("bottom"); // 0: not checked
        // The code of an XLIST label; "B" and the digits reach below the baseline (480).
        addRoads("XLIST code", [](QTestData &row) {
            row << textOp(300, 80, "AB-1234", {"Tahoma", 20, false}) << 182.0 << 484.0;
        });
        // The description of an XLIST label, capitals only: their tops, and their flat feet on the baseline.
        addRoads("description capitals", [](QTestData &row) {
            row << textOp(160, 600, "DIVERTER VALVE", {"Tahoma", 16, false}) << 687.0 << 920.0;
        });
    }

    void inkLiesWhereTheLabelPrinterPutsIt()
    {
        QFETCH(QString, road);
        QFETCH(PrintOp, op);
        QFETCH(double, top);
        QFETCH(double, bottom);
        constexpr int dpi = 600;
        const double dot = twipsOf(1, dpi);
        const QRect ink = inkBox(page(op, dpi, road));
        QVERIFY(!ink.isEmpty());
        const double inkTop = twipsOf(ink.top(), dpi);
        const double inkBottom = twipsOf(ink.bottom() + 1, dpi);
        QVERIFY2(qAbs(inkTop - top) <= dot, qPrintable(QStringLiteral("ink top %1 twips, expected %2").arg(inkTop).arg(top)));
        if (bottom > 0)
            QVERIFY2(qAbs(inkBottom - bottom) <= dot,
                     qPrintable(QStringLiteral("ink bottom %1 twips, expected %2").arg(inkBottom).arg(bottom)));
    }

    // "AVAVAVAVAV": pair kerning would pull every V under its A (78 twips in
    // all at 16 pt); the label printer advances each glyph by its own width.
    void wordIsAsWideAsItsAdvances_data()
    {
        QTest::addColumn<QString>("road");
        addRoads("AVAVAVAVAV", [](QTestData &row) { Q_UNUSED(row); });
    }

    void wordIsAsWideAsItsAdvances()
    {
        QFETCH(QString, road);
        const FontSpec spec{"Tahoma", 16, false};
        const QString word = QStringLiteral("AVAVAVAVAV");
        const QRawFont face = QRawFont::fromFont(LabelFonts::font(spec));
        QCOMPARE(face.familyName(), QStringLiteral("Tahoma"));
        const QList<quint32> glyphs = face.glyphIndexesForString(word);
        const QList<QPointF> advances = face.advancesForGlyphIndexes(glyphs, QRawFont::UseDesignMetrics);
        double width = 0;
        for (const QPointF &advance : advances)
            width += advance.x();
        QVERIFY2(qAbs(width / 20 - 95.8) < 0.05, qPrintable(QString::number(width / 20))); // points

        // Ink from the left edge of the first A to the right edge of the last V.
        const double inkLeft = face.boundingRect(glyphs.first()).left();
        const double inkRight = width - advances.last().x() + face.boundingRect(glyphs.last()).right();
        constexpr int dpi = 600;
        const QRect ink = inkBox(page(textOp(160, 600, word, spec), dpi, road));
        const double measured = twipsOf(ink.width(), dpi);
        QVERIFY2(qAbs(measured - (inkRight - inkLeft)) <= twipsOf(1, dpi),
                 qPrintable(QStringLiteral("ink %1 twips wide, the advances make %2").arg(measured).arg(inkRight - inkLeft)));
    }

    // The stem of "l" at 10 pt, 1200 dpi (a dot is 0.06 pt). Tahoma's bold
    // face is the regular outlines: emboldened, its stem is about 1.7 times
    // the regular's. Arial's (Liberation Sans Bold) is a real bold face:
    // printed as it is, its stem is the outline's own.
    void boldIsHeavierThanRegular_data()
    {
        QTest::addColumn<QString>("road");
        QTest::addColumn<QString>("font");
        addRoads("Tahoma", [](QTestData &row) { row << "Tahoma"; });
        addRoads("Arial", [](QTestData &row) { row << "Arial"; });
    }

    void boldIsHeavierThanRegular()
    {
        QFETCH(QString, road);
        QFETCH(QString, font);
        constexpr int dpi = 1200;
        const FontSpec regular{font, 10, false}, bold{font, 10, true};
        const double regularStem = stemAcrossTheMiddle(page(textOp(500, 500, "l", regular), dpi, road));
        const double boldStem = stemAcrossTheMiddle(page(textOp(500, 500, "l", bold), dpi, road));
        QVERIFY(regularStem > 10);
        const QString measured = QStringLiteral("regular %1, bold %2 dots").arg(regularStem).arg(boldStem);

        const QRawFont boldFace = QRawFont::fromFont(LabelFonts::font(bold));
        const QPainterPath outline = boldFace.pathForGlyph(boldFace.glyphIndexesForString("l").value(0));
        const double outlineStem = outline.boundingRect().width() * dpi / kTwipsPerInch; // dots
        if (font == QLatin1String("Tahoma")) {
            // The bold face's own outline is no heavier than regular: the weight is added.
            QVERIFY2(outlineStem < 1.1 * regularStem, qPrintable(QString::number(outlineStem)));
            QVERIFY2(boldStem >= 1.5 * regularStem && boldStem <= 1.9 * regularStem, qPrintable(measured));
        } else {
            QVERIFY2(qAbs(boldStem - outlineStem) <= 1.5, qPrintable(measured + QStringLiteral(", outline %1").arg(outlineStem)));
            QVERIFY2(boldStem > 1.3 * regularStem, qPrintable(measured));
        }
    }

    // Print moves down by the cell's height, usWinAscent plus usWinDescent
    // (Tahoma 2049 + 423, Liberation Sans, Arial's stand-in, 1854 + 434, of
    // 2048 units), not by the line spacing Qt reports.
    void printMovesDownOneCell_data()
    {
        QTest::addColumn<FontSpec>("font");
        QTest::addColumn<double>("advance"); // twips
        QTest::newRow("Tahoma 20") << FontSpec{"Tahoma", 20, false} << 2472 * 400 / 2048.0;
        QTest::newRow("Tahoma 10 bold") << FontSpec{"Tahoma", 10, true} << 2472 * 200 / 2048.0;
        QTest::newRow("Arial 10") << FontSpec{"Arial", 10, false} << 2288 * 200 / 2048.0;
    }

    void printMovesDownOneCell()
    {
        QFETCH(FontSpec, font);
        QFETCH(double, advance);
        TestPrinting printing;
        Printer &printer = Printer::current();
        printer.setFontName(font.name);
        printer.setFontSize(font.size);
        printer.setFontBold(font.bold);
        printer.setCurrentY(80);
        printer.print(QStringLiteral("Line"));
        QVERIFY2(qAbs(printer.currentY() - 80 - advance) < 0.01, qPrintable(QString::number(printer.currentY() - 80)));
        printer.reset();
    }
};

QTEST_MAIN(TestLabelText)
#include "tst_label_text.moc"
