// The barcode glyphs the device draws for the font "Free 3 of 9", rendered
// at label printers' resolutions and read back by a real decoder.

#include "Code39Glyphs.h"
#include "LabelImage.h"

#include <QtTest>

namespace {

PrintJob barcodeJob(const QString &text, double points)
{
    PrintOp op;
    op.kind = PrintOp::Kind::Text;
    op.at = {250, 200};
    op.font = {Code39Glyphs::kFontName, points, false};
    op.text = text;
    PrintJob job;
    job.ops.append(op);
    return job;
}

QStringList decode(const QString &text, double points, int dpi)
{
    return LabelImage::decodeCode39(LabelImage::render(barcodeJob(text, points), dpi, 8, 1.5));
}

} // namespace

class TestBarcode : public QObject {
    Q_OBJECT
private slots:
    void everyCharacterScans_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<double>("points");
        QTest::addColumn<int>("dpi");
        // Together the values hold all 43 data characters of Code 39.
        const QList<QPair<QString, QString>> values = {
            {"0123456789", "0123456789"},
            {"ABCDEFGHIJKLM", "ABCDEFGHIJKLM"},
            {"NOPQRSTUVWXYZ", "NOPQRSTUVWXYZ"},
            {"A-. $/+%B", "A-. $/+%B"},
            {"shelf-c1a", "SHELF-C1A"}, // lowercase prints its capitals' bars
        };
        for (int dpi : {203, 300}) {
            for (double points : {20.0, 22.0, 25.0, 30.0, 36.0}) {
                for (const auto &[value, expected] : values) {
                    QTest::addRow("%s %gpt %ddpi", qPrintable(value), points, dpi)
                        << value << expected << points << dpi;
                }
            }
        }
    }

    void everyCharacterScans()
    {
        QFETCH(QString, value);
        QFETCH(QString, expected);
        QFETCH(double, points);
        QFETCH(int, dpi);
        QCOMPARE(decode("*" + value + "*", points, dpi), QStringList{expected});
    }

    void unknownCharacterNeverScansAsSomethingElse_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("hash inside") << "AB#CD";
        QTest::newRow("comma") << "12,34";
        QTest::newRow("accented letter") << QString::fromUtf8("CAF\u00c9");
    }

    void unknownCharacterNeverScansAsSomethingElse()
    {
        QFETCH(QString, value);
        for (int dpi : {203, 300}) {
            for (double points : {22.0, 25.0})
                QCOMPARE(decode("*" + value + "*", points, dpi), QStringList{});
        }
    }

    void glyphGeometryIsTheFonts()
    {
        // 25 pt: em 500 twips; every glyph advances 784/2048 em, the cell is 1540/2048 em.
        QCOMPARE(Code39Glyphs::textWidth("*A*", 25), 3 * 784 * 500 / 2048.0);
        QCOMPARE(Code39Glyphs::lineHeight(25), 1540 * 500 / 2048.0);
        // The bars of each character are the scans' to check: a wrong one
        // does not decode, or decodes as another.
    }

    void barsSitInTheCellBelowTheTop()
    {
        // At 1440 dpi one pixel is one twip: bars span top + 4/2048 em to top + 1540/2048 em.
        const QImage image = LabelImage::render(barcodeJob("*", 36), 1440, 2, 1);
        const double em = 20 * 36;
        int first = -1, last = -1;
        for (int y = 0; y < image.height(); ++y) {
            if (qGray(image.pixel(250 + 2, y)) < 128) {
                if (first < 0)
                    first = y;
                last = y;
            }
        }
        QVERIFY(qAbs(first - (200 + 4 * em / 2048)) <= 1);
        QVERIFY(qAbs(last + 1 - (200 + 1540 * em / 2048)) <= 1);
    }
};

QTEST_MAIN(TestBarcode)
#include "tst_barcode.moc"
