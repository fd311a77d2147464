// The barcode glyphs the device draws for the font "Free 3 of 9", rendered
// at label printers' resolutions and read back by a real decoder: a wrong
// pattern or element width does not decode, or decodes as another.

#include "Code39Glyphs.h"
#include "LabelImage.h"

#include <QtTest>

namespace {

QImage barcode(const QString &text, double points, int dpi, double widthInches = 8)
{
    PrintJob job;
    job.ops = {LabelImage::textOp(250, 200, text, {Code39Glyphs::kFontName, points, false})};
    return LabelImage::render(job, dpi, widthInches, 1.5);
}

} // namespace

class TestBarcode : public QObject {
    Q_OBJECT
private slots:
    // Together the values hold all 43 data characters; lowercase prints its
    // capitals' bars; a character Code 39 has no bars for never scans as another.
    void decodesAsItsText_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<double>("points");
        QTest::addColumn<int>("dpi");
        const QList<QPair<QString, QString>> values = {
            {"0123456789", "0123456789"}, {"ABCDEFGHIJKLM", "ABCDEFGHIJKLM"}, {"NOPQRSTUVWXYZ", "NOPQRSTUVWXYZ"},
            {"A-. $/+%B", "A-. $/+%B"},   {"shelf-c1a", "SHELF-C1A"},         {"AB#CD", ""},
            {"12,34", ""},                {"CAF\u00c9", ""}};
        for (int dpi : {203, 300}) {
            for (double points : {20.0, 22.0, 25.0, 30.0, 36.0}) {
                for (const auto &[value, expected] : values)
                    QTest::addRow("%s %gpt %ddpi", qPrintable(value), points, dpi) << value << expected << points << dpi;
            }
        }
    }

    void decodesAsItsText()
    {
        QFETCH(QString, value);
        QFETCH(QString, expected);
        QFETCH(double, points);
        QFETCH(int, dpi);
        const QStringList decoded = LabelImage::decodeCode39(barcode("*" + value + "*", points, dpi));
        QCOMPARE(decoded, expected.isEmpty() ? QStringList() : QStringList{expected});
    }

    // 25 pt: em 500 twips; every glyph advances 784/2048 em, the cell is 1540/2048 em,
    // and the bars span from 4/2048 em below the top to the cell's foot (at 1440 dpi a pixel is a twip).
    void glyphGeometryIsTheFonts()
    {
        QCOMPARE(Code39Glyphs::textWidth("*A*", 25), 3 * 784 * 500 / 2048.0);
        QCOMPARE(Code39Glyphs::lineHeight(25), 1540 * 500 / 2048.0);
        const QRectF ink = LabelImage::inkIn(barcode("*", 36, 1440, 2), 1440, {}, {0, 0, 144, 108});
        QVERIFY2(qAbs(ink.top() * 20 - (200 + 4 * 720 / 2048.0)) <= 1 && qAbs(ink.bottom() * 20 - (200 + 1540 * 720 / 2048.0)) <= 1,
                 qPrintable(QString("bars from %1 to %2 twips").arg(ink.top() * 20).arg(ink.bottom() * 20)));
    }
};

QTEST_MAIN(TestBarcode)
#include "tst_barcode.moc"
