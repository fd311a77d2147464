#pragma once

#include "PrintJob.h"

class QPainter;

// The one renderer: paints a job's page on any painter whose user space is
// twips from the printable corner. The printer, the PDF printer, the part
// window's preview and the tests all draw through it.
namespace JobRenderer {

// One printer dot of the commonest label printers (203 dpi), in twips.
inline constexpr double kDefaultDotTwips = kTwipsPerInch / 203.0;

// dotTwips: the size of one printer dot. Box outlines are one dot wide, so a
// label printer shows them, and barcode bars are whole dots wide.
void renderPage(QPainter &painter, const PrintJob &job, double dotTwips = kDefaultDotTwips);

// Draws one text the way Print does: the top of the character cell at `at`.
void drawText(QPainter &painter, QPointF at, const FontSpec &font, const QString &text,
              double dotTwips = kDefaultDotTwips);

} // namespace JobRenderer
