#include "JobRenderer.h"

#include "Code39Glyphs.h"
#include "LabelFonts.h"

#include <QGlyphRun>
#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>

#include <limits>

namespace JobRenderer {

namespace {

QColor fromColourValue(int value)
{
    // Colour values are 0x00BBGGRR.
    return QColor(value & 0xff, (value >> 8) & 0xff, (value >> 16) & 0xff);
}

void drawBox(QPainter &painter, const PrintOp &op, const PrinterDots &dots)
{
    QPen pen(fromColourValue(op.colour));
    pen.setWidthF(dots.twips);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(op.at, op.to).normalized());
}

QRectF pictureArea(const PrintOp &op)
{
    return {op.at, QSizeF(op.picture.width() * kTwipsPerPixel, op.picture.height() * kTwipsPerPixel)};
}

void drawPicture(QPainter &painter, const PrintOp &op)
{
    painter.drawImage(pictureArea(op), op.picture);
}

// What a barcode's room ends at: the label's edge, or the nearest thing
// printed right of its start across the height of its bars.
struct Room {
    double width = 0; // twips from the barcode's start
    QString limit;
};

// The area an operation prints on, as far as the room of a barcode beside
// it goes: a text from its cell's left edge down the cell's height.
QRectF areaOf(const PrintOp &op)
{
    switch (op.kind) {
    case PrintOp::Kind::Text:
        return op.text.isEmpty() ? QRectF() : QRectF(op.at, QSizeF(1, LabelFonts::lineHeight(op.font)));
    case PrintOp::Kind::Box:
        return QRectF(op.at, op.to).normalized();
    case PrintOp::Kind::Picture:
        return pictureArea(op);
    }
    return {};
}

QString describe(const PrintOp &op)
{
    switch (op.kind) {
    case PrintOp::Kind::Text:
        return QStringLiteral("the text \"%1\"").arg(op.text);
    case PrintOp::Kind::Box:
        return QStringLiteral("a box");
    case PrintOp::Kind::Picture:
        return QStringLiteral("a picture");
    }
    return {};
}

Room roomOf(const PrintJob &job, qsizetype barcode, double pageWidth)
{
    const PrintOp &code = job.ops[barcode];
    const double unit = Code39Font::twipsPerUnit(code.font.size);
    const double barsTop = code.at.y() + (Code39Font::kAscent - Code39Font::kBarHeight) * unit;
    const double barsBottom = code.at.y() + Code39Font::kAscent * unit;
    Room room{pageWidth - code.at.x(), QStringLiteral("the label's edge")};
    for (qsizetype i = 0; i < job.ops.size(); ++i) {
        const QRectF area = areaOf(job.ops[i]);
        if (i == barcode || area.isNull() || area.left() <= code.at.x() || area.top() >= barsBottom
            || area.bottom() <= barsTop)
            continue;
        if (area.left() - code.at.x() < room.width)
            room = {area.left() - code.at.x(), describe(job.ops[i])};
    }
    return room;
}

bool isBarcode(const PrintOp &op)
{
    return op.kind == PrintOp::Kind::Text && Code39Glyphs::isBarcodeFont(op.font.name);
}

// How the barcode `index` of the job lies on the dots; a shortfall is added
// to `shortfalls` when it has characters Code 39 cannot encode or cannot
// keep the element rule.
Code39Elements::Plan planBarcode(const PrintJob &job, qsizetype index, const PrinterDots &dots, double pageWidth,
                                 QList<BarcodeShortfall> &shortfalls)
{
    const PrintOp &op = job.ops[index];
    const Room room = roomOf(job, index, pageWidth);
    const Code39Elements::Plan plan = Code39Elements::plan(op.font.size, op.text.size(), op.at.x(), room.width, dots);
    BarcodeShortfall shortfall;
    shortfall.text = op.text;
    shortfall.unencodable = Code39Glyphs::undrawable(op.text);
    if (!plan.keepsRule) {
        shortfall.narrower = true;
        shortfall.dpi = dots.dpi();
        shortfall.needed = plan.needed;
        shortfall.room = room.width;
        shortfall.limit = room.limit;
    }
    if (!shortfall.unencodable.isEmpty() || shortfall.narrower)
        shortfalls.append(shortfall);
    return plan;
}

// The page's width in twips: the painter's device, as the painter maps it.
double pageWidthOf(const QPainter &painter)
{
    return painter.combinedTransform().inverted().map(QPointF(painter.device()->width(), 0)).x();
}

// Bold faces that are the regular outlines (LabelFonts::emboldening) get
// their added weight stroked over the text Qt drew, along the outlines of the
// glyphs as the text was laid out, so stand-in fonts keep their own weight.
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

void drawText(QPainter &painter, QPointF at, const FontSpec &font, const QString &text, const PrinterDots &dots,
              AddedWeight addedWeight)
{
    if (Code39Glyphs::isBarcodeFont(font.name)) {
        const double unlimited = std::numeric_limits<double>::max();
        Code39Glyphs::draw(painter, at, font.size, text,
                           Code39Elements::plan(font.size, text.size(), at.x(), unlimited, dots), dots);
        return;
    }
    const QFont qfont = LabelFonts::font(font);
    const QPointF baseline(at.x(), at.y() + LabelFonts::ascent(font));
    painter.setFont(qfont);
    painter.setPen(Qt::black);
    painter.drawText(baseline, text);
    if (font.bold && addedWeight == AddedWeight::StrokedByRenderer)
        strokeAddedWeight(painter, baseline, qfont, text);
}

QList<BarcodeShortfall> renderPage(QPainter &painter, const PrintJob &job, const PrinterDots &dots,
                                   AddedWeight addedWeight)
{
    QList<BarcodeShortfall> shortfalls;
    const double pageWidth = pageWidthOf(painter);
    for (qsizetype i = 0; i < job.ops.size(); ++i) {
        const PrintOp &op = job.ops[i];
        switch (op.kind) {
        case PrintOp::Kind::Text:
            if (isBarcode(op))
                Code39Glyphs::draw(painter, op.at, op.font.size, op.text,
                                   planBarcode(job, i, dots, pageWidth, shortfalls), dots);
            else
                drawText(painter, op.at, op.font, op.text, dots, addedWeight);
            break;
        case PrintOp::Kind::Box:
            drawBox(painter, op, dots);
            break;
        case PrintOp::Kind::Picture:
            drawPicture(painter, op);
            break;
        }
    }
    return shortfalls;
}

QList<BarcodeShortfall> barcodeShortfalls(const PrintJob &job, const PrinterDots &dots, double pageWidth)
{
    QList<BarcodeShortfall> shortfalls;
    for (qsizetype i = 0; i < job.ops.size(); ++i) {
        if (isBarcode(job.ops[i]))
            planBarcode(job, i, dots, pageWidth, shortfalls);
    }
    return shortfalls;
}

} // namespace JobRenderer
