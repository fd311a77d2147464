#include "Code39Elements.h"

#include "Code39Font.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace Code39Elements {

namespace {

// Every Code 39 character has nine elements, three of them wide.
int ruledCharacter(int narrow, int wide)
{
    return 6 * narrow + 3 * wide;
}

// The element widths the rule allows for a narrow element of n dots: wide
// from 2.2 n to 3 n (in whole numbers: 5 wide >= 11 n).
int leastWide(int narrow)
{
    return (11 * narrow + 4) / 5;
}
int mostWide(int narrow)
{
    return 3 * narrow;
}

// The smallest elements that keep the rule, with a gap of one narrow
// element: 2 and 5 dots (a ratio of 2.5, near the font's 2.69), 29 dots a
// character.
constexpr Dots kSmallestRuled{2, 5, 2, 5};
constexpr int kSmallestRuledPitch = 7 * 2 + 3 * 5;

// The font's own widths in dots at one size.
struct Ideal {
    double narrow, wide, advance;
};

Ideal idealAt(double points, const PrinterDots &dots)
{
    const double unit = Code39Font::twipsPerUnit(points);
    return {dots.dotsOf(Code39Font::kNarrow * unit), dots.dotsOf(Code39Font::kWide * unit),
            dots.dotsOf(Code39Font::kAdvance * unit)};
}

// Characters start on the dot nearest the font's pitch, so one character's
// start follows the last by the pitch rounded down or up.
int shortestStep(double advance)
{
    return int(std::floor(advance + 1e-9));
}
int longestStep(double advance)
{
    return int(std::ceil(advance - 1e-9));
}

// The rule's elements nearest the font's own that fit its pitch with their
// gap, or none.
std::optional<Dots> ruledAtFontPitch(const Ideal &ideal)
{
    std::optional<Dots> best;
    double bestError = 0;
    for (int n = 2; 7 * n + 3 * leastWide(n) <= shortestStep(ideal.advance); ++n) {
        for (int w = leastWide(n); w <= mostWide(n); ++w) {
            const int character = ruledCharacter(n, w);
            const bool gapFits = character + n <= shortestStep(ideal.advance)
                                 && 10 * (longestStep(ideal.advance) - character) <= 53 * n;
            if (!gapFits)
                continue;
            const double error = std::max(std::abs(n / ideal.narrow - 1), std::abs(w / ideal.wide - 1));
            if (!best || error < bestError) {
                best = Dots{n, w, n, w};
                bestError = error;
            }
        }
    }
    return best;
}

// Where the rule cannot be kept: whole-dot widths nearest the font's own
// within a pitch of `available` dots, so that a 1.6-dot bar does not print as
// 1 or 2 dots at random. Bars and spaces may differ by a dot (as printers'
// bar-width adjustment does) so that a glyph still fits its pitch. Wide
// elements stay 2.2 to 3 times the narrow ones (at worst 2 to 3), and the gap
// after a glyph stays one to three narrow spaces (at worst five) and under
// half a glyph.
Dots nearestWithin(const Ideal &ideal, int available)
{
    const int most = int(std::ceil(ideal.narrow)) + 1;
    struct Limits {
        double minRatio;
        int maxGapNarrows;
    };
    for (const Limits limits : {Limits{2.2, 3}, Limits{2.0, 5}}) {
        std::optional<Dots> best;
        double bestError = 0;
        for (int nb = 1; nb <= most; ++nb) {
            for (int ns = 1; ns <= most; ++ns) {
                if (nb > 2 * ns || ns > 2 * nb)
                    continue;
                for (int wb = int(std::ceil(limits.minRatio * nb)); wb <= 3 * nb; ++wb) {
                    for (int ws = int(std::ceil(limits.minRatio * ns)); ws <= 3 * ns; ++ws) {
                        // Most characters have two wide bars and one wide space;
                        // $ / + % have three wide spaces.
                        const int usual = 3 * nb + 2 * wb + 3 * ns + ws;
                        const int allSpaces = 5 * nb + ns + 3 * ws;
                        // In $ / + % every bar is narrow: their wide spaces must
                        // stay within three bars.
                        if (ws > 3 * nb || std::max(usual, allSpaces) + ns > available
                            || available - std::min(usual, allSpaces) > limits.maxGapNarrows * ns
                            || available - usual > usual / 2)
                            continue;
                        const double error = std::max({std::abs(nb / ideal.narrow - 1), std::abs(ns / ideal.narrow - 1),
                                                       std::abs(wb / ideal.wide - 1), std::abs(ws / ideal.wide - 1)});
                        if (!best || error < bestError) {
                            best = Dots{nb, wb, ns, ws};
                            bestError = error;
                        }
                    }
                }
            }
        }
        if (best)
            return *best;
    }
    return {1, 3, 1, 3}; // too small for its dots: the thinnest barcode there is
}

// The widest of one character's bars and spaces: most characters have two
// wide bars and one wide space, $ / + % three wide spaces.
int characterDots(const Dots &d)
{
    return std::max(3 * d.narrowBar + 2 * d.wideBar + 3 * d.narrowSpace + d.wideSpace,
                    5 * d.narrowBar + d.narrowSpace + 3 * d.wideSpace);
}

// Twips from x that a barcode under `plan` needs: its bars and the quiet zone after them.
double neededRoom(const Plan &plan, qsizetype characters, double x, const PrinterDots &dots)
{
    const double end = characterStart(plan, x, characters - 1, dots) + dots.twipsOf(characterDots(plan.dots));
    return end + dots.twipsOf(quietZoneDots(plan.dots.narrowBar, dots)) - x;
}

} // namespace

int quietZoneDots(int narrowDots, const PrinterDots &dots)
{
    const int tenthOfAnInch = int(std::ceil(dots.dotsOf(kTwipsPerInch / 10) - 1e-9));
    return std::max(10 * narrowDots, tenthOfAnInch);
}

Plan plan(double points, qsizetype characters, double x, double room, const PrinterDots &dots)
{
    const Ideal ideal = idealAt(points, dots);
    const double fontPitch = Code39Font::kAdvance * Code39Font::twipsPerUnit(points);
    Plan result;
    if (const std::optional<Dots> own = ruledAtFontPitch(ideal)) {
        result.dots = *own;
        result.pitch = fontPitch;
    } else {
        result.dots = kSmallestRuled;
        result.pitch = dots.twipsOf(kSmallestRuledPitch);
        result.grown = true;
    }
    if (characters == 0) {
        result.keepsRule = true;
        return result;
    }
    result.needed = neededRoom(result, characters, x, dots);
    result.keepsRule = result.needed <= room + 1e-6;
    if (result.keepsRule || !result.grown)
        return result;

    // No room to grow in full: the widest whole-dot pitch that still leaves
    // the quiet zone, or else the font's own.
    Plan narrower = result;
    for (int pitch = kSmallestRuledPitch - 1; pitch > int(std::floor(ideal.advance)); --pitch) {
        narrower.dots = nearestWithin(ideal, pitch);
        narrower.pitch = dots.twipsOf(pitch);
        if (neededRoom(narrower, characters, x, dots) <= room + 1e-6)
            return narrower;
    }
    narrower.dots = nearestWithin(ideal, shortestStep(ideal.advance));
    narrower.pitch = fontPitch;
    narrower.grown = false;
    return narrower;
}

} // namespace Code39Elements
