#pragma once

#include "LabelPdfFile.h"
#include "PdfType3Fonts.h"

#include <QBrush>
#include <QPaintEngine>
#include <QPen>
#include <QTransform>

class QIODevice;
class QTextLine;

// The paint engine of LabelPdfDevice: turns what a painter draws into the
// page's content stream, in the painter's twips, and writes the file when
// the painter ends. Keeps the colours, line width, join, cap and miter limit
// in force, so each is written only when it changes.
class LabelPdfEngine : public QPaintEngine {
public:
    explicit LabelPdfEngine(QIODevice *out);

    LabelPdfFile::Info info;

    bool begin(QPaintDevice *device) override;
    bool end() override;
    Type type() const override { return User; }
    void updateState(const QPaintEngineState &state) override;

    void drawRects(const QRectF *rects, int count) override;
    void drawRects(const QRect *rects, int count) override;
    void drawPath(const QPainterPath &path) override;
    void drawPolygon(const QPointF *points, int count, PolygonDrawMode mode) override;
    void drawPolygon(const QPoint *points, int count, PolygonDrawMode mode) override;
    void drawPixmap(const QRectF &r, const QPixmap &pixmap, const QRectF &sr) override;
    void drawImage(const QRectF &r, const QImage &image, const QRectF &sr, Qt::ImageConversionFlags flags) override;
    void drawTextItem(const QPointF &p, const QTextItem &item) override;

private:
    enum class Paint { None, Fill, Stroke, FillStroke };

    // The graphics state written last; -1 for what is not known.
    struct WrittenState {
        qint64 fill = -1;
        qint64 stroke = -1;
        double width = -1;
        int join = -1;
        int cap = -1;
        double miter = -1;
    };

    void drawGlyphByGlyph(const QPointF &p, const QString &text, const QTextLine &line);

    Paint paintOf(bool strokeOnly) const;
    static QByteArray paintOperator(Paint paint, bool evenOdd);
    void putTransform(const QTransform &t);
    void beginOp();
    void endOp();
    void setFill(const QColor &colour);
    void setStroke(const QColor &colour);
    void setColour(qint64 &current, const QColor &colour, const char *greyOperator, const char *rgbOperator);
    void setTextColour(const QColor &colour);
    void setPaintState(Paint paint);

    QIODevice *m_out;
    bool m_used = false;
    bool m_grouped = false;
    QPen m_pen;
    QBrush m_brush;
    QTransform m_transform;
    WrittenState m_state;
    QByteArray m_content;
    PdfType3Fonts m_fonts;
    QList<QImage> m_images;
};
