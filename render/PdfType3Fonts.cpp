#include "PdfType3Fonts.h"

#include <QMutexLocker>

using PdfSyntax::ObjectWriter;
using PdfSyntax::putNumber;
using PdfSyntax::putNumbers;

namespace {

// Code 0 of every font is a blank glyph half an em wide that no text uses.
// Text extractors cannot tell the scale of a Type 3 font's glyphs and guess
// it from the first code that has a width, taking it for half an em; with
// this glyph first the guess is exact, so extracted words get the font's
// real size and their boxes the real cell height.
constexpr int kScaleGlyphCode = 0;
constexpr double kScaleGlyphWidth = PdfGlyphCache::kGlyphEm / 2;
constexpr int kCodesPerFont = 256;

// The codes of the character map, each standing for one character.
QByteArray toUnicodeMap(const QList<char32_t> &unicode)
{
    QByteArray cmap = "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                      "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                      "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
                      "1 begincodespacerange\n<00> <FF>\nendcodespacerange\n";
    for (qsizetype start = 0; start < unicode.size(); start += 100) {
        const qsizetype count = std::min<qsizetype>(100, unicode.size() - start);
        cmap += QByteArray::number(count) + " beginbfchar\n";
        for (qsizetype i = start; i < start + count; ++i) {
            cmap += '<';
            PdfSyntax::putHexByte(cmap, int(i + 1));
            cmap += "> <";
            PdfSyntax::putUtf16Hex(cmap, QString::fromUcs4(&unicode[i], 1));
            cmap += ">\n";
        }
        cmap += "endbfchar\n";
    }
    cmap += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
    return cmap;
}

} // namespace

PdfType3Fonts::Code PdfType3Fonts::code(PdfGlyphCache::Face *face, quint32 glyph, char32_t codePoint)
{
    FaceCodes &codes = m_faces[face];
    auto found = codes.codes.constFind(glyph);
    if (found != codes.codes.constEnd())
        return *found;
    if (codes.current < 0 || m_fonts[codes.current].glyphs.size() + 1 >= kCodesPerFont) {
        m_fonts.append(Font{face, {}, {}});
        codes.current = int(m_fonts.size() - 1);
    }
    Font &font = m_fonts[codes.current];
    font.glyphs.append(glyph);
    font.unicode.append(codePoint);
    const Code result{codes.current, int(font.glyphs.size())};
    codes.codes.insert(glyph, result);
    return result;
}

QByteArray PdfType3Fonts::resourceName(int font)
{
    return "/F" + QByteArray::number(font + 1);
}

QByteArray PdfType3Fonts::write(ObjectWriter &w) const
{
    QByteArray entries;
    QMutexLocker locker(&PdfGlyphCache::Faces::instance().mutex);
    for (qsizetype i = 0; i < m_fonts.size(); ++i)
        entries += resourceName(int(i)) + ' ' + ObjectWriter::ref(writeFont(w, m_fonts[i])) + ' ';
    return entries;
}

// Writes one font and its glyphs; returns the font's object.
int PdfType3Fonts::writeFont(ObjectWriter &w, const Font &font)
{
    const int fontObject = w.reserve();
    const int descriptor = w.reserve();
    const int toUnicode = w.reserve();
    const int scaleGlyph = w.reserve();
    w.stream(scaleGlyph, {}, QByteArray::number(kScaleGlyphWidth) + " 0 0 0 0 0 d1");

    QByteArray widths, differences, procs;
    putNumber(widths, kScaleGlyphWidth);
    differences = QByteArray::number(kScaleGlyphCode) + " /ref";
    procs = "/ref " + ObjectWriter::ref(scaleGlyph);
    QRect bounds;
    for (qsizetype i = 0; i < font.glyphs.size(); ++i) {
        const PdfGlyphCache::Glyph &glyph = font.face->glyph(font.glyphs[i]);
        const int object = w.reserve();
        w.stream(object, "/Filter /FlateDecode", glyph.procData);
        const QByteArray name = "/g" + QByteArray::number(font.glyphs[i]);
        widths += ' ';
        putNumber(widths, glyph.advance);
        differences += ' ' + name;
        procs += ' ' + name + ' ' + ObjectWriter::ref(object);
        bounds |= glyph.box;
    }
    const QByteArray box = '[' + QByteArray::number(bounds.left()) + ' ' + QByteArray::number(bounds.top()) + ' '
                           + QByteArray::number(bounds.right()) + ' ' + QByteArray::number(bounds.bottom()) + ']';

    w.object(fontObject, "<< /Type /Font /Subtype /Type3 /FontBBox " + box
                             + " /FontMatrix [0.001 0 0 0.001 0 0] /FirstChar 0 /LastChar "
                             + QByteArray::number(font.glyphs.size()) + " /Widths [" + widths
                             + "] /Encoding << /Type /Encoding /Differences [" + differences + "] >> /CharProcs << "
                             + procs + " >> /FontDescriptor " + ObjectWriter::ref(descriptor) + " /ToUnicode "
                             + ObjectWriter::ref(toUnicode) + " /Resources << >> >>");

    // The cell of the font: extractors put a word's box from the baseline up
    // by the ascent and down by the descent.
    QByteArray metrics;
    putNumbers(metrics, {font.face->ascent}, 1);
    metrics += "/Descent ";
    putNumber(metrics, -font.face->descent, 1);
    metrics += " /CapHeight ";
    putNumber(metrics, font.face->capHeight, 1);
    w.object(descriptor, "<< /Type /FontDescriptor /FontName /" + font.face->baseName + " /Flags 32 /FontBBox " + box
                             + " /ItalicAngle 0 /Ascent " + metrics + " /StemV 0 >>");

    w.stream(toUnicode, "/Filter /FlateDecode", PdfSyntax::flate(toUnicodeMap(font.unicode)));
    return fontObject;
}
