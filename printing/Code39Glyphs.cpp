#include "Code39Glyphs.h"

#include <QHash>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <optional>

namespace Code39Glyphs {

namespace {

// Bar/space patterns of the 44 Code 39 characters (ISO/IEC 16388): bar,
// space, bar, ... bar; 1 is a wide element, 0 a narrow one.
const QHash<QChar, const char *> &patterns()
{
    static const QHash<QChar, const char *> table = {
        {'0', "000110100"}, {'1', "100100001"}, {'2', "001100001"}, {'3', "101100000"},
        {'4', "000110001"}, {'5', "100110000"}, {'6', "001110000"}, {'7', "000100101"},
        {'8', "100100100"}, {'9', "001100100"}, {'A', "100001001"}, {'B', "001001001"},
        {'C', "101001000"}, {'D', "000011001"}, {'E', "100011000"}, {'F', "001011000"},
        {'G', "000001101"}, {'H', "100001100"}, {'I', "001001100"}, {'J', "000011100"},
        {'K', "100000011"}, {'L', "001000011"}, {'M', "101000010"}, {'N', "000010011"},
        {'O', "100010010"}, {'P', "001010010"}, {'Q', "000000111"}, {'R', "100000110"},
        {'S', "001000110"}, {'T', "000010110"}, {'U', "110000001"}, {'V', "011000001"},
        {'W', "111000000"}, {'X', "010010001"}, {'Y', "110010000"}, {'Z', "011010000"},
        {'-', "010000101"}, {'.', "110000100"}, {' ', "011000100"}, {'*', "010010100"},
        {'$', "010101000"}, {'/', "010100010"}, {'+', "010001010"}, {'%', "000101010"},
    };
    return table;
}

const char *rawPattern(QChar c)
{
    // Lowercase letters print their capitals' bars, so a scanner reads capitals.
    if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
        c = QChar(c.unicode() - 'a' + 'A');
    return patterns().value(c, nullptr);
}


} // namespace

QString undrawable(const QString &text)
{
    QString missing;
    for (char32_t c : text.toUcs4()) {
        const QString character = QString::fromUcs4(&c, 1);
        if ((c > 0xFFFF || !rawPattern(QChar(char16_t(c)))) && !missing.contains(character))
            missing += character;
    }
    return missing;
}

namespace {

struct ElementDots {
    int narrowBar, wideBar, narrowSpace, wideSpace;
};

// Whole-dot widths for the elements. Bars of 1.6 dots would print as 1 or 2
// dots at random and no longer scan, so every element of one kind gets the
// same whole number of dots, nearest to the font's own. Bars and spaces may
// differ by a dot (as printers' bar-width adjustment does) so that a glyph
// still fits its advance. Wide elements stay 2.2 to 3 times the narrow ones
// (at worst 2 to 3), and the gap after a glyph stays one to three narrow
// spaces (at worst five) and under half a glyph, as scanners expect.
ElementDots elementDots(double idealNarrow, double idealWide, double advance)
{
    const int available = int(std::floor(advance));
    const int most = int(std::ceil(idealNarrow)) + 1;
    struct Limits {
        double minRatio;
        int maxGapNarrows;
    };
    for (const Limits limits : {Limits{2.2, 3}, Limits{2.0, 5}}) {
        std::optional<ElementDots> best;
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
                        const double error = std::max({std::abs(nb / idealNarrow - 1), std::abs(ns / idealNarrow - 1),
                                                       std::abs(wb / idealWide - 1), std::abs(ws / idealWide - 1)});
                        if (!best || error < bestError) {
                            best = ElementDots{nb, wb, ns, ws};
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

} // namespace

bool isBarcodeFont(const QString &fontName)
{
    return fontName == kFontName;
}

QString pattern(QChar c)
{
    const char *raw = rawPattern(c);
    if (!raw)
        return {};
    QString result;
    for (const char *p = raw; *p; ++p)
        result.append(*p == '1' ? QLatin1Char('w') : QLatin1Char('n'));
    return result;
}

double textWidth(const QString &text, double points)
{
    return double(text.size()) * kAdvance * twipsPerUnit(points);
}

double lineHeight(double points)
{
    return kAscent * twipsPerUnit(points);
}

void draw(QPainter &painter, QPointF topLeft, double points, const QString &text, double dotTwips)
{
    const double unit = twipsPerUnit(points);
    const double barTop = topLeft.y() + (kAscent - kBarHeight) * unit;
    const double barHeight = kBarHeight * unit;

    // Widths of narrow and wide bars [0] and spaces [1].
    double narrow[2] = {kNarrow * unit, kNarrow * unit};
    double wide[2] = {kWide * unit, kWide * unit};
    if (dotTwips > 0) {
        const ElementDots dots = elementDots(kNarrow * unit / dotTwips, kWide * unit / dotTwips, kAdvance * unit / dotTwips);
        narrow[0] = dots.narrowBar * dotTwips;
        wide[0] = dots.wideBar * dotTwips;
        narrow[1] = dots.narrowSpace * dotTwips;
        wide[1] = dots.wideSpace * dotTwips;
    }
    auto toGrid = [dotTwips](double x) { return dotTwips > 0 ? std::round(x / dotTwips) * dotTwips : x; };

    for (qsizetype i = 0; i < text.size(); ++i) {
        const char *raw = rawPattern(text[i]);
        if (!raw)
            continue; // the font's blank glyph
        double x = toGrid(topLeft.x() + double(i) * kAdvance * unit);
        for (int element = 0; raw[element]; ++element) {
            const int isSpace = element % 2;
            const double width = raw[element] == '1' ? wide[isSpace] : narrow[isSpace];
            if (!isSpace)
                painter.fillRect(QRectF(x, barTop, width, barHeight), Qt::black);
            x += width;
        }
    }
}

} // namespace Code39Glyphs
