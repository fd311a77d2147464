#pragma once

#include "PrintJob.h"

#include <cmath>

// The dots a printer prints with, as the renderer lays bars and lines on
// them. The renderer paints in twips from the printable corner; the printer
// counts its dots from the page's own edge, which a label printer's
// unprintable border puts a fraction of a dot away (9 pt is 25.4 dots at
// 203 dpi). A bar edge between two dots prints as one dot more or less at
// random, so bars are snapped to the page's dots, not the corner's.
struct PrinterDots {
    // The commonest label printers, and the grid of the built-in PDF printer.
    static constexpr int kCommonestDpi = 203;

    double twips = kTwipsPerInch / kCommonestDpi; // one dot
    double originX = 0;                           // the page x of the printable corner, in twips

    // A printer's dots at `dpi`; the commonest when the resolution is unknown (0) or absurd.
    static PrinterDots at(int dpi, double originX = 0)
    {
        const bool known = dpi > 0 && dpi < int(kTwipsPerInch);
        return {kTwipsPerInch / (known ? dpi : kCommonestDpi), originX};
    }

    int dpi() const { return int(std::lround(kTwipsPerInch / twips)); }
    // Whole dots in twips, and twips in dots.
    double twipsOf(double dots) const { return dots * twips; }
    double dotsOf(double length) const { return length / twips; }
    // x (twips from the printable corner) moved to the nearest edge between two dots of the page.
    double snap(double x) const { return std::round((x + originX) / twips) * twips - originX; }
};
