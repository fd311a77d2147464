#include "PdfSpooler.h"

#include "DataFolder.h"
#include "Failure.h"
#include "FolderWriter.h"
#include "JobRenderer.h"
#include "LabelPdfDevice.h"

#include <QBuffer>
#include <QPainter>

namespace {

constexpr int kNumberDigits = 8;

// The title as a part of a file name: letters, digits, blanks and ". _ -"
// of ASCII kept, every other character (a pair of surrogates is one) "_".
QString fileNamePart(const QString &title)
{
    QString part;
    part.reserve(title.size());
    for (qsizetype i = 0; i < title.size(); ++i) {
        const char16_t c = title[i].unicode();
        const bool kept = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == ' '
                          || c == '.' || c == '_' || c == '-';
        part += kept ? QChar(c) : QLatin1Char('_');
        if (QChar::isHighSurrogate(c) && i + 1 < title.size() && title[i + 1].isLowSurrogate())
            ++i;
    }
    return part.left(60).trimmed();
}

QString fileName(qint64 number, const QString &label)
{
    return QStringLiteral("%1 %2.pdf").arg(number, kNumberDigits, 10, QLatin1Char('0')).arg(label);
}

// What became of the label, unless the folder said it already.
Failure notKept(Failure failure)
{
    failure.onPrinter(PdfSpooler::kPrinterName);
    return failure.consequence().isEmpty() ? failure.then(QStringLiteral("nothing of this label was kept")) : failure;
}

} // namespace

PdfSpooler::PdfSpooler() = default;
PdfSpooler::~PdfSpooler() = default;

QString PdfSpooler::outputFolder()
{
    return DataFolder::file(QStringLiteral("printed"));
}

const std::shared_ptr<NumberedFolder> &PdfSpooler::folder()
{
    const QString path = outputFolder();
    if (!m_folder || m_folderPath != path) {
        m_folder = std::make_shared<NumberedFolder>(path, fileName);
        m_folderPath = path;
    }
    return m_folder;
}

LabelReceipt PdfSpooler::submit(const PrintJob &job)
{
    if (m_writer)
        m_writer->rethrowFailure(); // an earlier label that failed stops this one before it is drawn
    // The label is painted once; each copy is a page showing it.
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    LabelPdfDevice device(&pdf);
    device.setTitle(job.title);
    device.setCreator(QStringLiteral("TagFoundry"));
    device.setCopies(job.copies);
    QPainter painter;
    if (!painter.begin(&device))
        throw Failure(QStringLiteral("cannot start the label \"%1\"").arg(job.title)).onPrinter(kPrinterName);
    // The built-in printer's pages are laid on the commonest label printer's
    // dots; its device emboldens the glyphs of bold faces itself.
    LabelReceipt receipt{kPrinterName,
                         {},
                         {},
                         JobRenderer::renderPage(painter, job, PrinterDots{}, JobRenderer::AddedWeight::DrawnByDevice)};
    if (!painter.end())
        throw Failure(QStringLiteral("could not finish the label \"%1\"").arg(job.title)).onPrinter(kPrinterName);

    NumberedFolder::File file{fileNamePart(job.title), pdf.data()};
    if (m_writer) {
        m_writer->hand(folder(), std::move(file));
        return receipt;
    }
    const NumberedFolder::Outcome outcome = folder()->add({file});
    if (outcome.failure)
        throw notKept(*outcome.failure);
    receipt.file = outcome.paths.value(0);
    return receipt;
}

bool PdfSpooler::holdJobs()
{
    if (!m_writer)
        m_writer = std::make_unique<FolderWriter>(notKept);
    return true;
}

qsizetype PdfSpooler::jobsFinished()
{
    return m_writer ? m_writer->added() : 0;
}

void PdfSpooler::finishJobs()
{
    if (!m_writer)
        return;
    const std::unique_ptr<FolderWriter> writer = std::move(m_writer);
    writer->finish();
}
