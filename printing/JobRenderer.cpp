#include "JobRenderer.h"

#include "Code39Glyphs.h"
#include "LabelFonts.h"

#include <QPainter>

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

} // namespace

void drawText(QPainter &painter, QPointF at, const FontSpec &font, const QString &text, double dotTwips)
{
    if (Code39Glyphs::isBarcodeFont(font.name)) {
        Code39Glyphs::draw(painter, at, font.size, text, dotTwips);
        return;
    }
    painter.setFont(LabelFonts::font(font));
    painter.setPen(Qt::black);
    painter.drawText(QPointF(at.x(), at.y() + LabelFonts::ascent(font)), text);
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
