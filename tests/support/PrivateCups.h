#pragma once

#include "ChildProgram.h"

#include <QPointF>
#include <QProcess>
#include <QTemporaryDir>

#include <unistd.h>

// A print spooler of the tests' own: a private cupsd in a temporary folder,
// with its own socket and its own TCP port on 127.0.0.1, and queues that write
// PDFs through the cups-pdf backend. Its configuration files are under
// tests/data/private-cups/. Nothing of the machine's own CUPS is used or
// changed, except the one configuration file cups-pdf reads for our queues
// (/etc/cups/cups-pdf-<tag>.conf), which is removed again. Every job and every
// spooled document stays in the folder until the spooler is destroyed.
//
// Needs root (cups-pdf insists on it and its configuration lives in /etc/cups)
// and the packages cups, cups-client, cups-bsd, cups-ipp-utils,
// printer-driver-cups-pdf, poppler-utils and ghostscript.
class PrivateCups {
public:
    // Label: 4 by 2 inches with an unprintable border, so that a job that
    // ignores the printable corner or the default media shows it.
    // Stock: the stock cups-pdf driver's A4, printable to the edges.
    enum class Media { Label, Stock };
    // The label media's printable corner from its top left edge, in points
    // (label.ppd's ImageableArea "9 2 286 138" on a page 144 points high).
    static constexpr QPointF kLabelCorner{9, 6};

    // One job as the spooler reports it through IPP.
    struct Job {
        int id = 0;
        QString queue;
        int copies = 1; // a job sent without the attribute prints once
        QString title;  // job-name
    };

    // extraConfig: one more cupsd.conf line (for example "MaxJobsPerPrinter 1").
    explicit PrivateCups(const QString &extraConfig = {});
    ~PrivateCups();

    // Why a private spooler cannot run here, or empty when it can.
    static QString unavailableReason();

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
    // dpi: a label printer that says its resolution (the label media only);
    // 0, one that does not. It is listed in the form "203x203dpi", which CUPS
    // and Wine read alike: Wine's PostScript driver takes "203dpi" for 20 by
    // 3 dpi (to it, a 0 followed by another digit separates the two numbers
    // of a form some vendors' files use).
    bool addQueue(const QString &name, const QString &description, Media media, QString *error, int dpi = 0) const;

    // The jobs the spooler knows, of one queue or of all, oldest first (ipptool Get-Jobs).
    QList<Job> jobs(const QString &queue = {}) const;
    // The document of a job as the client sent it (PreserveJobFiles).
    QString spooledFile(int jobId) const;
    // That document as a PDF: PostScript (as Wine sends it) read through
    // ps2pdf. Empty, with `error` set, when it cannot be converted.
    QString spooledPdf(int jobId, QString *error) const;

    // What differs between the jobs `jobs` of a batch run of `word` and what
    // that run prints on `queue`: a job per label, titled "TagFoundry <word>
    // <code>", with the label's copies as its attribute. With the built-in
    // printer's PDFs of the same labels in `builtIn` (a folder), each document
    // too: one page of the media, a barcode that scans as the code, the ink of
    // the code (and of the first label's note) where the built-in printer puts
    // it, from the media's printable corner, within 0.5 pt. PostScript (as
    // Wine sends it) is read through ps2pdf. Empty when nothing differs.
    QString jobsDifference(const QList<Job> &jobs, const QString &queue, const QString &word, const QStringList &codes,
                           const QList<int> &copies, Media media, const QString &builtIn = {}) const;

private:
    QTemporaryDir m_dir;
    QString m_extraConfig, m_tag, m_cupsPdfConf;
    int m_port = 0;
    QProcess m_cupsd;
};

// In a test function: skips with the reason when no private spooler can run
// here; fails instead under CI=true or as root, where it must run.
#define REQUIRE_PRIVATE_CUPS()                                                                                 \
    SKIP_OR_FAIL_UNLESS(PrivateCups::unavailableReason(), "private print spooler not available", ::geteuid() == 0)
