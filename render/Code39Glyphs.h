#pragma once

#include "Code39Elements.h"
#include "Code39Font.h"

#include <QPointF>
#include <QString>

class QPainter;

// The barcode font "Free 3 of 9", drawn by the device itself because the font
// is rarely installed, in the font's own geometry (Code39Font) with its bars
// and spaces on the printer's dots as Code39Elements lays them.
namespace Code39Glyphs {

// The layouts print a barcode as text in this font.
inline const QString kFontName = QStringLiteral("Free 3 of 9");

bool isBarcodeFont(const QString &fontName);

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
