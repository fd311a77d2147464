#pragma once

#include "PrintJob.h"

class QPainter;

// The one renderer: paints a job's page on any painter whose user space is
// twips from the printable corner. The printer, the PDF printer, the part
// window's preview and the tests all draw through it.
namespace JobRenderer {

// One printer dot of the commonest label printers (203 dpi), in twips.
inline constexpr double kDefaultDotTwips = kTwipsPerInch / 203.0;

// dotTwips: the width of one printer dot, used for box outlines so that a
// label printer shows them.
void renderPage(QPainter &painter, const PrintJob &job, double dotTwips = kDefaultDotTwips);

// Draws one text the way Print does: the top of the character cell at `at`.
void drawText(QPainter &painter, QPointF at, const FontSpec &font, const QString &text);

} // namespace JobRenderer
