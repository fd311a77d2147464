#include "Code39Glyphs.h"

#include <QHash>
#include <QPainter>

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
    return text.size() * kAdvance * twipsPerUnit(points);
}

double lineHeight(double points)
{
    return kAscent * twipsPerUnit(points);
}

void draw(QPainter &painter, QPointF topLeft, double points, const QString &text)
{
    const double unit = twipsPerUnit(points);
    const double barTop = topLeft.y() + (kAscent - kBarHeight) * unit;
    const double barHeight = kBarHeight * unit;
    double pen = topLeft.x();
    for (QChar c : text) {
        if (const char *raw = rawPattern(c)) {
            double x = pen;
            for (int element = 0; raw[element]; ++element) {
                const double width = (raw[element] == '1' ? kWide : kNarrow) * unit;
                if (element % 2 == 0)
                    painter.fillRect(QRectF(x, barTop, width, barHeight), Qt::black);
                x += width;
            }
        }
        pen += kAdvance * unit;
    }
}

} // namespace Code39Glyphs
