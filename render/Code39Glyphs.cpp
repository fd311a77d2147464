#include "Code39Glyphs.h"

#include <QHash>
#include <QPainter>

using namespace Code39Font;

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

bool isBarcodeFont(const QString &fontName)
{
    return fontName == kFontName;
}

double textWidth(const QString &text, double points)
{
    return double(text.size()) * kAdvance * twipsPerUnit(points);
}

double lineHeight(double points)
{
    return kAscent * twipsPerUnit(points);
}

void draw(QPainter &painter, QPointF topLeft, double points, const QString &text, const Code39Elements::Plan &plan,
          const PrinterDots &dots)
{
    const double unit = twipsPerUnit(points);
    const double barTop = topLeft.y() + (kAscent - kBarHeight) * unit;
    const double barHeight = kBarHeight * unit;
    // Widths of narrow and wide bars [0] and spaces [1].
    const double narrow[2] = {dots.twipsOf(plan.dots.narrowBar), dots.twipsOf(plan.dots.narrowSpace)};
    const double wide[2] = {dots.twipsOf(plan.dots.wideBar), dots.twipsOf(plan.dots.wideSpace)};

    for (qsizetype i = 0; i < text.size(); ++i) {
        const char *raw = rawPattern(text[i]);
        if (!raw)
            continue; // the font's blank glyph
        double x = Code39Elements::characterStart(plan, topLeft.x(), i, dots);
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
