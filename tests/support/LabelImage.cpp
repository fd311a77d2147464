#include "LabelImage.h"

#include "ChildProgram.h"
#include "JobRenderer.h"
#include "PdfSpooler.h"

#include <QDir>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>

#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>

#include <algorithm>
#include <cmath>

namespace LabelImage {

QImage render(const PrintJob &job, int dpi, double widthInches, double heightInches,
              QList<BarcodeShortfall> *shortfalls)
{
    QImage image(int(std::ceil(widthInches * dpi)), int(std::ceil(heightInches * dpi)), QImage::Format_RGB32);
    const int dotsPerMetre = int(std::lround(dpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    image.fill(Qt::white);
    QPainter painter(&image);
    // Edges at their exact places, as a printer's rasterizer puts them.
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(dpi / kTwipsPerInch, dpi / kTwipsPerInch);
    const QList<BarcodeShortfall> found = JobRenderer::renderPage(painter, job, PrinterDots::at(dpi));
    if (shortfalls)
        *shortfalls = found;
    painter.end();
    return image;
}

namespace {

ZXing::Results readCode39(const QImage &image)
{
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::Code39).setTryHarder(true).setTryRotate(false);
    ZXing::Results results = ZXing::ReadBarcodes(
        {grey.constBits(), grey.width(), grey.height(), ZXing::ImageFormat::Lum, int(grey.bytesPerLine())}, hints);
    std::sort(results.begin(), results.end(), [](const auto &a, const auto &b) {
        return a.position().topLeft().y < b.position().topLeft().y;
    });
    std::erase_if(results, [](const ZXing::Result &result) { return !result.isValid(); });
    return results;
}

} // namespace

QList<QPoint> code39Starts(const QImage &image)
{
    QList<QPoint> starts;
    for (const ZXing::Result &result : readCode39(image)) {
        const auto &at = result.position();
        starts.append(QPoint(at.topLeft().x, (at.topLeft().y + at.bottomLeft().y) / 2));
    }
    return starts;
}

QStringList decodeCode39(const QImage &image)
{
    QStringList texts;
    for (const ZXing::Result &result : readCode39(image))
        texts.append(QString::fromStdString(result.text()));
    return texts;
}

QStringList decodeCode39WithZbar(const QImage &image)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("scan.png"));
    image.save(file);
    const ProgramRun run = runProgram(QStringLiteral("zbarimg"),
                                      {"--quiet", "--raw", "-Sdisable", "-Scode39.enable", file});
    return run.output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString printPdf(const PrintJob &job)
{
    const QString folder = PdfSpooler::outputFolder();
    const QStringList before = pdfsIn(folder);
    PdfSpooler().submit(job);
    const QStringList after = pdfsIn(folder);
    const auto added = std::ranges::find_if(after, [&](const QString &name) { return !before.contains(name); });
    return added == after.end() ? QString() : QDir(folder).filePath(*added);
}

QList<QImage> renderPdf(const QString &pdfPath, int dpi)
{
    QTemporaryDir dir;
    runProgram("pdftoppm", {"-r", QString::number(dpi), "-png", pdfPath, dir.filePath("page")});
    QList<QImage> pages;
    for (const QString &file : QDir(dir.path()).entryList({"page*.png"}, QDir::Files, QDir::Name))
        pages.append(QImage(dir.filePath(file)));
    return pages;
}

QList<std::pair<QString, QPointF>> pdfWords(const QString &pdfPath, QString *errors)
{
    const ProgramRun run = runProgram("pdftotext", {"-bbox", "-l", "1", pdfPath, "-"});
    if (errors)
        *errors = run.errors;
    static const QRegularExpression word(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)"[^>]*>([^<]*)</word>)re");
    QList<std::pair<QString, QPointF>> words;
    for (const QRegularExpressionMatch &m : word.globalMatch(run.output))
        words.append({m.captured(3), {m.captured(1).toDouble(), m.captured(2).toDouble()}});
    return words;
}

QRectF inkIn(const QImage &page, int dpi, QPointF corner, const QRectF &area)
{
    const double perPoint = dpi / 72.0;
    const QRect pixels = QRectF((area.topLeft() + corner) * perPoint, area.size() * perPoint).toAlignedRect() & page.rect();
    const QImage grey = page.convertToFormat(QImage::Format_Grayscale8);
    QRect ink;
    for (int y = pixels.top(); y <= pixels.bottom(); ++y) {
        for (int x = pixels.left(); x <= pixels.right(); ++x) {
            if (grey.constScanLine(y)[x] < 128)
                ink |= QRect(x, y, 1, 1);
        }
    }
    return ink.isEmpty() ? QRectF() : QRectF(QPointF(ink.topLeft()) / perPoint - corner, QSizeF(ink.size()) / perPoint);
}

} // namespace LabelImage
