#pragma once

#include "PrintJob.h"

#include <QFont>
#include <QPen>

class QRawFont;

// Fonts on the label, measured in twips (a font of P points is 20 x P twips
// tall), so the same metrics hold on every device the renderer paints on.
//
// Text is placed as the label printer's graphics device places it: the top of
// the character cell where the layout says, the baseline one cell ascent
// below, each glyph one advance width after the last (no pair kerning).
namespace LabelFonts {

// Makes "Tahoma" available where only its files are (Debian's fonts-wine
// keeps them outside fontconfig's folders). Needs a QGuiApplication.
void ensureInstalled();

// The QFont of a text: pixel size in twips, no hinting, no kerning.
QFont font(const FontSpec &spec);

// Qt draws characters that no installed font has with a "box" font of its
// own: a font with no family (asking QRawFont for it dereferences an empty
// list), no pixel size (-1) and an em as large as the text, whose glyphs are
// the empty boxes.
bool isMissingGlyphBox(const QRawFont &face);

// The family of a face; "MissingGlyphBox" for Qt's box font.
QString familyName(const QRawFont &face);

// What a face is known by in the caches of its metrics and glyphs: family,
// style name, weight and style, so that every size of a face, and every font
// name that resolves to it, shares one entry.
QString faceKey(const QRawFont &face);

// The character cell of a face, in ems: the font file's own usWinAscent and
// usWinDescent (OS/2 table) over its units per em (head table), whatever
// other ascent the font or the platform prefers. Falls back to the face's
// ascent and descent as Qt reports them when the tables are missing.
struct Cell {
    double ascent = 0;
    double descent = 0;
};
Cell cell(const QRawFont &face);

// Cell top to baseline, and the line advance of Print (the cell's height:
// ascent plus descent), in twips, for the face the text prints with.
double ascent(const FontSpec &spec);
double lineHeight(const FontSpec &spec);

// Some bold faces are the regular face's outlines with bold advance widths
// (Debian's Tahoma Bold is): printed as they are, bold looks like regular.
// For such a face this is the width, in ems, of the pen that strokes each
// outline on top of filling it, which widens every stem by that much, centred
// on the glyph so the advance widths stay the bold face's (stems about 1.7
// times the regular's). 0 for a face printed as
// it is: a regular face, or a bold face whose stems are heavier than the
// regular's.
double emboldening(const QRawFont &face);

// The pen of a glyph's added weight: its outline, filled and then stroked
// with this pen (`width` wide, mitred corners), is the emboldened glyph.
QPen emboldeningPen(double width, const QColor &colour);

// Its miter limit, in pen widths from the corner (Qt's measure); PDF's
// measure, the miter's length over the pen's width, is twice this.
inline constexpr double kEmboldeningMiterLimit = 2;

} // namespace LabelFonts
