#include "LabelPdfEngine.h"

#include "PdfGlyphCache.h"
#include "PdfSyntax.h"

#include <QGlyphRun>
#include <QIODevice>
#include <QMutexLocker>
#include <QPainterPath>
#include <QTextItem>
#include <QTextLayout>

using PdfSyntax::putHexByte;
using PdfSyntax::putNumber;
using PdfSyntax::putNumbers;

namespace {

// The operands of a colour: one grey level, or red, green and blue.
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

LabelPdfEngine::LabelPdfEngine(QIODevice *out)
    : QPaintEngine(PaintEngineFeatures(AllFeatures)
                   & ~PaintEngineFeatures(PorterDuff | PerspectiveTransform | ObjectBoundingModeGradients
                                          | LinearGradientFill | RadialGradientFill | ConicalGradientFill | PatternBrush
                                          | PatternTransform | BlendModes | RasterOpModes)),
      m_out(out)
{
}

bool LabelPdfEngine::begin(QPaintDevice *)
{
    if (m_used || !m_out || !m_out->isWritable())
        return false;
    m_used = true;
    setActive(true);
    return true;
}

bool LabelPdfEngine::end()
{
    setActive(false);
    const QByteArray pdf = LabelPdfFile::write(info, m_content, m_fonts, m_images);
    return m_out->write(pdf) == pdf.size();
}

void LabelPdfEngine::updateState(const QPaintEngineState &state)
{
    const DirtyFlags flags = state.state();
    if (flags & DirtyPen)
        m_pen = state.pen();
    if (flags & DirtyBrush)
        m_brush = state.brush();
    if (flags & DirtyTransform)
        m_transform = state.transform();
}

// ---------------------------------------------------------------------------
// Rectangles, paths and images

void LabelPdfEngine::drawRects(const QRectF *rects, int count)
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

void LabelPdfEngine::drawRects(const QRect *rects, int count)
{
    for (int i = 0; i < count; ++i) {
        const QRectF r(rects[i]);
        drawRects(&r, 1);
    }
}

void LabelPdfEngine::drawPath(const QPainterPath &path)
{
    const Paint paint = paintOf(false);
    if (paint == Paint::None || path.isEmpty())
        return;
    beginOp();
    setPaintState(paint);
    PdfSyntax::putPath(m_content, path, 1, 2);
    if (paint != Paint::Stroke)
        m_content += "h ";
    m_content += paintOperator(paint, path.fillRule() == Qt::OddEvenFill);
    endOp();
}

void LabelPdfEngine::drawPolygon(const QPointF *points, int count, PolygonDrawMode mode)
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

void LabelPdfEngine::drawPolygon(const QPoint *points, int count, PolygonDrawMode mode)
{
    QList<QPointF> converted;
    converted.reserve(count);
    for (int i = 0; i < count; ++i)
        converted.append(points[i]);
    drawPolygon(converted.constData(), count, mode);
}

void LabelPdfEngine::drawPixmap(const QRectF &r, const QPixmap &pixmap, const QRectF &sr)
{
    drawImage(r, pixmap.toImage(), sr, Qt::AutoColor);
}

void LabelPdfEngine::drawImage(const QRectF &r, const QImage &image, const QRectF &sr, Qt::ImageConversionFlags)
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
    m_content += "cm " + LabelPdfFile::imageName(number) + " Do Q\n";
}

// ---------------------------------------------------------------------------
// Text

void LabelPdfEngine::drawTextItem(const QPointF &p, const QTextItem &item)
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
    PdfGlyphCache::Faces &faces = PdfGlyphCache::Faces::instance();
    QMutexLocker locker(&faces.mutex);
    if (runs.size() != 1 || runs[0].glyphIndexes().size() != codePoints.size()) {
        drawGlyphByGlyph(p, text, line);
        return;
    }
    const QGlyphRun &run = runs[0];
    PdfGlyphCache::Face *face = faces.face(run.rawFont());
    const double em = PdfGlyphCache::pixelSizeOf(run.rawFont());
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
        const PdfType3Fonts::Code code = m_fonts.code(face, glyphs[i], codePoints[i]);
        if (code.font != currentFont) {
            closeArray();
            m_content += PdfType3Fonts::resourceName(code.font) + " 1 Tf\n";
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

// Text laid out in several fonts, or not one glyph per character: each glyph
// placed on its own, from the font and at the position the layout gives it.
// The glyph cache's mutex is held.
void LabelPdfEngine::drawGlyphByGlyph(const QPointF &p, const QString &text, const QTextLine &line)
{
    beginOp();
    setTextColour(m_pen.color());
    m_content += "BT\n";
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const char32_t codePoint = QStringView(text).mid(i, length).toUcs4().value(0);
        for (const QGlyphRun &run : line.glyphRuns(int(i), int(length))) {
            PdfGlyphCache::Face *face = PdfGlyphCache::Faces::instance().face(run.rawFont());
            const double em = PdfGlyphCache::pixelSizeOf(run.rawFont());
            const QList<quint32> indexes = run.glyphIndexes();
            const QList<QPointF> positions = run.positions();
            for (qsizetype g = 0; g < indexes.size(); ++g) {
                face->glyph(indexes[g]);
                const PdfType3Fonts::Code code = m_fonts.code(face, indexes[g], codePoint);
                m_content += PdfType3Fonts::resourceName(code.font) + " 1 Tf ";
                putNumbers(m_content,
                           {em, 0, 0, -em, p.x() + positions[g].x(), p.y() + positions[g].y() - line.ascent()}, 3);
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

// ---------------------------------------------------------------------------
// The graphics state

LabelPdfEngine::Paint LabelPdfEngine::paintOf(bool strokeOnly) const
{
    const bool fill = !strokeOnly && m_brush.style() != Qt::NoBrush;
    const bool stroke = m_pen.style() != Qt::NoPen;
    if (fill && stroke)
        return Paint::FillStroke;
    if (fill)
        return Paint::Fill;
    return stroke ? Paint::Stroke : Paint::None;
}

QByteArray LabelPdfEngine::paintOperator(Paint paint, bool evenOdd)
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

void LabelPdfEngine::putTransform(const QTransform &t)
{
    putNumbers(m_content, {t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy()}, 4);
    m_content += "cm\n";
}

// Drawing under a transform goes between q and Q; the state set inside is
// lost at Q.
void LabelPdfEngine::beginOp()
{
    if (m_transform.isIdentity())
        return;
    m_content += "q ";
    putTransform(m_transform);
    m_grouped = true;
}

void LabelPdfEngine::endOp()
{
    if (!m_grouped)
        return;
    m_content += "Q\n";
    m_grouped = false;
    m_state = {};
}

void LabelPdfEngine::setFill(const QColor &colour)
{
    setColour(m_state.fill, colour, "g\n", "rg\n");
}

void LabelPdfEngine::setStroke(const QColor &colour)
{
    setColour(m_state.stroke, colour, "G\n", "RG\n");
}

// Sets the fill or stroke colour (`current`) unless it is already in force:
// a grey with the grey operator, any other colour with the RGB one.
void LabelPdfEngine::setColour(qint64 &current, const QColor &colour, const char *greyOperator, const char *rgbOperator)
{
    const QRgb rgb = colour.rgb();
    if (current == qint64(rgb))
        return;
    current = rgb;
    const QByteArray operands = colourOperands(colour);
    m_content += operands + (operands.count(' ') == 1 ? greyOperator : rgbOperator);
}

// Text is filled, and the glyphs of an emboldened face also stroked, in the
// pen's colour.
void LabelPdfEngine::setTextColour(const QColor &colour)
{
    setFill(colour);
    setStroke(colour);
}

void LabelPdfEngine::setPaintState(Paint paint)
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
