#include "LabelPdfDevice.h"

#include "LabelFonts.h"

#include <QHash>
#include <QIODevice>
#include <QMutex>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPainter>
#include <QRawFont>
#include <QGlyphRun>
#include <QTextItem>
#include <QTextLayout>

#include <charconv>
#include <cmath>
#include <deque>
#include <memory>

namespace {

// ---------------------------------------------------------------------------
// Writing PDF syntax

// Appends a number with at most `decimals` decimals, without trailing zeros.
void putNumber(QByteArray &out, double value, int decimals = 2)
{
    if (!std::isfinite(value))
        value = 0;
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    char *end = result.ptr;
    if (decimals > 0) {
        while (end[-1] == '0')
            --end;
        if (end[-1] == '.')
            --end;
    }
    if (end - buffer == 2 && buffer[0] == '-' && buffer[1] == '0')
        out += '0';
    else
        out.append(buffer, end - buffer);
}

void putNumbers(QByteArray &out, std::initializer_list<double> values, int decimals = 2)
{
    for (double value : values) {
        putNumber(out, value, decimals);
        out += ' ';
    }
}

void putHexByte(QByteArray &out, int byte)
{
    static const char digits[] = "0123456789ABCDEF";
    out += digits[(byte >> 4) & 15];
    out += digits[byte & 15];
}

// A PDF text string: UTF-16BE with a byte order mark, in hex.
QByteArray textString(const QString &text)
{
    QByteArray out = "<FEFF";
    for (QChar c : text) {
        putHexByte(out, c.unicode() >> 8);
        putHexByte(out, c.unicode() & 0xff);
    }
    out += '>';
    return out;
}

// Flate data for a /FlateDecode stream: qCompress's zlib stream without the
// 4-byte length qCompress puts in front of it.
QByteArray deflate(const QByteArray &data)
{
    return qCompress(data).mid(4);
}

void putPath(QByteArray &out, const QPainterPath &path, double yScale, int decimals)
{
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element &e = path.elementAt(i);
        switch (e.type) {
        case QPainterPath::MoveToElement:
            if (i > 0)
                out += "h ";
            putNumbers(out, {e.x, yScale * e.y}, decimals);
            out += "m ";
            break;
        case QPainterPath::LineToElement:
            putNumbers(out, {e.x, yScale * e.y}, decimals);
            out += "l ";
            break;
        case QPainterPath::CurveToElement: {
            const QPainterPath::Element &c2 = path.elementAt(i + 1);
            const QPainterPath::Element &to = path.elementAt(i + 2);
            putNumbers(out, {e.x, yScale * e.y, c2.x, yScale * c2.y, to.x, yScale * to.y}, decimals);
            out += "c ";
            i += 2;
            break;
        }
        case QPainterPath::CurveToDataElement:
            break; // consumed with its curve
        }
    }
}

// ---------------------------------------------------------------------------
// Glyph outlines, kept for the whole process

// Glyph space: 1000 units per em, y up from the baseline.
constexpr double kGlyphEm = 1000;

struct Glyph {
    double advance = 0;
    QRect box;           // ink bounds in glyph space
    QByteArray procData; // the compressed glyph procedure
};

// The size of a run's font in the layout's pixels. Qt's box font of missing
// glyphs has none; it is drawn like any other font, its em as large as the text.
double pixelSizeOf(const QRawFont &raw)
{
    return LabelFonts::isMissingGlyphBox(raw) ? raw.unitsPerEm() : raw.pixelSize();
}

class Face {
public:
    explicit Face(const QRawFont &raw) : m_raw(raw)
    {
        // The character cell the text was placed by.
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

    const Glyph &glyph(quint32 index)
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
            const QRectF bounds = path.boundingRect().adjusted(-m_emboldening / 2, -m_emboldening / 2,
                                                               m_emboldening / 2, m_emboldening / 2);
            glyph.box = QRect(QPoint(int(std::floor(bounds.left())), int(std::floor(-bounds.bottom()))),
                              QPoint(int(std::ceil(bounds.right())), int(std::ceil(-bounds.top()))));
            proc += " 0 ";
            putNumbers(proc, {double(glyph.box.left()), double(glyph.box.top()), double(glyph.box.right()),
                              double(glyph.box.bottom())}, 0);
            proc += "d1\n";
            if (m_emboldening > 0) {
                putNumber(proc, m_emboldening, 1);
                proc += " w 0 j ";
                putNumber(proc, 2 * LabelFonts::kEmboldeningMiterLimit);
                proc += " M\n";
            }
            putPath(proc, path, -1, 0);
            const bool evenOdd = path.fillRule() == Qt::OddEvenFill;
            if (m_emboldening > 0)
                proc += evenOdd ? "h B*\n" : "h B\n";
            else
                proc += evenOdd ? "h f*\n" : "h f\n";
        }
        glyph.procData = deflate(proc);
        return *m_glyphs.insert(index, glyph);
    }

    double ascent = 0, descent = 0, capHeight = 0;
    QByteArray baseName;

private:
    QRawFont m_raw; // at kGlyphEm pixels
    double m_emboldening = 0; // width of the pen that emboldens the outlines, 0 for none
    QHash<quint32, Glyph> m_glyphs;
};

// Faces by family, style and weight of the font Qt resolved, so that every
// size of a face, and every name that resolves to it, shares its glyphs.
class FaceCache {
public:
    static FaceCache &instance()
    {
        static FaceCache cache;
        return cache;
    }

    QMutex mutex;

    // The face of a font Qt resolved, at any size.
    Face *face(QRawFont raw)
    {
        raw.setPixelSize(kGlyphEm);
        const QString faceKey = LabelFonts::faceKey(raw);
        Face *face = m_byFace.value(faceKey);
        if (!face) {
            m_faces.push_back(std::make_unique<Face>(raw));
            face = m_faces.back().get();
            m_byFace.insert(faceKey, face);
        }
        return face;
    }

private:
    std::deque<std::unique_ptr<Face>> m_faces;
    QHash<QString, Face *> m_byFace;
};

// ---------------------------------------------------------------------------
// One file's fonts: single-byte codes given to glyphs in the order they are
// first used, a new font object every 255 glyphs.

// Code 0 of every font is a blank glyph half an em wide that no text uses.
// Text extractors cannot tell the scale of a Type 3 font's glyphs and guess
// it from the first code that has a width, taking it for half an em; with
// this glyph first the guess is exact, so extracted words get the font's
// real size and their boxes the real cell height.
constexpr int kScaleGlyphCode = 0;
constexpr double kScaleGlyphWidth = kGlyphEm / 2;
constexpr int kCodesPerFont = 256;

struct DocFont {
    Face *face = nullptr;
    QList<quint32> glyphs;   // code - 1
    QList<char32_t> unicode; // code - 1
};

struct CodeOf {
    int font = -1; // index into the file's fonts
    int code = 0;
};

class DocFonts {
public:
    CodeOf code(Face *face, quint32 glyph, char32_t codePoint)
    {
        FaceCodes &codes = m_faces[face];
        auto found = codes.codes.constFind(glyph);
        if (found != codes.codes.constEnd())
            return *found;
        if (codes.current < 0 || fonts[codes.current].glyphs.size() + 1 >= kCodesPerFont) {
            fonts.append(DocFont{face, {}, {}});
            codes.current = int(fonts.size() - 1);
        }
        DocFont &font = fonts[codes.current];
        font.glyphs.append(glyph);
        font.unicode.append(codePoint);
        const CodeOf result{codes.current, int(font.glyphs.size())};
        codes.codes.insert(glyph, result);
        return result;
    }

    QList<DocFont> fonts;

private:
    struct FaceCodes {
        int current = -1;
        QHash<quint32, CodeOf> codes;
    };
    QHash<Face *, FaceCodes> m_faces;
};

// Compressed images, kept for a few files: a batch prints the same picture
// on label after label.
class ImageCache {
public:
    static ImageCache &instance()
    {
        static ImageCache cache;
        return cache;
    }

    QByteArray data(const QImage &image)
    {
        for (const auto &[key, bytes] : m_entries) {
            if (key == image.cacheKey())
                return bytes;
        }
        QByteArray bytes = deflate(rgbBytes(image));
        m_entries.push_front({image.cacheKey(), bytes});
        if (m_entries.size() > kKept)
            m_entries.pop_back();
        return bytes;
    }

    QMutex mutex;

private:
    static constexpr size_t kKept = 8;

    static QByteArray rgbBytes(const QImage &image)
    {
        QImage rgb;
        if (image.hasAlphaChannel()) {
            rgb = QImage(image.size(), QImage::Format_RGB888);
            rgb.fill(Qt::white);
            QPainter painter(&rgb);
            painter.drawImage(0, 0, image);
        } else {
            rgb = image.convertToFormat(QImage::Format_RGB888);
        }
        QByteArray bytes;
        const qsizetype rowBytes = qsizetype(rgb.width()) * 3;
        bytes.reserve(rowBytes * rgb.height());
        for (int y = 0; y < rgb.height(); ++y)
            bytes.append(reinterpret_cast<const char *>(rgb.constScanLine(y)), rowBytes);
        return bytes;
    }

    std::deque<std::pair<qint64, QByteArray>> m_entries;
};

QByteArray colourOperands(const QColor &colour)
{
    QByteArray out;
    const QColor rgb = colour.toRgb();
    if (rgb.red() == rgb.green() && rgb.green() == rgb.blue()) {
        putNumber(out, rgb.redF(), 3);
        out += ' ';
    } else {
        putNumbers(out, {rgb.redF(), rgb.greenF(), rgb.blueF()}, 3);
    }
    return out;
}

} // namespace

// ---------------------------------------------------------------------------
// The engine

class LabelPdfEngine : public QPaintEngine {
public:
    explicit LabelPdfEngine(QIODevice *out)
        : QPaintEngine(PaintEngineFeatures(AllFeatures)
                       & ~PaintEngineFeatures(PorterDuff | PerspectiveTransform | ObjectBoundingModeGradients
                                              | LinearGradientFill | RadialGradientFill | ConicalGradientFill
                                              | PatternBrush | PatternTransform | BlendModes | RasterOpModes))
        , m_out(out)
    {
    }

    QString title;
    QString creator;
    int copies = 1;

    bool begin(QPaintDevice *) override
    {
        if (m_used || !m_out || !m_out->isWritable())
            return false;
        m_used = true;
        // Twips, y down from the top-left corner, to points.
        m_content = "0.05 0 0 -0.05 0 144 cm\n";
        setActive(true);
        return true;
    }

    bool end() override
    {
        setActive(false);
        const QByteArray pdf = document();
        return m_out->write(pdf) == pdf.size();
    }

    Type type() const override { return User; }

    void updateState(const QPaintEngineState &state) override
    {
        const DirtyFlags flags = state.state();
        if (flags & DirtyPen)
            m_pen = state.pen();
        if (flags & DirtyBrush)
            m_brush = state.brush();
        if (flags & DirtyTransform)
            m_transform = state.transform();
    }

    void drawRects(const QRectF *rects, int count) override
    {
        const Paint paint = paintOf(false);
        if (paint == Paint::None)
            return;
        beginOp();
        setPaintState(paint);
        for (int i = 0; i < count; ++i) {
            const QRectF r = rects[i];
            putNumbers(m_content, {r.x(), r.y(), r.width(), r.height()});
            m_content += "re\n";
        }
        m_content += paintOperator(paint, false);
        endOp();
    }

    void drawRects(const QRect *rects, int count) override
    {
        for (int i = 0; i < count; ++i) {
            const QRectF r(rects[i]);
            drawRects(&r, 1);
        }
    }

    void drawPath(const QPainterPath &path) override
    {
        const Paint paint = paintOf(false);
        if (paint == Paint::None || path.isEmpty())
            return;
        beginOp();
        setPaintState(paint);
        putPath(m_content, path, 1, 2);
        if (paint != Paint::Stroke)
            m_content += "h ";
        m_content += paintOperator(paint, path.fillRule() == Qt::OddEvenFill);
        endOp();
    }

    void drawPolygon(const QPointF *points, int count, PolygonDrawMode mode) override
    {
        if (count < 2)
            return;
        const bool polyline = mode == PolylineMode;
        const Paint paint = paintOf(polyline);
        if (paint == Paint::None)
            return;
        beginOp();
        setPaintState(paint);
        for (int i = 0; i < count; ++i) {
            putNumbers(m_content, {points[i].x(), points[i].y()});
            m_content += i == 0 ? "m " : "l ";
        }
        if (!polyline)
            m_content += "h ";
        m_content += paintOperator(paint, mode == OddEvenMode);
        endOp();
    }

    void drawPolygon(const QPoint *points, int count, PolygonDrawMode mode) override
    {
        QList<QPointF> converted;
        converted.reserve(count);
        for (int i = 0; i < count; ++i)
            converted.append(points[i]);
        drawPolygon(converted.constData(), count, mode);
    }

    void drawPixmap(const QRectF &r, const QPixmap &pixmap, const QRectF &sr) override
    {
        drawImage(r, pixmap.toImage(), sr, Qt::AutoColor);
    }

    void drawImage(const QRectF &r, const QImage &image, const QRectF &sr, Qt::ImageConversionFlags) override
    {
        if (image.isNull() || r.isEmpty())
            return;
        const QRect whole = image.rect();
        const QRect part = sr.toAlignedRect().intersected(whole);
        if (part.isEmpty())
            return;
        const QImage shown = part == whole ? image : image.copy(part);
        int number = -1;
        for (qsizetype i = 0; i < m_images.size(); ++i) {
            if (m_images[i].cacheKey() == shown.cacheKey())
                number = int(i);
        }
        if (number < 0) {
            m_images.append(shown);
            number = int(m_images.size() - 1);
        }
        m_content += "q ";
        if (!m_transform.isIdentity())
            putTransform(m_transform);
        // The image's unit square, first row at the top.
        putNumbers(m_content, {r.width(), 0, 0, -r.height(), r.x(), r.y() + r.height()});
        m_content += "cm /Im" + QByteArray::number(number + 1) + " Do Q\n";
    }

    void drawTextItem(const QPointF &p, const QTextItem &item) override
    {
        if (m_pen.style() == Qt::NoPen)
            return;
        const QString text = item.text();
        if (text.isEmpty())
            return;
        const QFont font = item.font();

        // The glyphs come from Qt's own layout of the text, so fonts standing
        // in for missing characters are as Qt draws them on any other device.
        // Each glyph advances by its own width: the renderer's fonts ask for
        // no kerning, and the label printer applies none.
        QTextLayout layout(text, font);
        layout.setCacheEnabled(true);
        layout.beginLayout();
        QTextLine line = layout.createLine();
        layout.endLayout();
        if (!line.isValid())
            return;
        const QList<QGlyphRun> runs = line.glyphRuns();
        const QList<uint> codePoints = text.toUcs4();
        QMutexLocker locker(&FaceCache::instance().mutex);
        if (runs.size() != 1 || runs[0].glyphIndexes().size() != codePoints.size()) {
            drawGlyphByGlyph(p, text, line);
            return;
        }
        const QGlyphRun &run = runs[0];
        Face *face = FaceCache::instance().face(run.rawFont());
        const double em = pixelSizeOf(run.rawFont());
        const QList<quint32> glyphs = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        const QPointF origin = p + QPointF(positions[0].x(), positions[0].y() - line.ascent());

        beginOp();
        setTextColour(m_pen.color());
        m_content += "BT\n";
        int currentFont = -1;
        bool inArray = false, inString = false;
        auto closeArray = [&] {
            if (inString)
                m_content += '>';
            if (inArray)
                m_content += "] TJ\n";
            inArray = inString = false;
        };
        for (qsizetype i = 0; i < glyphs.size(); ++i) {
            face->glyph(glyphs[i]); // converted once, kept for the process
            const CodeOf code = m_fonts.code(face, glyphs[i], codePoints[i]);
            if (code.font != currentFont) {
                closeArray();
                m_content += "/F" + QByteArray::number(code.font + 1) + " 1 Tf\n";
                if (currentFont < 0) {
                    // Glyph space is y up; the page's user space is y down.
                    putNumbers(m_content, {em, 0, 0, -em, origin.x(), origin.y()}, 3);
                    m_content += "Tm\n";
                }
                currentFont = code.font;
            }
            if (!inArray) {
                m_content += '[';
                inArray = true;
            }
            if (!inString) {
                m_content += '<';
                inString = true;
            }
            putHexByte(m_content, code.code);
        }
        closeArray();
        m_content += "ET\n";
        endOp();
    }

private:
    // Text laid out in several fonts, or not one glyph per character: each
    // glyph placed on its own, from the font and at the position the layout
    // gives it. FaceCache's mutex is held.
    void drawGlyphByGlyph(const QPointF &p, const QString &text, const QTextLine &line)
    {
        beginOp();
        setTextColour(m_pen.color());
        m_content += "BT\n";
        for (qsizetype i = 0; i < text.size();) {
            const qsizetype length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
            const char32_t codePoint = QStringView(text).mid(i, length).toUcs4().value(0);
            for (const QGlyphRun &run : line.glyphRuns(int(i), int(length))) {
                Face *face = FaceCache::instance().face(run.rawFont());
                const double em = pixelSizeOf(run.rawFont());
                const QList<quint32> indexes = run.glyphIndexes();
                const QList<QPointF> positions = run.positions();
                for (qsizetype g = 0; g < indexes.size(); ++g) {
                    face->glyph(indexes[g]);
                    const CodeOf code = m_fonts.code(face, indexes[g], codePoint);
                    m_content += "/F" + QByteArray::number(code.font + 1) + " 1 Tf ";
                    putNumbers(m_content, {em, 0, 0, -em, p.x() + positions[g].x(),
                                           p.y() + positions[g].y() - line.ascent()}, 3);
                    m_content += "Tm <";
                    putHexByte(m_content, code.code);
                    m_content += "> Tj\n";
                }
            }
            i += length;
        }
        m_content += "ET\n";
        endOp();
    }

    enum class Paint { None, Fill, Stroke, FillStroke };

    Paint paintOf(bool strokeOnly) const
    {
        const bool fill = !strokeOnly && m_brush.style() != Qt::NoBrush;
        const bool stroke = m_pen.style() != Qt::NoPen;
        if (fill && stroke)
            return Paint::FillStroke;
        if (fill)
            return Paint::Fill;
        return stroke ? Paint::Stroke : Paint::None;
    }

    static QByteArray paintOperator(Paint paint, bool evenOdd)
    {
        switch (paint) {
        case Paint::Fill:
            return evenOdd ? "f*\n" : "f\n";
        case Paint::Stroke:
            return "S\n";
        case Paint::FillStroke:
            return evenOdd ? "B*\n" : "B\n";
        case Paint::None:
            break;
        }
        return "n\n";
    }

    void putTransform(const QTransform &t)
    {
        putNumbers(m_content, {t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy()}, 4);
        m_content += "cm\n";
    }

    // Drawing under a transform goes between q and Q; the state set inside is
    // lost at Q.
    void beginOp()
    {
        if (m_transform.isIdentity())
            return;
        m_content += "q ";
        putTransform(m_transform);
        m_grouped = true;
    }

    void endOp()
    {
        if (!m_grouped)
            return;
        m_content += "Q\n";
        m_grouped = false;
        m_state = {};
    }

    void setFill(const QColor &colour) { setColour(m_state.fill, colour, "g\n", "rg\n"); }
    void setStroke(const QColor &colour) { setColour(m_state.stroke, colour, "G\n", "RG\n"); }

    // Sets the fill or stroke colour (`current`) unless it is already in
    // force: a grey with the grey operator, any other colour with the RGB one.
    void setColour(qint64 &current, const QColor &colour, const char *greyOperator, const char *rgbOperator)
    {
        const QRgb rgb = colour.rgb();
        if (current == qint64(rgb))
            return;
        current = rgb;
        const QByteArray operands = colourOperands(colour);
        m_content += operands + (operands.count(' ') == 1 ? greyOperator : rgbOperator);
    }

    // Text is filled, and the glyphs of an emboldened face also stroked, in
    // the pen's colour.
    void setTextColour(const QColor &colour)
    {
        setFill(colour);
        setStroke(colour);
    }

    void setPaintState(Paint paint)
    {
        if (paint == Paint::Fill || paint == Paint::FillStroke)
            setFill(m_brush.color());
        if (paint == Paint::Stroke || paint == Paint::FillStroke) {
            setStroke(m_pen.color());
            const double width = m_pen.widthF();
            if (m_state.width != width) {
                m_state.width = width;
                putNumber(m_content, width, 3);
                m_content += " w\n";
            }
            const int join = m_pen.joinStyle() == Qt::RoundJoin ? 1 : m_pen.joinStyle() == Qt::BevelJoin ? 2 : 0;
            const int cap = m_pen.capStyle() == Qt::RoundCap ? 1 : m_pen.capStyle() == Qt::SquareCap ? 2 : 0;
            if (m_state.join != join) {
                m_state.join = join;
                m_content += QByteArray::number(join) + " j\n";
            }
            if (m_state.cap != cap) {
                m_state.cap = cap;
                m_content += QByteArray::number(cap) + " J\n";
            }
            if (join == 0 && m_state.miter != m_pen.miterLimit()) {
                m_state.miter = m_pen.miterLimit();
                putNumber(m_content, std::max(1.0, m_state.miter));
                m_content += " M\n";
            }
        }
    }

    // ----- the file

    struct Writer {
        QByteArray pdf;
        QList<qint64> offsets{0};

        int reserve() { return int((offsets.append(0), offsets.size() - 1)); }
        void begin(int object)
        {
            offsets[object] = pdf.size();
            pdf += QByteArray::number(object) + " 0 obj\n";
        }
        void end() { pdf += "endobj\n"; }
        void stream(int object, const QByteArray &dictionaryEntries, const QByteArray &data)
        {
            begin(object);
            pdf += "<< " + dictionaryEntries + " /Length " + QByteArray::number(data.size()) + " >>\nstream\n";
            pdf += data;
            pdf += "\nendstream\n";
            end();
        }
        static QByteArray ref(int object) { return QByteArray::number(object) + " 0 R"; }
    };

    QByteArray document()
    {
        Writer w;
        w.pdf = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
        const int catalog = w.reserve();
        const int pages = w.reserve();
        const int info = w.reserve();
        const int content = w.reserve();
        const int resources = w.reserve();
        QList<int> pageObjects;
        for (int i = 0; i < std::max(1, copies); ++i)
            pageObjects.append(w.reserve());

        w.begin(catalog);
        w.pdf += "<< /Type /Catalog /Pages " + Writer::ref(pages) + " >>\n";
        w.end();

        w.begin(pages);
        w.pdf += "<< /Type /Pages /Count " + QByteArray::number(pageObjects.size()) + " /Kids [";
        for (int page : pageObjects)
            w.pdf += Writer::ref(page) + ' ';
        w.pdf += "] >>\n";
        w.end();

        w.begin(info);
        w.pdf += "<< /Title " + textString(title) + " /Creator " + textString(creator) + " /Producer "
               + textString(creator) + " >>\n";
        w.end();

        w.stream(content, "/Filter /FlateDecode", deflate(m_content));

        for (int page : pageObjects) {
            w.begin(page);
            w.pdf += "<< /Type /Page /Parent " + Writer::ref(pages) + " /MediaBox [0 0 " + QByteArray::number(LabelPdfDevice::kWidthTwips / 20) + ' '
                   + QByteArray::number(LabelPdfDevice::kHeightTwips / 20) + "] /Resources "
                   + Writer::ref(resources) + " /Contents " + Writer::ref(content) + " >>\n";
            w.end();
        }

        QByteArray fontEntries, imageEntries;
        {
            QMutexLocker locker(&FaceCache::instance().mutex);
            for (qsizetype i = 0; i < m_fonts.fonts.size(); ++i)
                fontEntries += "/F" + QByteArray::number(i + 1) + ' ' + Writer::ref(writeFont(w, m_fonts.fonts[i])) + ' ';
        }
        for (qsizetype i = 0; i < m_images.size(); ++i) {
            const QImage &image = m_images[i];
            QByteArray data;
            {
                QMutexLocker locker(&ImageCache::instance().mutex);
                data = ImageCache::instance().data(image);
            }
            const int object = w.reserve();
            w.stream(object,
                     "/Type /XObject /Subtype /Image /Width " + QByteArray::number(image.width()) + " /Height "
                         + QByteArray::number(image.height())
                         + " /ColorSpace /DeviceRGB /BitsPerComponent 8 /Filter /FlateDecode",
                     data);
            imageEntries += "/Im" + QByteArray::number(i + 1) + ' ' + Writer::ref(object) + ' ';
        }

        w.begin(resources);
        w.pdf += "<< /ProcSet [/PDF /Text /ImageC] /Font << " + fontEntries + ">> /XObject << " + imageEntries
               + ">> >>\n";
        w.end();

        const qint64 xref = w.pdf.size();
        w.pdf += "xref\n0 " + QByteArray::number(w.offsets.size()) + "\n0000000000 65535 f \n";
        for (qsizetype i = 1; i < w.offsets.size(); ++i)
            w.pdf += QByteArray::number(w.offsets[i]).rightJustified(10, '0') + " 00000 n \n";
        w.pdf += "trailer\n<< /Size " + QByteArray::number(w.offsets.size()) + " /Root " + Writer::ref(catalog)
               + " /Info " + Writer::ref(info) + " >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
        return w.pdf;
    }

    // Writes one Type 3 font and its glyphs; returns the font's object.
    static int writeFont(Writer &w, const DocFont &font)
    {
        const int fontObject = w.reserve();
        const int descriptor = w.reserve();
        const int toUnicode = w.reserve();
        const int scaleGlyph = w.reserve();
        w.stream(scaleGlyph, {}, QByteArray::number(kScaleGlyphWidth) + " 0 0 0 0 0 d1");

        QByteArray widths, differences, procs;
        putNumber(widths, kScaleGlyphWidth);
        differences = QByteArray::number(kScaleGlyphCode) + " /ref";
        procs = "/ref " + Writer::ref(scaleGlyph);
        QRect bounds;
        for (qsizetype i = 0; i < font.glyphs.size(); ++i) {
            const Glyph &glyph = font.face->glyph(font.glyphs[i]);
            const int object = w.reserve();
            w.stream(object, "/Filter /FlateDecode", glyph.procData);
            const QByteArray name = "/g" + QByteArray::number(font.glyphs[i]);
            widths += ' ';
            putNumber(widths, glyph.advance);
            differences += ' ' + name;
            procs += ' ' + name + ' ' + Writer::ref(object);
            bounds |= glyph.box;
        }
        const QByteArray box = '[' + QByteArray::number(bounds.left()) + ' ' + QByteArray::number(bounds.top())
                             + ' ' + QByteArray::number(bounds.right()) + ' ' + QByteArray::number(bounds.bottom())
                             + ']';

        w.begin(fontObject);
        w.pdf += "<< /Type /Font /Subtype /Type3 /FontBBox " + box
               + " /FontMatrix [0.001 0 0 0.001 0 0] /FirstChar 0 /LastChar "
               + QByteArray::number(font.glyphs.size()) + " /Widths [" + widths + "] /Encoding << /Type /Encoding "
               + "/Differences [" + differences + "] >> /CharProcs << " + procs + " >> /FontDescriptor "
               + Writer::ref(descriptor) + " /ToUnicode " + Writer::ref(toUnicode) + " /Resources << >> >>\n";
        w.end();

        // The cell of the font: extractors put a word's box from the
        // baseline up by the ascent and down by the descent.
        w.begin(descriptor);
        QByteArray metrics;
        putNumbers(metrics, {font.face->ascent}, 1);
        metrics += "/Descent ";
        putNumber(metrics, -font.face->descent, 1);
        metrics += " /CapHeight ";
        putNumber(metrics, font.face->capHeight, 1);
        w.pdf += "<< /Type /FontDescriptor /FontName /" + font.face->baseName + " /Flags 32 /FontBBox " + box
               + " /ItalicAngle 0 /Ascent " + metrics + " /StemV 0 >>\n";
        w.end();

        QByteArray cmap = "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                          "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                          "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
                          "1 begincodespacerange\n<00> <FF>\nendcodespacerange\n";
        for (qsizetype start = 0; start < font.unicode.size(); start += 100) {
            const qsizetype count = std::min<qsizetype>(100, font.unicode.size() - start);
            cmap += QByteArray::number(count) + " beginbfchar\n";
            for (qsizetype i = start; i < start + count; ++i) {
                cmap += '<';
                putHexByte(cmap, int(i + 1));
                cmap += "> <";
                const QString chars = QString::fromUcs4(&font.unicode[i], 1);
                for (QChar c : chars) {
                    putHexByte(cmap, c.unicode() >> 8);
                    putHexByte(cmap, c.unicode() & 0xff);
                }
                cmap += ">\n";
            }
            cmap += "endbfchar\n";
        }
        cmap += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
        w.stream(toUnicode, "/Filter /FlateDecode", deflate(cmap));
        return fontObject;
    }

    struct EmittedState {
        qint64 fill = -1;
        qint64 stroke = -1;
        double width = -1;
        int join = -1;
        int cap = -1;
        double miter = -1;
    };

    QIODevice *m_out;
    bool m_used = false;
    bool m_grouped = false;
    QPen m_pen;
    QBrush m_brush;
    QTransform m_transform;
    EmittedState m_state;
    QByteArray m_content;
    DocFonts m_fonts;
    QList<QImage> m_images;
};

// ---------------------------------------------------------------------------
// The device

LabelPdfDevice::LabelPdfDevice(QIODevice *out) : m_engine(std::make_unique<LabelPdfEngine>(out)) {}

LabelPdfDevice::~LabelPdfDevice() = default;

void LabelPdfDevice::setTitle(const QString &title)
{
    m_engine->title = title;
}

void LabelPdfDevice::setCreator(const QString &creator)
{
    m_engine->creator = creator;
}

void LabelPdfDevice::setCopies(int copies)
{
    m_engine->copies = std::max(1, copies);
}

QPaintEngine *LabelPdfDevice::paintEngine() const
{
    return m_engine.get();
}

int LabelPdfDevice::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth:
        return kWidthTwips;
    case PdmHeight:
        return kHeightTwips;
    case PdmWidthMM:
        return int(std::lround(kWidthTwips / 1440.0 * 25.4));
    case PdmHeightMM:
        return int(std::lround(kHeightTwips / 1440.0 * 25.4));
    case PdmNumColors:
        return INT_MAX;
    case PdmDepth:
        return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return 1440;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return int(devicePixelRatioFScale());
    }
    return 0;
}
