#pragma once

#include <QByteArray>
#include <QHash>
#include <QMutex>
#include <QRawFont>
#include <QRect>

#include <deque>
#include <memory>

// The glyphs of the built-in printer's Type 3 fonts, converted once per
// process: a batch of a thousand labels converts the few dozen glyphs it
// uses once, and every file after the first draws from them.
namespace PdfGlyphCache {

// Glyph space: 1000 units per em, y up from the baseline.
inline constexpr double kGlyphEm = 1000;

// One glyph as a Type 3 glyph procedure.
struct Glyph {
    double advance = 0;
    QRect box;           // ink bounds in glyph space
    QByteArray procData; // the compressed glyph procedure
};

// One face of a font Qt resolved, at every size.
class Face {
public:
    explicit Face(const QRawFont &raw); // `raw` at kGlyphEm pixels

    // The glyph of index `index`, converted on first use.
    const Glyph &glyph(quint32 index);

    double ascent = 0, descent = 0, capHeight = 0; // the character cell the text was placed by, in glyph space
    QByteArray baseName;                           // the face's name as a PDF name, without its slash

private:
    QRawFont m_raw;
    double m_emboldening = 0; // width of the pen that emboldens the outlines, 0 for none
    QHash<quint32, Glyph> m_glyphs;
};

// The faces by LabelFonts::faceKey. Lock `mutex` around face() and every
// use of a face.
class Faces {
public:
    static Faces &instance();

    QMutex mutex;

    // The face of a font Qt resolved, at any size; kept for the process.
    Face *face(QRawFont raw);

private:
    std::deque<std::unique_ptr<Face>> m_faces;
    QHash<QString, Face *> m_byKey;
};

// The em of a run's font in the layout's pixels: its pixel size, or for Qt's
// box font of missing glyphs (which has none) its units per em.
double pixelSizeOf(const QRawFont &raw);

} // namespace PdfGlyphCache
