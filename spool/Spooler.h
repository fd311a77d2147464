#pragma once

#include "Failure.h"
#include "JobRenderer.h"
#include "PrintJob.h"

#include <QStringList>

// What became of a label handed to a spooler: where it went, and the barcodes
// on it that will not scan as they should. The spoolers make it; the layouts
// and the printer hand it to their caller, which reports from it.
struct LabelReceipt {
    QString printer; // the printer it went to
    QString
        file; // the built-in printer's file of it; empty for a system queue, and while it is being written (jobs held)
    QString job; // the system queue's name for the job (its title); empty for the built-in printer
    QList<BarcodeShortfall> shortfalls;
};

// A job that failed after the submit() that handed it over had returned.
class LateFailure : public Failure {
public:
    LateFailure(const Failure &failure, qsizetype job) : Failure(failure), m_job(job) {}
    // Its place among the jobs handed over since Spooler::holdJobs(), 0 for the first.
    qsizetype job() const { return m_job; }

private:
    qsizetype m_job;
};

// Owns a set of printers and takes finished jobs for them. Implementations:
// the system's print spooler, the built-in PDF printer, and a recorder for tests.
class Spooler {
public:
    virtual ~Spooler() = default;
    // The printers' names in the spooler's own order.
    virtual QStringList printerNames() const = 0;
    // The spooler's default printer, or empty when it has none.
    virtual QString defaultPrinterName() const = 0;
    // Hands one job over; throws Failure naming the printer when it cannot.
    virtual LabelReceipt submit(const PrintJob &job) = 0;
    // Why the spooler cannot list its printers (its server is down or
    // unreachable), or empty when it can.
    virtual QString unreachableReason() const { return {}; }

    // For a run of many jobs: lets submit() return before its job is
    // finished, so the next job is made meanwhile. True when the spooler
    // does; a job that fails then is reported as a LateFailure by a later
    // submit() or by finishJobs(), and no job after it is printed.
    virtual bool holdJobs() { return false; }
    // How many of the jobs handed over since holdJobs() are finished, in order.
    virtual qsizetype jobsFinished() { return 0; }
    // Waits until every job handed over is finished, then holds no longer:
    // submit() finishes its job again before it returns. Throws the
    // LateFailure of a job that failed, also when it was thrown before.
    virtual void finishJobs() {}
};
