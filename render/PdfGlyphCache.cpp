#include "PdfGlyphCache.h"

#include "LabelFonts.h"
#include "PdfSyntax.h"

#include <QPainterPath>

#include <cmath>

namespace PdfGlyphCache {

using PdfSyntax::putNumber;
using PdfSyntax::putNumbers;

Face::Face(const QRawFont &raw) : m_raw(raw)
{
    const LabelFonts::Cell cell = LabelFonts::cell(m_raw);
    ascent = cell.ascent * kGlyphEm;
    descent = cell.descent * kGlyphEm;
    capHeight = m_raw.capHeight();
    m_emboldening = LabelFonts::emboldening(m_raw) * kGlyphEm;
    QByteArray name;
    for (QChar c : LabelFonts::familyName(m_raw) + QLatin1Char('-') + m_raw.styleName()) {
        if (c.unicode() < 128 && (c.isLetterOrNumber() || c == QLatin1Char('-')))
            name += char(c.unicode());
    }
    baseName = name.isEmpty() ? QByteArray("Font") : name;
}

const Glyph &Face::glyph(quint32 index)
{
    auto found = m_glyphs.constFind(index);
    if (found != m_glyphs.constEnd())
        return *found;
    Glyph glyph;
    const QList<QPointF> advances = m_raw.advancesForGlyphIndexes(QList<quint32>{index}, QRawFont::UseDesignMetrics);
    glyph.advance = advances.value(0).x();
    const QPainterPath path = m_raw.pathForGlyph(index); // y down
    QByteArray proc;
    putNumber(proc, glyph.advance);
    if (path.isEmpty()) {
        proc += " 0 0 0 0 0 d1\n";
    } else {
        // A bold face drawn from the regular outlines gets its added
        // weight stroked along the outline it fills (LabelFonts).
        const QRectF bounds = path.boundingRect().adjusted(-m_emboldening / 2, -m_emboldening / 2, m_emboldening / 2,
                                                           m_emboldening / 2);
        glyph.box = QRect(QPoint(int(std::floor(bounds.left())), int(std::floor(-bounds.bottom()))),
                          QPoint(int(std::ceil(bounds.right())), int(std::ceil(-bounds.top()))));
        proc += " 0 ";
        putNumbers(
            proc,
            {double(glyph.box.left()), double(glyph.box.top()), double(glyph.box.right()), double(glyph.box.bottom())},
            0);
        proc += "d1\n";
        if (m_emboldening > 0) {
            putNumber(proc, m_emboldening, 1);
            proc += " w 0 j ";
            putNumber(proc, 2 * LabelFonts::kEmboldeningMiterLimit);
            proc += " M\n";
        }
        PdfSyntax::putPath(proc, path, -1, 0);
        const bool evenOdd = path.fillRule() == Qt::OddEvenFill;
        if (m_emboldening > 0)
            proc += evenOdd ? "h B*\n" : "h B\n";
        else
            proc += evenOdd ? "h f*\n" : "h f\n";
    }
    glyph.procData = PdfSyntax::flate(proc);
    return *m_glyphs.insert(index, glyph);
}

Faces &Faces::instance()
{
    static Faces faces;
    return faces;
}

Face *Faces::face(QRawFont raw)
{
    raw.setPixelSize(kGlyphEm);
    const QString key = LabelFonts::faceKey(raw);
    Face *face = m_byKey.value(key);
    if (!face) {
        m_faces.push_back(std::make_unique<Face>(raw));
        face = m_faces.back().get();
        m_byKey.insert(key, face);
    }
    return face;
}

double pixelSizeOf(const QRawFont &raw)
{
    return LabelFonts::isMissingGlyphBox(raw) ? raw.unitsPerEm() : raw.pixelSize();
}

} // namespace PdfGlyphCache
