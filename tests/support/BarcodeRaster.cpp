#include "BarcodeRaster.h"

#include "Code39Glyphs.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace BarcodeRaster {

namespace {

bool dark(const QImage &grey, int x, int y)
{
    return grey.constScanLine(y)[x] < 128;
}

// Lengths of alternating dark and light runs on row y from x, starting dark,
// until `count` dark runs were seen or the row ended.
QList<int> runs(const QImage &grey, int y, int x, int count, int *end)
{
    QList<int> lengths;
    int darkRuns = 0;
    while (x < grey.width() && darkRuns < count) {
        const bool isDark = dark(grey, x, y);
        int length = 0;
        while (x < grey.width() && dark(grey, x, y) == isDark) {
            ++x;
            ++length;
        }
        lengths.append(length);
        darkRuns += isDark;
    }
    *end = x;
    return lengths;
}

} // namespace

QRect barsOf(const PrintOp &barcode, int dpi, QPointF corner)
{
    const double perTwip = dpi / kTwipsPerInch, unit = Code39Font::twipsPerUnit(barcode.font.size);
    const QPointF at = barcode.at + corner;
    const int top = int(std::ceil((at.y() + (Code39Font::kAscent - Code39Font::kBarHeight) * unit) * perTwip));
    const int bottom = int(std::floor((at.y() + Code39Font::kAscent * unit) * perTwip)) - 1;
    return {int(std::floor(at.x() * perTwip)), top, 1, bottom - top + 1};
}

QRect barsAt(const QImage &image, QPoint at)
{
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    int x = at.x();
    while (x < grey.width() && !dark(grey, x, at.y()))
        ++x;
    int top = at.y(), bottom = at.y();
    while (top > 0 && dark(grey, x, top - 1))
        --top;
    while (bottom + 1 < grey.height() && dark(grey, x, bottom + 1))
        ++bottom;
    return {x, top, 1, bottom - top + 1};
}

Measure measure(const QImage &image, const QRect &bars, int fromX, int characters)
{
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    const QRect rows = bars.adjusted(0, 1, 0, -1) & grey.rect(); // clear of the bars' rounded ends
    const int y = rows.center().y();
    Measure m;
    int x = fromX;
    while (x < grey.width() && !dark(grey, x, y))
        ++x;
    m.start = x;
    const QList<int> lengths = runs(grey, y, x, 5 * characters, &m.end);
    if (lengths.size() != 10 * characters - 1)
        return {};
    for (qsizetype i = 0; i < lengths.size(); ++i) {
        if (i % 10 == 9)
            m.gaps.append(lengths[i]);
        else
            m.elements.append(lengths[i]);
    }
    m.quietLeft = m.start;
    m.quietRight = grey.width() - m.end;
    for (int row = rows.top(); row <= rows.bottom(); ++row) {
        for (int before = m.start - 1; before >= std::max(0, m.start - m.quietLeft); --before) {
            if (dark(grey, before, row)) {
                m.quietLeft = m.start - before - 1;
                break;
            }
        }
        for (int after = m.end; after < std::min(grey.width(), m.end + m.quietRight); ++after) {
            if (dark(grey, after, row)) {
                m.quietRight = after - m.end;
                break;
            }
        }
    }
    return m;
}

QString ruleBroken(const Measure &m, int dpi)
{
    if (m.elements.isEmpty())
        return QStringLiteral("no barcode of that many characters");
    // Three of every character's nine elements are wide.
    QList<int> narrow, wide;
    for (qsizetype c = 0; c < m.elements.size(); c += 9) {
        QList<int> character = m.elements.mid(c, 9);
        std::sort(character.begin(), character.end());
        narrow += character.mid(0, 6);
        wide += character.mid(6);
    }
    const auto [leastNarrow, mostNarrow] = std::minmax_element(narrow.begin(), narrow.end());
    const auto [leastWide, mostWide] = std::minmax_element(wide.begin(), wide.end());
    QStringList broken;
    if (*leastNarrow < 2)
        broken << QStringLiteral("a narrow element of %1 dot").arg(*leastNarrow);
    if (*leastNarrow != *mostNarrow || *leastWide != *mostWide)
        broken << QStringLiteral("narrow %1 to %2, wide %3 to %4 dots")
                      .arg(*leastNarrow)
                      .arg(*mostNarrow)
                      .arg(*leastWide)
                      .arg(*mostWide);
    if (*leastWide < 2.2 * *mostNarrow - 1e-9 || *mostWide > 3.0 * *leastNarrow + 1e-9)
        broken << QStringLiteral("wide:narrow %1").arg(double(*leastWide) / *mostNarrow, 0, 'f', 2);
    if (!m.gaps.isEmpty()) {
        const auto [leastGap, mostGap] = std::minmax_element(m.gaps.begin(), m.gaps.end());
        if (*leastGap < *mostNarrow || *mostGap > 5.3 * *leastNarrow)
            broken << QStringLiteral("gaps of %1 to %2 dots").arg(*leastGap).arg(*mostGap);
    }
    const int quiet = std::max(10 * *mostNarrow, int(std::ceil(dpi / 10.0)));
    if (m.quietLeft < quiet || m.quietRight < quiet)
        broken
            << QStringLiteral("quiet zones of %1 and %2 dots, %3 needed").arg(m.quietLeft).arg(m.quietRight).arg(quiet);
    return broken.join(QStringLiteral("; "));
}

QImage withBarsChanged(const QImage &image, const QRect &rows, int from, int to, int dots)
{
    // Dots are printed or not: the rendering's grey edges (the bars' ends) as the threshold makes them.
    QImage original = image.convertToFormat(QImage::Format_Grayscale8);
    for (int y = 0; y < original.height(); ++y) {
        uchar *line = original.scanLine(y);
        for (int x = 0; x < original.width(); ++x)
            line[x] = line[x] < 128 ? 0 : 255;
    }
    QImage changed = original;
    // The bars' ends too, which lie between two rows of dots.
    const QRect area = QRect(from, rows.top() - 2, to - from, rows.height() + 4) & original.rect();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        uchar *line = changed.scanLine(y);
        for (int x = area.left(); x <= area.right(); ++x) {
            const bool barEnds = dark(original, x, y) && (x + 1 >= original.width() || !dark(original, x + 1, y));
            if (!barEnds)
                continue;
            // x is a bar's last dot: grow past it, or thin it back from there.
            for (int d = 0; d < std::abs(dots); ++d) {
                const int at = dots > 0 ? x + 1 + d : x - d;
                if (at >= 0 && at < original.width())
                    line[at] = dots > 0 ? 0 : 255;
            }
        }
    }
    return changed;
}

} // namespace BarcodeRaster
