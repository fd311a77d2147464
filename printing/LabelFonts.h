#pragma once

#include "PrintJob.h"

#include <QFont>

// Fonts on the label, measured in twips (a font of P points is 20 x P twips
// tall), so the same metrics hold on every device the renderer paints on.
namespace LabelFonts {

// Makes "Tahoma" available where only its files are (Debian's fonts-wine
// keeps them outside fontconfig's folders). Needs a QGuiApplication.
void ensureInstalled();

// The QFont of a text: pixel size in twips, no hinting.
QFont font(const FontSpec &spec);

// Cell top to baseline, and the line advance of Print, in twips.
double ascent(const FontSpec &spec);
double lineHeight(const FontSpec &spec);

} // namespace LabelFonts
