#pragma once

#include <QList>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// A print spooler of the tests' own: a private cupsd in a temporary folder,
// with its own socket and its own TCP port on 127.0.0.1, and queues that write
// PDFs through the cups-pdf backend. Nothing of the machine's own CUPS is used
// or changed, except the one configuration file cups-pdf reads for our queues
// (/etc/cups/cups-pdf-<tag>.conf), which is removed again.
//
// Needs root (cups-pdf insists on it and its configuration lives in /etc/cups)
// and the packages cups, cups-client, cups-bsd, cups-ipp-utils and
// printer-driver-cups-pdf. Every job and every spooled document stays in the
// folder until the spooler is destroyed.
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
        int copies = 1; // a job sent without the attribute prints once (copies-default)
        QString state;  // pending, pending-held, processing, completed, aborted, ...
        QString title;  // job-name
    };

    // extraConfig: more cupsd.conf lines (for example "MaxJobsPerPrinter 1").
    explicit PrivateCups(QStringList extraConfig = {});
    ~PrivateCups();
    PrivateCups(const PrivateCups &) = delete;
    PrivateCups &operator=(const PrivateCups &) = delete;

    // Why a private spooler cannot run here, or empty when it can.
    static QString unavailableReason();
    static bool runningAsRoot();

    // Starts cupsd and waits until it answers; false with `error` set when it
    // does not. Can be called again after stop(): same folder, socket, port
    // and queues.
    bool start(QString *error);
    // Ends cupsd by its process id and waits for it.
    void stop();
    bool isRunning() const;

    QString socketPath() const;
    int port() const { return m_port; }
    // What CUPS_SERVER holds to reach it: the socket path, or 127.0.0.1:port.
    QString server(bool overTcp = false) const;
    // This process's environment with CUPS_SERVER pointing here and nothing
    // that would pick another default printer (PRINTER, LPDEST).
    QProcessEnvironment clientEnvironment(bool overTcp = false) const;

    // Queue administration; each returns false with `error` set on failure.
    bool addQueue(const QString &name, const QString &description, Media media, QString *error);
    bool setDefault(const QString &name, QString *error);
    bool reject(const QString &name, const QString &reason, QString *error);
    bool accept(const QString &name, QString *error);
    bool disable(const QString &name, const QString &reason, QString *error);
    bool removeQueue(const QString &name, QString *error);
    // Jobs sent to the queue stay held (and are never processed) until released.
    bool holdNewJobs(const QString &name, QString *error);

    // Every job the spooler knows, oldest first (ipptool Get-Jobs).
    QList<Job> jobs(QString *error = nullptr) const;
    // Waits until no job is pending or processing (held jobs excepted).
    bool waitUntilIdle(int timeoutMs, QString *error);
    // The document of a job as the client sent it (PreserveJobFiles).
    QString spooledFile(int jobId) const;

    // Runs a CUPS client program against this spooler.
    bool runClient(const QString &program, const QStringList &arguments, QString *output = nullptr,
                   QString *error = nullptr) const;

private:
    bool writeConfiguration(QString *error);
    QString path(const QString &name) const;

    QStringList m_extraConfig;
    QTemporaryDir m_dir;
    QString m_tag;
    QString m_cupsPdfConf;
    int m_port = 0;
    std::unique_ptr<QProcess> m_cupsd;
};

// In a test function: skips (or, under CI=true or as root, fails) with the
// reason when no private spooler can run here.
#define REQUIRE_PRIVATE_CUPS()                                                                                 \
    do {                                                                                                       \
        const QString why_ = PrivateCups::unavailableReason();                                                 \
        if (!why_.isEmpty()) {                                                                                 \
            if (qEnvironmentVariable("CI") == QLatin1String("true") || PrivateCups::runningAsRoot())           \
                QFAIL(qPrintable(QStringLiteral("private print spooler needed: ") + why_));                    \
            QSKIP(qPrintable(QStringLiteral("private print spooler not available: ") + why_));                 \
        }                                                                                                      \
    } while (false)
