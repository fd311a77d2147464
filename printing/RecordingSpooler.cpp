#include "RecordingSpooler.h"

#include "Failure.h"

RecordingSpooler::RecordingSpooler(QStringList printers, QString defaultPrinter)
    : m_printers(std::move(printers)), m_default(std::move(defaultPrinter))
{
}

void RecordingSpooler::refuseJobs(const QString &reason, int after)
{
    m_refusal = reason;
    m_refuseAfter = after;
}

void RecordingSpooler::submit(const PrintJob &job)
{
    if (m_refuseAfter >= 0 && jobs.size() >= m_refuseAfter)
        throw Failure(QStringLiteral("Printer \"%1\" refused the job: %2").arg(job.printerName, m_refusal));
    jobs.append(job);
}
