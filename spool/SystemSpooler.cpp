#include "SystemSpooler.h"

#include "Failure.h"
#include "JobRenderer.h"
#include "SystemQueue.h"

#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>

int qtCheckReady(const QString &printerName, const QPrinterInfo &info, const QPrinter &printer)
{
    if (info.state() == QPrinter::Error || info.state() == QPrinter::Aborted)
        throw Failure(QStringLiteral("reports an error and cannot print")).onPrinter(printerName);
    const QList<int> resolutions = printer.supportedResolutions();
    return resolutions.isEmpty() ? 0 : *std::max_element(resolutions.begin(), resolutions.end());
}

QStringList SystemSpooler::printerNames() const
{
    if (!SystemQueue::serverProblem().isEmpty())
        return {};
    return QPrinterInfo::availablePrinterNames();
}

QString SystemSpooler::defaultPrinterName() const
{
    if (!SystemQueue::serverProblem().isEmpty())
        return {};
    return QPrinterInfo::defaultPrinterName();
}

QString SystemSpooler::unreachableReason() const
{
    return SystemQueue::serverProblem();
}

LabelReceipt SystemSpooler::submit(const PrintJob &job)
{
    if (const QString reason = SystemQueue::serverProblem(); !reason.isEmpty())
        throw Failure(reason).onPrinter(job.printerName, false);
    const QPrinterInfo info = QPrinterInfo::printerInfo(job.printerName);
    SystemQueue queue(job.printerName);
    if (info.isNull()) {
        queue.explainMissing();
        throw Failure(QStringLiteral("is not installed")).onPrinter(job.printerName);
    }

    QPrinter printer(info, QPrinter::HighResolution);
    printer.setResolution(int(kTwipsPerInch)); // 1 device unit = 1 twip
    printer.setDocName(job.title);
    printer.setFullPage(false);
    // The printer's own media (Qt would send A4), and the origin at the
    // printable corner: the margins are the smallest the printer allows.
    const QPageSize media = info.defaultPageSize();
    if (media.isValid())
        printer.setPageSize(media);
    const QPageLayout layout = printer.pageLayout();
    printer.setPageMargins(layout.minimumMargins(), layout.units());
    // The job's own copy count, which reaches the spooler as the job's copies;
    // the page itself is sent once.
    printer.setCopyCount(job.copies);
    printer.setCollateCopies(true);

    // The printer's own dots when it says, counted from the page's edge (in
    // points, the unit printers give their margins in: inches are rounded).
    const PrinterDots dots = PrinterDots::at(
        queue.checkReady(info, printer), printer.pageLayout().paintRect(QPageLayout::Point).left() * kTwipsPerPoint);

    queue.startJob();
    QPainter painter;
    if (!painter.begin(&printer))
        throw Failure(QStringLiteral("cannot start a job")).onPrinter(job.printerName);
    LabelReceipt receipt{job.printerName, {}, job.title, JobRenderer::renderPage(painter, job, dots)};
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        throw Failure(QStringLiteral("did not accept the job")).onPrinter(job.printerName);
    queue.checkSubmitted();
    return receipt;
}
