#pragma once

#include "Code39Elements.h"

#include <QPointF>
#include <QString>

class QPainter;

// The barcode font "Free 3 of 9", drawn by the device itself because the font
// is rarely installed. Geometry is the font's own, in font units of a
// 2048-unit em (em = 20 x points twips).
namespace Code39Glyphs {

// The layouts print a barcode as text in this font.
inline const QString kFontName = QStringLiteral("Free 3 of 9");

inline constexpr double kUnitsPerEm = 2048;
inline constexpr double kAdvance = 784;   // every glyph, ink starting at the pen
inline constexpr double kNarrow = 52;
inline constexpr double kWide = 140;
inline constexpr double kBarHeight = 1536; // from the baseline up
inline constexpr double kAscent = 1540;    // cell top to baseline; descent is 0

bool isBarcodeFont(const QString &fontName);

// Twips per font unit at this size.
inline double twipsPerUnit(double points) { return 20.0 * points / kUnitsPerEm; }

// The 9 elements (bar, space, ... bar) of a character, 'w' wide and 'n'
// narrow; lowercase letters have their capitals' pattern. Empty for a
// character the font leaves blank.
QString pattern(QChar c);

// The characters of a text the font cannot draw (each once, in order of
// appearance): a barcode with one of them leaves a blank gap and cannot scan.
QString undrawable(const QString &text);

double textWidth(const QString &text, double points);
double lineHeight(double points);

// Draws the text with the top of the character cell at topLeft (twips), its
// bars and spaces as `plan` lays them on the printer's dots. Characters
// without a pattern leave the font's blank gap.
void draw(QPainter &painter, QPointF topLeft, double points, const QString &text, const Code39Elements::Plan &plan,
          const PrinterDots &dots);

} // namespace Code39Glyphs
