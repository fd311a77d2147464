#pragma once

#include "PrintJob.h"

// The barcode font "Free 3 of 9" as its file draws it, in font units of a
// 2048-unit em (an em is 20 x points twips): the geometry the device's own
// glyphs (Code39Glyphs) and their element rule (Code39Elements) start from.
namespace Code39Font {

inline constexpr double kUnitsPerEm = 2048;
inline constexpr double kAdvance = 784; // every glyph, ink starting at the pen
inline constexpr double kNarrow = 52;
inline constexpr double kWide = 140;
inline constexpr double kBarHeight = 1536; // from the baseline up
inline constexpr double kAscent = 1540;    // cell top to baseline; descent is 0

// Twips per font unit at this size.
inline double twipsPerUnit(double points)
{
    return kTwipsPerPoint * points / kUnitsPerEm;
}

} // namespace Code39Font
