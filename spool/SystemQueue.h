#pragma once

#include <QString>

#include <memory>

class QPrinter;
class QPrinterInfo;

// The system's own print queue behind a printer Qt lists, asked what Qt's
// printer support does not tell: whether the queue takes a job now, its
// resolution, and whether it took the job just handed over. Qt reports a
// job as ended even when the queue refused it, so SystemSpooler asks this.
//
// One implementation is built per platform: CupsQueue.cpp where CUPS is,
// WindowsQueue.cpp on Windows, QtQueue.cpp (Qt's own view only) elsewhere.
class SystemQueue {
public:
    explicit SystemQueue(const QString &printerName);
    ~SystemQueue();
    SystemQueue(const SystemQueue &) = delete;
    SystemQueue &operator=(const SystemQueue &) = delete;

    // Why the print server cannot be used, or empty when it answers (or when
    // the platform has none to ask).
    static QString serverProblem();

    // For a printer Qt does not list: throws Failure when the system can say
    // why (the queue went away, the server did); returns otherwise.
    void explainMissing() const;
    // Throws Failure unless the queue takes a job now. Returns its resolution
    // in dpi, 0 when unknown.
    int checkReady(const QPrinterInfo &info, const QPrinter &printer) const;
    // Called just before the document is painted; checkSubmitted() then
    // throws Failure when the system refused the document handed over since.
    void startJob();
    void checkSubmitted();

private:
    struct State;
    QString m_printerName;
    std::unique_ptr<State> m_state;
};

// Qt's own view of a printer: throws Failure when Qt reports it in error;
// returns the highest resolution it lists in dpi, 0 when none.
int qtCheckReady(const QString &printerName, const QPrinterInfo &info, const QPrinter &printer);
