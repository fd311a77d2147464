#include "PdfSpooler.h"

#include "DataFolder.h"
#include "Failure.h"
#include "JobRenderer.h"
#include "LabelPdfDevice.h"

#include <QDir>
#include <QFile>
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

int PdfSpooler::nextNumber(const QString &folder)
{
    // The folder is scanned once per process; after that the count runs on.
    if (m_numberedFolder != folder) {
        m_numberedFolder = folder;
        m_next = 1;
        const QStringList names = QDir(folder).entryList({QStringLiteral("*.pdf")}, QDir::Files);
        static const QRegularExpression leading(QStringLiteral("^(\\d+)"));
        for (const QString &name : names) {
            const QRegularExpressionMatch match = leading.match(name);
            if (match.hasMatch())
                m_next = std::max(m_next, match.captured(1).toInt() + 1);
        }
    }
    return m_next++;
}

void PdfSpooler::submit(const PrintJob &job)
{
    const QString folder = outputFolder();
    if (!QDir().mkpath(folder))
        throw Failure(QStringLiteral("Printer \"%1\" cannot create the folder %2").arg(kPrinterName, folder));

    QFile file;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const QString name = QStringLiteral("%1 %2.pdf")
                                 .arg(nextNumber(folder), kNumberDigits, 10, QLatin1Char('0'))
                                 .arg(fileNamePart(job.title));
        file.setFileName(QDir(folder).filePath(name));
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            break;
        if (!file.exists())
            throw Failure(QStringLiteral("Printer \"%1\" cannot write %2: %3")
                              .arg(kPrinterName, file.fileName(), file.errorString()));
    }
    if (!file.isOpen())
        throw Failure(QStringLiteral("Printer \"%1\" found no free file name in %2").arg(kPrinterName, folder));

    // The label is painted once; each copy is a page showing it.
    LabelPdfDevice device(&file);
    device.setTitle(job.title);
    device.setCreator(QStringLiteral("TagFoundry"));
    device.setCopies(job.copies);
    QPainter painter;
    if (!painter.begin(&device))
        throw Failure(QStringLiteral("Printer \"%1\" cannot start %2").arg(kPrinterName, file.fileName()));
    JobRenderer::renderPage(painter, job);
    painter.end();
    file.close();
    if (file.error() != QFileDevice::NoError)
        throw Failure(QStringLiteral("Printer \"%1\" could not finish %2: %3")
                          .arg(kPrinterName, file.fileName(), file.errorString()));
}
