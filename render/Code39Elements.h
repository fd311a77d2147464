#pragma once

#include "PrinterDots.h"

#include <QtGlobal>

// How the bars and spaces of a Code 39 barcode lie on a printer's dots.
//
// A thermal label printer moves every bar edge: at a dark setting each dot
// bleeds into its neighbours (bars grow by about a dot, spaces shrink), at a
// light one bars thin. A barcode still scans through that when it keeps the
// element rule:
// - narrow bars and narrow spaces the same whole number of dots, at least 2;
// - wide bars and wide spaces the same whole number of dots, 2.2 to 3 times
//   the narrow (Code 39 asks for 2.2 below a 0.5 mm narrow element, as all of
//   ours are);
// - a gap after each character of one narrow element at least (and at most
//   5.3, Code 39's widest for narrow elements under 0.287 mm);
// - a quiet zone on each side of 10 narrow elements and 0.1 inch at least.
// Measured with a decoder on 203-dpi rasters after every bar grew or shrank
// by a dot: 2- and 5-dot elements with a 2-dot gap read both ways; 2/4 (a
// ratio of 2.0), and 2/5 bars with 1/3 spaces, do not.
//
// The font's own widths keep the rule at 30 pt and at 300 dpi and more; the
// smaller barcodes at 203 dpi keep it only by growing wider than the font
// draws them, which a barcode may do as far as the room it has allows.
namespace Code39Elements {

// Widths in dots; bars and spaces differ only where the rule is not kept.
struct Dots {
    int narrowBar = 0, wideBar = 0, narrowSpace = 0, wideSpace = 0;
    bool operator==(const Dots &) const = default;
};

struct Plan {
    Dots dots;
    double pitch = 0;       // twips from one character's start to the next, before snapping to the dots
    bool grown = false;     // wider than the font's own, to keep the rule
    bool keepsRule = false; // the elements, the gaps and the quiet zone within the room
    double needed = 0;      // twips from the start that the rule needs: the bars and the quiet zone after them
};

// The quiet zone the rule asks for beside a barcode whose narrow element is
// `narrowDots` wide: 10 narrow elements and 0.1 inch, in whole dots.
int quietZoneDots(int narrowDots, const PrinterDots &dots);

// How `characters` characters of the font at `points`, the first starting at
// `x`, lie on `dots`, with `room` twips from x to the nearest thing printed
// right of it on its row (or the label's edge):
// - the whole-dot elements nearest the font's own that keep the rule at the
//   font's pitch, when there are any;
// - otherwise the smallest that keep it, wider than the font, when they and
//   their quiet zone fit the room;
// - otherwise, the rule broken, whole-dot elements as near the font's own as
//   the widest pitch allows that still leaves the quiet zone, or the font's
//   own pitch when none does.
Plan plan(double points, qsizetype characters, double x, double room, const PrinterDots &dots);

// Where character `i` of a barcode starting at `x` begins, on a dot's edge.
inline double characterStart(const Plan &plan, double x, qsizetype i, const PrinterDots &dots)
{
    return dots.snap(x + double(i) * plan.pitch);
}

} // namespace Code39Elements
