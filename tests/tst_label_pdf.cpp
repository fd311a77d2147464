// The built-in printer's PDF device: files that PDF readers open, text that
// extracts exactly where the layout put it, barcodes that scan, and pages
// that look like the same job painted on an image.

#include "Code39Glyphs.h"
#include "JobRenderer.h"
#include "LabelImage.h"
#include "LabelPdfDevice.h"

#include <QPainter>
#include <QtTest>

namespace {

PrintOp text(QPointF at, const QString &name, double size, bool bold, const QString &value)
{
    PrintOp op;
    op.kind = PrintOp::Kind::Text;
    op.at = at;
    op.font = {name, size, bold};
    op.text = value;
    return op;
}

QImage picture()
{
    QImage image(48, 24, QImage::Format_RGB32);
    image.fill(QColor(0, 90, 200));
    QPainter painter(&image);
    painter.fillRect(QRect(0, 0, 24, 12), QColor(220, 30, 30));
    painter.fillRect(QRect(24, 12, 24, 12), Qt::black);
    return image;
}

PrintJob sampleJob()
{
    PrintJob job;
    job.title = "TagFoundry sample";
    job.copies = 2;
    job.ops.append(text({200, 100}, "Tahoma", 10, false, "Valve 4711"));
    job.ops.append(text({200, 420}, "Tahoma", 14, true, "FRAGILE"));
    job.ops.append(text({200, 840}, "Arial", 9, false, "Seals Ltd"));
    job.ops.append(text({2400, 840}, "Tahoma", 11, false, "\u00B0C \u20AC"));
    job.ops.append(text({2400, 100}, "Arial", 12, true, "\u0141\u00F3d\u017A"));
    // Tahoma has no \u0132 \u0133: Qt draws them from another font.
    job.ops.append(text({200, 2100}, "Tahoma", 9, false, "\u0132\u0133 AV To"));
    job.ops.append(text({200, 1300}, Code39Glyphs::kFontName, 24, false, "*TF-42*"));
    PrintOp box;
    box.kind = PrintOp::Kind::Box;
    box.at = {100, 60};
    box.to = {4200, 2800};
    job.ops.append(box);
    PrintOp image;
    image.kind = PrintOp::Kind::Picture;
    image.at = {3300, 1900};
    image.picture = picture();
    job.ops.append(image);
    return job;
}

void writePdf(const PrintJob &job, const QString &path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    LabelPdfDevice device(&file);
    device.setTitle(job.title);
    device.setCreator("TagFoundry");
    device.setCopies(job.copies);
    QPainter painter;
    QVERIFY(painter.begin(&device));
    JobRenderer::renderPage(painter, job);
    QVERIFY(painter.end());
}

struct Output {
    QString out, err;
};

Output run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished();
    return {QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

struct Word {
    QString text;
    double xMin, yMin; // points from the page's top-left
};

QList<Word> words(const QString &pdf)
{
    const QString html = run("pdftotext", {"-bbox", "-f", "1", "-l", "1", pdf, "-"}).out;
    static const QRegularExpression word(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="[\d.]+" yMax="[\d.]+">([^<]*)</word>)re");
    QList<Word> result;
    for (const auto &match : word.globalMatch(html))
        result.append({match.captured(3), match.captured(1).toDouble(), match.captured(2).toDouble()});
    return result;
}

} // namespace

class TestLabelPdf : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void fileIsWellFormed()
    {
        const QString path = dir.filePath("sample.pdf");
        writePdf(sampleJob(), path);
        const Output info = run("pdfinfo", {path});
        QVERIFY2(info.err.isEmpty(), qPrintable(info.err)); // poppler reports broken xrefs and streams here
        QVERIFY2(info.out.contains(QRegularExpression(R"(Pages:\s+2\n)")), qPrintable(info.out));
        QVERIFY2(info.out.contains("216 x 144 pts"), qPrintable(info.out));
        QVERIFY2(info.out.contains(QRegularExpression(R"(Title:\s+TagFoundry sample\n)")), qPrintable(info.out));

        // Every xref entry points at its object.
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray pdf = file.readAll();
        const qsizetype startxref = pdf.lastIndexOf("startxref\n");
        QVERIFY(startxref > 0);
        const qsizetype xref = pdf.mid(startxref + 10).split('\n').value(0).toLongLong();
        QVERIFY(pdf.mid(xref).startsWith("xref\n0 "));
        const QList<QByteArray> lines = pdf.mid(xref).split('\n');
        const int count = lines[1].split(' ').value(1).toInt();
        QVERIFY(count > 5);
        for (int object = 1; object < count; ++object) {
            const QByteArray entry = lines[2 + object];
            QCOMPARE(entry.size(), 19); // 20 bytes with the newline
            const qsizetype offset = entry.left(10).toLongLong();
            QVERIFY2(pdf.mid(offset).startsWith(QByteArray::number(object) + " 0 obj\n"),
                     qPrintable(QString("object %1 at %2").arg(object).arg(offset)));
        }
        QVERIFY2(pdf.size() < 20 * 1024, qPrintable(QString::number(pdf.size())));
    }

    void textExtractsExactlyWhereTheJobPutIt()
    {
        const PrintJob job = sampleJob();
        const QString path = dir.filePath("text.pdf");
        writePdf(job, path);
        const QList<Word> found = words(path);
        QStringList texts;
        for (const Word &w : found)
            texts.append(w.text);
        for (const PrintOp &op : job.ops) {
            if (op.kind != PrintOp::Kind::Text || Code39Glyphs::isBarcodeFont(op.font.name))
                continue;
            const QStringList parts = op.text.split(' ');
            for (const QString &part : parts)
                QVERIFY2(texts.contains(part), qPrintable(part + " not in " + texts.join('|')));
            // The first word's box starts at the top-left of the character cell.
            for (const Word &w : found) {
                if (w.text != parts.first())
                    continue;
                QVERIFY2(qAbs(w.xMin * 20 - op.at.x()) < 40, qPrintable(w.text + " x " + QString::number(w.xMin * 20)));
                QVERIFY2(qAbs(w.yMin * 20 - op.at.y()) < 40, qPrintable(w.text + " y " + QString::number(w.yMin * 20)));
            }
        }
    }

    void pagesLookLikeTheJobPaintedOnAnImage()
    {
        const PrintJob job = sampleJob();
        const QString path = dir.filePath("look.pdf");
        writePdf(job, path);
        // The file's barcode bars are whole dots of a 203 dpi printer, as are
        // the image's at 203 dpi.
        for (int dpi : {203, 300}) {
            const QList<QImage> pages = LabelImage::renderPdf(path, dpi);
            QCOMPARE(pages.size(), 2);
            QCOMPARE(LabelImage::decodeCode39(pages[1]), QStringList{"TF-42"});
            if (dpi != 203)
                continue;
            const QImage page = pages[0].convertToFormat(QImage::Format_Grayscale8);
            const QImage expected = LabelImage::render(job, dpi, 3, 2).convertToFormat(QImage::Format_Grayscale8);
            QCOMPARE(page.size(), expected.size());
            // Compared in 4 x 4 pixel cells, so that edges drawn a little
            // heavier or half a pixel apart agree and a glyph missing or out
            // of place does not.
            constexpr int cell = 4;
            auto shade = [](const QImage &image, int cx, int cy) {
                int sum = 0;
                for (int y = cy * cell; y < (cy + 1) * cell; ++y)
                    for (int x = cx * cell; x < (cx + 1) * cell; ++x)
                        sum += image.constScanLine(y)[x];
                return sum / (cell * cell);
            };
            int ink = 0, differing = 0;
            for (int cy = 0; cy < page.height() / cell; ++cy) {
                for (int cx = 0; cx < page.width() / cell; ++cx) {
                    const int a = shade(page, cx, cy), b = shade(expected, cx, cy);
                    ink += a < 192 || b < 192;
                    differing += qAbs(a - b) > 64;
                }
            }
            qInfo("%d dpi: %d of %d inked cells differ", dpi, differing, ink);
            QVERIFY(ink > page.width() * page.height() / (50 * cell * cell));
            QVERIFY2(differing < ink / 20, qPrintable(QString("%1 of %2 ink pixels differ at %3 dpi")
                                                           .arg(differing).arg(ink).arg(dpi)));
        }
    }

    void glyphsReusedAcrossFilesAndBeyondOneFontsCodes()
    {
        // More distinct characters than one single-byte font holds, twice in
        // one process: the second file draws from the glyphs the first made.
        QString all;
        for (char16_t c = 0x100; c < 0x180; ++c)
            all += QChar(c);
        for (char16_t c = 0x410; c < 0x450; ++c)
            all += QChar(c);
        for (char16_t c = 0x3B1; c <= 0x3C9; ++c)
            all += QChar(c);
        for (char16_t c = 'A'; c <= 'Z'; ++c)
            all += QString(QChar(c)) + QChar(c + 32);
        QCOMPARE(all.size(), 128 + 64 + 25 + 52); // 269 glyphs, more than 255 codes
        PrintJob job;
        job.title = "many glyphs";
        for (qsizetype i = 0; i * 30 < all.size(); ++i)
            job.ops.append(text({100, 100 + 280.0 * i}, "Tahoma", 9, false, all.mid(i * 30, 30)));

        for (const QString name : {"first.pdf", "second.pdf"}) {
            const QString path = dir.filePath(name);
            writePdf(job, path);
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QVERIFY(file.readAll().count("/Subtype /Type3") >= 2);
            QString extracted;
            for (const Word &w : words(path))
                extracted += w.text;
            qsizetype same = 0;
            while (same < all.size() && same < extracted.size() && all[same] == extracted[same])
                ++same;
            QVERIFY2(extracted == all, qPrintable(QString("%1 differs from %2 at %3: %4 | %5")
                                                      .arg(name).arg(all.size()).arg(same)
                                                      .arg(extracted.mid(same, 12), all.mid(same, 12))));
        }
    }
};

QTEST_MAIN(TestLabelPdf)
#include "tst_label_pdf.moc"
