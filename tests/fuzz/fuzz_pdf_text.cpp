// The PDF device given any text in every label font, bold or not, at the
// sizes the layouts use: the file must always be produced.

#include "FuzzSetup.h"

#include "JobRenderer.h"
#include "LabelFonts.h"
#include "LabelPdfDevice.h"
#include "LabelTexts.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPainter>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    return FuzzSetup::start<QGuiApplication>(argc, argv);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(FuzzSetup::bytes(data, std::min<size_t>(size, 400)));
    PrintJob job;
    job.title = text;
    job.copies = 1 + int(size % 3);
    double y = 0;
    for (const QString &font : {LabelTexts::kTahoma, LabelTexts::kArial, LabelTexts::kBarcodeFont}) {
        for (bool bold : {false, true}) {
            PrintOp op;
            op.text = text;
            op.at = {160, y};
            op.font = {font, bold ? 10.0 : 22.0, bold};
            job.ops.append(op);
            y += 400;
        }
    }
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    LabelPdfDevice device(&out);
    device.setTitle(text);
    device.setCopies(job.copies);
    QPainter painter;
    if (!painter.begin(&device))
        std::abort();
    JobRenderer::renderPage(painter, job);
    if (!painter.end() || !out.data().startsWith("%PDF-") || !out.data().trimmed().endsWith("%%EOF"))
        std::abort();
    return 0;
}
