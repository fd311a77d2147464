#pragma once

#include "Spooler.h"

// A spooler for tests: lists the printers it is given and keeps every job.
// It can be told to refuse jobs, as a jammed or stopped queue would.
class RecordingSpooler : public Spooler {
public:
    explicit RecordingSpooler(QStringList printers = {QStringLiteral("Label Printer")},
                              QString defaultPrinter = {})
        : m_printers(std::move(printers)), m_default(std::move(defaultPrinter))
    {
    }

    QStringList printerNames() const override
    {
        ++namesListed;
        return m_printers;
    }
    QString defaultPrinterName() const override { return m_default; }
    // Keeps the job; its barcodes are laid out as on a 4-inch label at 203 dpi.
    LabelReceipt submit(const PrintJob &job) override;
    QString unreachableReason() const override { return unreachable; }

    // Refuse every job from the `after`-th submission on (0: refuse all).
    void refuseJobs(const QString &reason, int after = 0);

    // Every kept job, one line per job property and per drawing, for golden files:
    // "job 'title' to 'printer' copies 2", "text 300,80 Tahoma 20 bold 'AB-1234'",
    // "box 100,100 4000,1500 colour 0", "picture 0,0 32x32 md5 ...".
    QString jobsAsText() const;

    QList<PrintJob> jobs;
    QString unreachable;         // set: the spooler acts as a print server that is away
    mutable int namesListed = 0; // how often it was asked for its printers

private:
    QStringList m_printers;
    QString m_default;
    QString m_refusal;
    int m_refuseAfter = -1;
};
