#pragma once

#include "PrintJob.h"

#include <QImage>
#include <QList>
#include <QRect>
#include <QString>

// A Code 39 barcode measured on a printer's raster, one pixel a dot, as a
// scanner would see it after a thermal printer's dots spread or thinned.
namespace BarcodeRaster {

struct Measure {
    QList<int> elements;    // bars and spaces of every character, 9 each, in dots, left to right
    QList<int> gaps;        // between characters
    int start = 0, end = 0; // the first dot of its first bar, the dot after its last bar
    int quietLeft = 0;      // blank dots before it on the rows of its bars, to other ink or the edge
    int quietRight = 0;     // and after it
};

// The rows of a barcode's bars on a page at `dpi` whose printable corner is
// `corner` twips from its edge, as a rectangle one dot wide at its start.
QRect barsOf(const PrintOp &barcode, int dpi, QPointF corner = {});

// The rows of the bars of a barcode whose first bar has its first ink on
// row `at`.y() at or after `at`.x(), found on the raster.
QRect barsAt(const QImage &image, QPoint at);

// The barcode of `characters` characters (start and stop included) whose
// first bar is the first ink at or after `fromX` on the rows `bars` (top and
// bottom of its bars, in dots). Empty elements when no such barcode is there.
Measure measure(const QImage &image, const QRect &bars, int fromX, int characters);

// What breaks the element rule at `dpi` (narrow bars and spaces of 2 dots at
// least, wide ones 2.2 to 3 times the narrow, gaps of a narrow element to
// 5.3, quiet zones of 10 narrow elements and 0.1 inch), or empty.
QString ruleBroken(const Measure &measure, int dpi);

// The image as dots printed or not (grey at 128 or darker prints), with every
// bar between `from` and `to` (x, dots) on the rows `rows` (and the two
// beyond either end) grown by `dots` dots at its right edge, or thinned when
// negative.
QImage withBarsChanged(const QImage &image, const QRect &rows, int from, int to, int dots);

} // namespace BarcodeRaster
