#pragma once

#include "PdfGlyphCache.h"
#include "PdfSyntax.h"

#include <QHash>
#include <QList>

// The fonts of one PDF file: Type 3 fonts whose glyphs come from the
// process's glyph cache, each glyph given a single-byte code in the order it
// is first used, a new font every 255 glyphs.
class PdfType3Fonts {
public:
    struct Code {
        int font = -1; // the font's index among the file's fonts
        int code = 0;
    };

    // The code of glyph `glyph` of `face`, which stands for `codePoint`; the
    // glyph joins the face's current font when it has no code yet. The glyph
    // cache's mutex is held.
    Code code(PdfGlyphCache::Face *face, quint32 glyph, char32_t codePoint);

    // The name the page's resources give font `font`: "/F1" for the first.
    static QByteArray resourceName(int font);

    // Writes every font with its glyphs, descriptor and character map;
    // returns the font resource entries ("/F1 9 0 R ...").
    QByteArray write(PdfSyntax::ObjectWriter &w) const;

private:
    struct Font {
        PdfGlyphCache::Face *face = nullptr;
        QList<quint32> glyphs;   // by code - 1
        QList<char32_t> unicode; // by code - 1
    };
    struct FaceCodes {
        int current = -1; // the font new glyphs of the face join
        QHash<quint32, Code> codes;
    };

    static int writeFont(PdfSyntax::ObjectWriter &w, const Font &font);

    QList<Font> m_fonts;
    QHash<PdfGlyphCache::Face *, FaceCodes> m_faces;
};
