#include "SystemSpooler.h"

#include "Failure.h"
#include "JobRenderer.h"

#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

QStringList SystemSpooler::printerNames() const
{
    return QPrinterInfo::availablePrinterNames();
}

QString SystemSpooler::defaultPrinterName() const
{
    return QPrinterInfo::defaultPrinterName();
}

void SystemSpooler::submit(const PrintJob &job)
{
    const QPrinterInfo info = QPrinterInfo::printerInfo(job.printerName);
    if (info.isNull())
        throw Failure(QStringLiteral("Printer \"%1\" is not installed").arg(job.printerName));

    QPrinter printer(info, QPrinter::HighResolution);
    printer.setResolution(int(kTwipsPerInch)); // 1 device unit = 1 twip
    printer.setDocName(job.title);
    printer.setFullPage(false);
    // The label's own media, not Qt's A4, and the origin at the printable corner.
    QPageLayout layout = printer.pageLayout();
    layout.setPageSize(info.defaultPageSize());
    layout.setMargins(layout.minimumMargins());
    printer.setPageLayout(layout);
    printer.setPageMargins(printer.pageLayout().minimumMargins());
    printer.setCopyCount(job.copies);
    printer.setCollateCopies(true);

    // Box outlines one printer dot wide, at the driver's resolution when it says.
    const QList<int> resolutions = printer.supportedResolutions();
    const int dpi = resolutions.isEmpty() ? 203 : *std::max_element(resolutions.begin(), resolutions.end());
    const double dot = dpi > 0 && dpi < 1440 ? kTwipsPerInch / dpi : JobRenderer::kDefaultDotTwips;

    QPainter painter;
    if (!painter.begin(&printer))
        throw Failure(QStringLiteral("Printer \"%1\" cannot start a job").arg(job.printerName));
    JobRenderer::renderPage(painter, job, dot);
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        throw Failure(QStringLiteral("Printer \"%1\" did not accept the job").arg(job.printerName));
}
