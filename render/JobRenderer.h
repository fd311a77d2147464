#pragma once

#include "PrintJob.h"
#include "PrinterDots.h"

class QPainter;

// A barcode of a job that will not scan as it should: it has characters
// Code 39 cannot encode (left as blank gaps, it will not scan), or it could
// not keep the element rule of Code39Elements in the room it had on its
// label (printed narrower than the rule asks, it may not scan off a thermal
// printer), or both.
struct BarcodeShortfall {
    QString text;          // as printed, with its start and stop characters
    QString unencodable;   // the characters Code 39 cannot encode, each once; empty when none
    bool narrower = false; // the element rule not kept; then:
    int dpi = 0;           // of the printer it was laid out for
    double needed = 0;     // twips from its start: its bars under the rule and the quiet zone after them
    double room = 0;       // twips from its start to what is in the way
    QString limit;         // what is in the way: "the label's edge", "the text \"FRAGILE\"", ...
    bool operator==(const BarcodeShortfall &) const = default;
};

// The one renderer: paints a job's page on any painter whose user space is
// twips from the printable corner. The printer, the PDF printer, the part
// window's preview and the tests all draw through it.
namespace JobRenderer {

// Who draws the added weight of a bold face that is the regular face's
// outlines (LabelFonts::emboldening). Most devices draw text as the font has
// it, and the renderer strokes the added weight over it; a device that draws
// text from the glyph outlines and emboldens them itself (the built-in
// printer's LabelPdfDevice) is told so by its owner, or the weight is added twice.
enum class AddedWeight { StrokedByRenderer, DrawnByDevice };

// Paints the page on the printer's dots: box outlines one dot wide, so a
// label printer shows them, and barcode bars whole dots wide under the
// element rule, each barcode as wide as it needs up to the room it has: the
// page's right edge (the painter's device) or the next thing printed on its
// row. Returns the barcodes that will not scan as they should.
QList<BarcodeShortfall> renderPage(QPainter &painter, const PrintJob &job, const PrinterDots &dots = {},
                                   AddedWeight addedWeight = AddedWeight::StrokedByRenderer);

// What renderPage reports on a page `pageWidth` twips wide, without painting.
QList<BarcodeShortfall> barcodeShortfalls(const PrintJob &job, const PrinterDots &dots, double pageWidth);

// Draws one text the way Print does: the top of the character cell at `at`.
// A barcode has all the room it needs.
void drawText(QPainter &painter, QPointF at, const FontSpec &font, const QString &text, const PrinterDots &dots = {},
              AddedWeight addedWeight = AddedWeight::StrokedByRenderer);

} // namespace JobRenderer
