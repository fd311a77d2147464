#pragma once

#include "JobRenderer.h"

#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QStringList>

// Labels as a printer would put them on paper, for tests: a job painted by the
// one renderer at a printer's resolution, and the barcodes a scanner reads.
namespace LabelImage {

// The job's page at `dpi`, white background, `widthInches` by `heightInches`,
// one pixel a printer dot; the barcodes that could not keep the element rule
// go to `shortfalls`.
QImage render(const PrintJob &job, int dpi, double widthInches = 4, double heightInches = 2,
              QList<BarcodeShortfall> *shortfalls = nullptr);

// Every Code 39 barcode zxing-cpp finds in the image, as decoded text
// (without the start and stop asterisks), top to bottom.
QStringList decodeCode39(const QImage &image);

// Where zxing-cpp found each of those barcodes: a point on its first bar.
QList<QPoint> code39Starts(const QImage &image);

// The same read by zbar (zbarimg, needs zbar-tools): a second, independent
// decoder for what zxing-cpp refuses by a rule of its own.
QStringList decodeCode39WithZbar(const QImage &image);

// A text drawing with its top-left at x,y twips.
inline PrintOp textOp(double x, double y, const QString &text, const FontSpec &font)
{
    PrintOp op;
    op.at = {x, y};
    op.text = text;
    op.font = font;
    return op;
}

// The job printed on the built-in printer, as the program prints it: the path of the PDF
// file it wrote in the data folder (construct a TestPrinting first to keep that folder apart).
QString printPdf(const PrintJob &job);

// Pages of a PDF file rendered by pdftoppm at `dpi` (needs poppler-utils).
QList<QImage> renderPdf(const QString &pdfPath, int dpi);

// The words of a PDF file's first page as pdftotext -bbox reports them, in
// reading order, each with the top-left corner of its box in points from the
// page's top-left; what poppler complained of (a broken xref or stream) goes to `errors`.
QList<std::pair<QString, QPointF>> pdfWords(const QString &pdfPath, QString *errors = nullptr);

// The bounding box of the dark pixels of `page` (rendered at `dpi`) inside
// `area`, both in points from `corner`, the printable corner of the page; an
// empty rectangle when the area holds no ink.
QRectF inkIn(const QImage &page, int dpi, QPointF corner, const QRectF &area);

} // namespace LabelImage
