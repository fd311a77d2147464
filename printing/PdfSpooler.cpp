#include "PdfSpooler.h"

#include "DataFolder.h"
#include "Failure.h"
#include "JobRenderer.h"
#include "LabelPdfDevice.h"

#include <QBuffer>
#include <QPainter>
#include <QRegularExpression>

namespace {

constexpr int kNumberDigits = 8;

QString fileNamePart(const QString &title)
{
    QString part = title;
    part.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9 ._-]")), QStringLiteral("_"));
    return part.left(60).trimmed();
}

} // namespace

QString PdfSpooler::outputFolder()
{
    return DataFolder::file(QStringLiteral("printed"));
}

QList<BarcodeShortfall> PdfSpooler::submit(const PrintJob &job)
{
    // The label is painted once; each copy is a page showing it.
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    LabelPdfDevice device(&pdf);
    device.setTitle(job.title);
    device.setCreator(QStringLiteral("TagFoundry"));
    device.setCopies(job.copies);
    QPainter painter;
    if (!painter.begin(&device))
        throw Failure(QStringLiteral("Printer \"%1\" cannot start the label \"%2\"").arg(kPrinterName, job.title));
    // The built-in printer's pages are laid on the commonest label printer's dots.
    QList<BarcodeShortfall> shortfalls = JobRenderer::renderPage(painter, job, PrinterDots{});
    if (!painter.end())
        throw Failure(QStringLiteral("Printer \"%1\" could not finish the label \"%2\"").arg(kPrinterName, job.title));

    const QString folder = outputFolder();
    if (!m_folder || m_folderPath != folder) {
        m_folder.emplace(folder);
        m_folderPath = folder;
    }
    try {
        m_folder->add(
            [&](qint64 number) {
                return QStringLiteral("%1 %2.pdf")
                    .arg(number, kNumberDigits, 10, QLatin1Char('0'))
                    .arg(fileNamePart(job.title));
            },
            pdf.data());
    } catch (const Failure &failure) {
        throw Failure(QStringLiteral("Printer \"%1\" %2; nothing of this label was kept")
                          .arg(kPrinterName, failure.message()));
    }
    return shortfalls;
}
