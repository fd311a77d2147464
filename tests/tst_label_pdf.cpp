// The built-in printer's PDF device: files that PDF readers open, text that
// extracts exactly where the layout put it, barcodes that scan, pages that
// look like the same job painted on an image; and the numbered folder.

#include "ChildProgram.h"
#include "Code39Glyphs.h"
#include "LabelImage.h"
#include "NumberedFolder.h"

#include <QPainter>
#include <QtTest>

using LabelImage::textOp;

namespace {

PrintJob sampleJob()
{
    PrintJob job;
    job.title = "TagFoundry sample";
    job.copies = 2;
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
    for (qsizetype i = 0; i * 30 < all.size(); ++i)
        job.ops.append(textOp(100, 100 + 280.0 * double(i), all.mid(i * 30, 30), {"Tahoma", 9, false}));
    return job;
}

} // namespace

class TestLabelPdf : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString sample = dir.filePath("sample.pdf");

private slots:
    // The glyphs job twice in one process: the second file draws from the glyphs the first made.
    void initTestCase()
    {
        QVERIFY(LabelImage::writePdf(sampleJob(), sample));
        for (const QString name : {"first.pdf", "second.pdf"})
            QVERIFY(LabelImage::writePdf(glyphsJob(), dir.filePath(name)));
    }

    void fileIsWellFormed()
    {
        const ProgramRun info = runProgram("pdfinfo", {sample});
        QVERIFY2(info.errors.isEmpty(), qPrintable(info.errors)); // poppler reports broken xrefs and streams here
        // The whole 4 x 2 inch label, so nothing a layout places (notes at x = 3500 twips) is cut.
        for (const char *field : {R"(Title:\s+TagFoundry sample\n)", R"(Page size:\s+288 x 144 pts\n)"})
            QVERIFY2(info.output.contains(QRegularExpression(field)), qPrintable(info.output));
        // Every xref entry, 20 bytes with its line end, points at its object.
        QFile file(sample);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray pdf = file.readAll();
        const qsizetype xref = pdf.mid(pdf.lastIndexOf("startxref\n") + 10).split('\n').value(0).toLongLong();
        const QList<QByteArray> lines = pdf.mid(xref).split('\n');
        QVERIFY(lines.size() > 8 && lines[0] == "xref" && lines[1].startsWith("0 "));
        for (int object = 1; object < lines[1].split(' ').value(1).toInt(); ++object) {
            QCOMPARE(lines[2 + object].size(), 19);
            QVERIFY2(pdf.mid(lines[2 + object].left(10).toLongLong()).startsWith(QByteArray::number(object) + " 0 obj\n"),
                     qPrintable(QString("object %1").arg(object)));
        }
        QVERIFY2(pdf.size() < 20LL * 1024, qPrintable(QString::number(pdf.size())));
    }

    // Each text's first word's box starts at the top-left of its character cell,
    // within a point (a stand-in font declares its own cell); no word is lost.
    void textExtractsExactlyWhereTheJobPutIt_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<PrintJob>("job");
        QTest::newRow("sample") << sample << sampleJob();
        for (const QString name : {"first.pdf", "second.pdf"})
            QTest::newRow(qPrintable(name)) << dir.filePath(name) << glyphsJob();
    }

    void textExtractsExactlyWhereTheJobPutIt()
    {
        QFETCH(QString, file);
        QFETCH(PrintJob, job);
        const auto found = LabelImage::pdfWords(file);
        QStringList expected, extracted;
        for (const auto &[text, at] : found)
            extracted.append(text);
        for (const PrintOp &op : job.ops) {
            if (op.kind != PrintOp::Kind::Text || Code39Glyphs::isBarcodeFont(op.font.name))
                continue;
            const QStringList parts = op.text.split(' ');
            expected += parts;
            const auto w = std::find_if(found.begin(), found.end(), [&](const auto &word) { return word.first == parts[0]; });
            QVERIFY2(w != found.end(), qPrintable(parts[0]));
            const QPointF at = w->second * 20;
            QVERIFY2(qAbs(at.x() - op.at.x()) < 20 && qAbs(at.y() - op.at.y()) < 20,
                     qPrintable(QString("%1 at %2,%3").arg(w->first).arg(at.x()).arg(at.y())));
        }
        expected.sort();
        extracted.sort();
        QCOMPARE(extracted, expected);
    }

    void pagesLookLikeTheJobPaintedOnAnImage()
    {
        // A page for each copy, with a barcode that scans at both label printer resolutions.
        QList<QImage> pages;
        for (int dpi : {300, 203}) {
            pages = LabelImage::renderPdf(sample, dpi);
            QCOMPARE(pages.size(), 2);
            QCOMPARE(LabelImage::decodeCode39(pages[1]), QStringList{"TF-42"});
        }
        // Compared in 4 x 4 pixel cells (averaged by scaling down), so that edges drawn a little heavier
        // or half a pixel apart agree and a glyph missing or out of place does not.
        const QImage expected = LabelImage::render(sampleJob(), 203);
        QCOMPARE(pages[0].size(), expected.size());
        const QSize cells = expected.size() / 4;
        const QImage a = pages[0].scaled(cells, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
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

    // Numbers go on after the highest in the folder or in its counter, 64-bit, each claim the next.
    void numbersContinueAfterTheHighest()
    {
        const QList<std::tuple<QStringList, QByteArray, qint64>> rows = {
            {{}, {}, 1},                                          // empty folder
            {{"00000041 kept.pdf", "notes.pdf"}, {}, 42},         // a file put there by hand
            {{"2147483647 old.pdf"}, {}, 2147483648},             // past 32 bits
            {{"12345678901 old.pdf"}, {}, 12345678902},           // eleven digits
            {{"00000003 a.pdf"}, "17\n", 18}};                   // the counter is higher
        for (const auto &[present, counter, first] : rows) {
            QTemporaryDir folder;
            QString error;
            for (const QString &name : present)
                QVERIFY2(writeFile(folder.filePath(name), {}, &error), qPrintable(error));
            QVERIFY(counter.isNull() || writeFile(folder.filePath(".last-number"), counter, &error));
            NumberedFolder numbered(folder.path());
            const auto name = [](qint64 number) { return QString::number(number) + " label.pdf"; };
            QCOMPARE(numbered.add(name, "%PDF-1.4"), folder.filePath(name(first)));
            QCOMPARE(numbered.add(name, "%PDF-1.4"), folder.filePath(name(first + 1)));
        }
    }
};

QTEST_MAIN(TestLabelPdf)
#include "tst_label_pdf.moc"
