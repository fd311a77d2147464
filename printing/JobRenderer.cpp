#include "JobRenderer.h"

#include "Code39Glyphs.h"
#include "LabelFonts.h"
#include "LabelPdfDevice.h"

#include <QGlyphRun>
#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>

namespace JobRenderer {

namespace {

QColor fromColourValue(int value)
{
    // Colour values are 0x00BBGGRR.
    return QColor(value & 0xff, (value >> 8) & 0xff, (value >> 16) & 0xff);
}

void drawBox(QPainter &painter, const PrintOp &op, double dotTwips)
{
    QPen pen(fromColourValue(op.colour));
    pen.setWidthF(dotTwips);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(op.at, op.to).normalized());
}

void drawPicture(QPainter &painter, const PrintOp &op)
{
    const QSizeF natural(op.picture.width() * kTwipsPerPixel, op.picture.height() * kTwipsPerPixel);
    painter.drawImage(QRectF(op.at, natural), op.picture);
}

// Bold faces that are the regular outlines (LabelFonts::emboldening) get
// their added weight stroked over the text Qt drew, along the outlines of the
// glyphs as the text was laid out, so stand-in fonts keep their own weight.
// The built-in PDF printer's device emboldens its glyphs itself.
void strokeAddedWeight(QPainter &painter, QPointF baseline, const QFont &font, const QString &text)
{
    QTextLayout layout(text, font);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    if (!line.isValid())
        return;
    for (const QGlyphRun &run : line.glyphRuns()) {
        const QRawFont face = run.rawFont();
        const double width = LabelFonts::emboldening(face) * face.pixelSize();
        if (width <= 0)
            continue;
        const QList<quint32> glyphs = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        QPainterPath outlines;
        for (qsizetype i = 0; i < glyphs.size(); ++i) {
            const QPointF origin = baseline + QPointF(positions[i].x(), positions[i].y() - line.ascent());
            outlines.addPath(face.pathForGlyph(glyphs[i]).translated(origin));
        }
        painter.strokePath(outlines, LabelFonts::emboldeningPen(width, painter.pen().color()));
    }
}

} // namespace

void drawText(QPainter &painter, QPointF at, const FontSpec &font, const QString &text, double dotTwips)
{
    if (Code39Glyphs::isBarcodeFont(font.name)) {
        Code39Glyphs::draw(painter, at, font.size, text, dotTwips);
        return;
    }
    const QFont qfont = LabelFonts::font(font);
    const QPointF baseline(at.x(), at.y() + LabelFonts::ascent(font));
    painter.setFont(qfont);
    painter.setPen(Qt::black);
    painter.drawText(baseline, text);
    if (font.bold && !dynamic_cast<const LabelPdfDevice *>(painter.device()))
        strokeAddedWeight(painter, baseline, qfont, text);
}

void renderPage(QPainter &painter, const PrintJob &job, double dotTwips)
{
    for (const PrintOp &op : job.ops) {
        switch (op.kind) {
        case PrintOp::Kind::Text:
            drawText(painter, op.at, op.font, op.text, dotTwips);
            break;
        case PrintOp::Kind::Box:
            drawBox(painter, op, dotTwips);
            break;
        case PrintOp::Kind::Picture:
            drawPicture(painter, op);
            break;
        }
    }
}

} // namespace JobRenderer
