#pragma once

// Why the built-in printer has a PDF device of its own instead of Qt's PDF
// writer (QPdfWriter): the writer embeds each font anew in every file, and
// to map its glyphs back to text it looks up the glyph of every code point
// of the font, for every file (half its time). The built-in printer writes
// one file per label: about 250 labels per CPU-second through the writer.
// This device converts each glyph once per process and shares it with every
// later file: about 1,800 labels per CPU-second (bench/bench_pdf).
//
// Its parts: LabelPdfEngine (the paint engine: state, rectangles, paths,
// images, text), PdfType3Fonts (one file's fonts) over PdfGlyphCache (the
// process's glyphs), LabelPdfFile (the file around the page) and PdfSyntax
// (numbers, strings, streams, objects, cross-references).

#include "PrintJob.h"

#include <QPaintDevice>
#include <QString>

#include <memory>

class QIODevice;
class LabelPdfEngine;

// A PDF file of one 4 x 2 inch label, painted in twips (1440 per inch, y
// down from the top-left corner) like every other device the renderer
// paints on. The page is painted once and repeated `copies` times.
//
// Text becomes Type 3 fonts built from the glyph outlines, and each glyph's
// outline is converted once per process and reused by every later file: a
// batch of a thousand labels converts the few dozen glyphs it uses once,
// instead of subsetting whole fonts for every file. A bold face that is the
// regular face's outlines (LabelFonts::emboldening) comes out emboldened:
// render on it with JobRenderer::AddedWeight::DrawnByDevice.
//
// What the engine draws: rectangles, paths and polygons (filled with the
// brush, outlined with the pen), images and pixmaps (as RGB images, any
// transparency flattened onto white paper) and text. Clipping, gradients,
// patterns, dashes and transparency are not drawn: labels do not use them.
//
// The file is written to `out` when the painter ends; `out` must be open for
// writing and stays open.
class LabelPdfDevice : public QPaintDevice {
public:
    // A page is the whole label, 4 by 2 inches.
    static constexpr int kWidthTwips = int(4 * kTwipsPerInch);
    static constexpr int kHeightTwips = int(2 * kTwipsPerInch);

    explicit LabelPdfDevice(QIODevice *out);
    ~LabelPdfDevice() override;

    void setTitle(const QString &title);
    void setCreator(const QString &creator);
    void setCopies(int copies); // pages in the file, each the painted page; at least 1

    QPaintEngine *paintEngine() const override;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    std::unique_ptr<LabelPdfEngine> m_engine;
};
