#pragma once

#include "ChildProgram.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// A print spooler of the tests' own: a private cupsd in a temporary folder,
// with its own socket and its own TCP port on 127.0.0.1, and queues that write
// PDFs through the cups-pdf backend. Nothing of the machine's own CUPS is used
// or changed, except the one configuration file cups-pdf reads for our queues
// (/etc/cups/cups-pdf-<tag>.conf), which is removed again. Every job and every
// spooled document stays in the folder until the spooler is destroyed.
//
// Needs root (cups-pdf insists on it and its configuration lives in /etc/cups)
// and the packages cups, cups-client, cups-bsd, cups-ipp-utils,
// printer-driver-cups-pdf and poppler-utils.
class PrivateCups {
public:
    // The label media of label queues: 4 by 2 inches with an unprintable
    // border (points, 72 per inch), so that a job that ignores the printable
    // corner or the default media shows it.
    static constexpr double kLabelWidth = 288, kLabelHeight = 144;
    static constexpr double kLabelLeft = 9, kLabelTop = 6, kLabelRight = 2, kLabelBottom = 2;
    // The media of the stock cups-pdf driver: A4, printable to the edges.
    static constexpr double kStockWidth = 595, kStockHeight = 842;
    enum class Media { Label, Stock };

    // One job as the spooler reports it through IPP.
    struct Job {
        int id = 0;
        QString queue;
        int copies = 1; // a job sent without the attribute prints once
        QString state;  // pending, pending-held, processing, completed, aborted, ...
        QString title;  // job-name
    };

    // extraConfig: one more cupsd.conf line (for example "MaxJobsPerPrinter 1").
    explicit PrivateCups(const QString &extraConfig = {});
    ~PrivateCups();

    // Why a private spooler cannot run here, or empty when it can.
    static QString unavailableReason();
    static bool runningAsRoot();

    // Starts cupsd and waits until it answers; false with `error` set when it does not.
    bool start(QString *error);

    // What CUPS_SERVER holds to reach it: the socket path, or 127.0.0.1:port.
    QString server(bool overTcp = false) const;
    // This process's environment with CUPS_SERVER pointing here and nothing
    // that would pick another default printer (PRINTER, LPDEST).
    QProcessEnvironment clientEnvironment(bool overTcp = false) const;

    // Runs a CUPS client program (lpadmin, cupsreject, ...) against this
    // spooler; false with `error` set when it fails.
    bool run(const QStringList &command, QString *error, QString *output = nullptr) const;
    bool addQueue(const QString &name, const QString &description, Media media, QString *error) const;

    // The jobs the spooler knows, of one queue or of all, oldest first (ipptool Get-Jobs).
    QList<Job> jobs(const QString &queue = {}) const;
    // The document of a job as the client sent it (PreserveJobFiles).
    QString spooledFile(int jobId) const;

private:
    // Ends cupsd by its process id and waits for it.
    void stop();
    QString socketPath() const { return m_dir.filePath(QStringLiteral("cups.sock")); }

    QTemporaryDir m_dir;
    QString m_extraConfig, m_tag, m_cupsPdfConf;
    int m_port = 0;
    std::unique_ptr<QProcess> m_cupsd;
};

// In a test function: skips with the reason when no private spooler can run
// here, or fails under CI=true or as root, where it must.
#define REQUIRE_PRIVATE_CUPS()                                                                                 \
    do {                                                                                                       \
        if (const QString why_ = PrivateCups::unavailableReason(); !why_.isEmpty()) {                          \
            if (qEnvironmentVariable("CI") == QLatin1String("true") || PrivateCups::runningAsRoot())           \
                QFAIL(qPrintable(QStringLiteral("private print spooler needed: ") + why_));                    \
            QSKIP(qPrintable(QStringLiteral("private print spooler not available: ") + why_));                 \
        }                                                                                                      \
    } while (false)
