#include "SystemSpooler.h"

#include "Failure.h"
#include "JobRenderer.h"

#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>
#include <optional>

#ifdef TAGFOUNDRY_WITH_CUPS
#include <QElapsedTimer>

#include <cerrno>
#include <cstring>
#include <cups/cups.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#include <windows.h>
#include <winspool.h>
#endif

namespace {

// A printer dot in twips for a resolution in dots per inch; the commonest
// label printer's dot when the resolution is unknown or absurd.
double dotTwipsFor(int dpi)
{
    return dpi > 0 && dpi < int(kTwipsPerInch) ? kTwipsPerInch / dpi : JobRenderer::kDefaultDotTwips;
}

QString quoted(const QString &printerName)
{
    return QLatin1Char('"') + printerName + QLatin1Char('"');
}

// The queue name CUPS knows; Qt lists an instance as "queue/instance".
QString queueOf(const QString &deviceName)
{
    return deviceName.section(QLatin1Char('/'), 0, 0);
}

#ifdef TAGFOUNDRY_WITH_CUPS

// Qt hands the finished document to CUPS but ignores CUPS's answer: a queue
// that rejects jobs, a queue deleted a moment ago or a server that went away
// all end in a QPainter::end() that returns true. So the queue is asked about
// itself before the job is sent, and CUPS's own status of the submission is
// read afterwards.
class CupsQueue {
public:
    explicit CupsQueue(const QString &deviceName) : m_deviceName(deviceName), m_queue(queueOf(deviceName).toUtf8()) {}

    // Throws Failure unless the queue exists, accepts jobs and is not
    // stopped. Returns the queue's default resolution in dpi (0 when it has
    // none). Leaves CUPS's last status at success, which submitted() relies on.
    int checkReady() const
    {
        char uri[HTTP_MAX_URI];
        httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                         "/printers/%s", m_queue.constData());
        ipp_t *request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
        static const char *const wanted[] = {"printer-state", "printer-is-accepting-jobs", "printer-state-message",
                                             "printer-resolution-default"};
        ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                      int(std::size(wanted)), nullptr, wanted);
        ipp_t *response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
        const ipp_status_t status = cupsLastError();
        if (!response || status >= IPP_STATUS_REDIRECTION_OTHER_SITE) {
            const QString reason = lastErrorText();
            ippDelete(response);
            if (status == IPP_STATUS_ERROR_NOT_FOUND)
                throw Failure(QStringLiteral("Printer %1 is no longer installed on the print server %2")
                                  .arg(quoted(m_deviceName), server()));
            throw Failure(QStringLiteral("Printer %1: the print server %2 cannot be reached (%3)")
                              .arg(quoted(m_deviceName), server(), reason));
        }

        const QString message = QString::fromUtf8(
            ippGetString(ippFindAttribute(response, "printer-state-message", IPP_TAG_TEXT), 0, nullptr));
        ipp_attribute_t *accepting = ippFindAttribute(response, "printer-is-accepting-jobs", IPP_TAG_BOOLEAN);
        ipp_attribute_t *state = ippFindAttribute(response, "printer-state", IPP_TAG_ENUM);
        int dpi = 0;
        if (ipp_attribute_t *resolution = ippFindAttribute(response, "printer-resolution-default", IPP_TAG_RESOLUTION)) {
            int yres = 0;
            ipp_res_t units = IPP_RES_PER_INCH;
            const int xres = ippGetResolution(resolution, 0, &yres, &units);
            dpi = units == IPP_RES_PER_CM ? int(xres * 2.54 + 0.5) : xres;
        }
        const bool isAccepting = !accepting || ippGetBoolean(accepting, 0);
        const bool isStopped = state && ippGetInteger(state, 0) == IPP_PSTATE_STOPPED;
        ippDelete(response);

        const QString because = message.isEmpty() ? QString() : QStringLiteral(": ") + message;
        if (!isAccepting)
            throw Failure(QStringLiteral("Printer %1 is not accepting jobs%2").arg(quoted(m_deviceName), because));
        if (isStopped) // CUPS would keep the job until someone starts the queue again
            throw Failure(QStringLiteral("Printer %1 is stopped%2; the label was not sent")
                              .arg(quoted(m_deviceName), because));
        return dpi;
    }

    // Throws Failure when CUPS refused the document Qt has just handed over.
    void checkSubmitted() const
    {
        if (cupsLastError() >= IPP_STATUS_REDIRECTION_OTHER_SITE)
            throw Failure(QStringLiteral("Printer %1 refused the job: %2").arg(quoted(m_deviceName), lastErrorText()));
    }

private:
    static QString server() { return QString::fromUtf8(cupsServer()); }
    static QString lastErrorText() { return QString::fromUtf8(cupsLastErrorString()); }

    QString m_deviceName;
    QByteArray m_queue;
};

// CUPS itself waits for a print server as long as it takes: one that accepts
// the connection and never answers held a batch for ten minutes, through
// Qt's calls and ours. So before anything else is asked, the server is asked
// one small question with a bounded wait; a server that does not answer in
// time counts as unreachable, with the system's reason.
constexpr int kServerWaitMs = 30000;

// Why the server's address cannot be connected to, in the system's words
// (CUPS reports every failure as "Host is down").
int connectError(int waitMs)
{
    const QByteArray port = QByteArray::number(ippPort());
    http_addrlist_t *addresses = httpAddrGetList(cupsServer(), AF_UNSPEC, port.constData());
    if (!addresses)
        return EHOSTUNREACH;
    int error = EHOSTUNREACH;
    for (http_addrlist_t *a = addresses; a; a = a->next) {
        const int fd = ::socket(httpAddrFamily(&a->addr), SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0) {
            error = errno;
            continue;
        }
        error = ::connect(fd, reinterpret_cast<const sockaddr *>(&a->addr), socklen_t(httpAddrLength(&a->addr))) == 0
                    ? 0
                    : errno;
        if (error == EINPROGRESS) {
            pollfd waiting{fd, POLLOUT, 0};
            socklen_t size = sizeof error;
            if (::poll(&waiting, 1, waitMs) <= 0)
                error = ETIMEDOUT;
            else if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0)
                error = errno;
        }
        ::close(fd);
        if (error == 0)
            break;
    }
    httpAddrFreeList(addresses);
    return error ? error : EHOSTDOWN;
}

QString printServerProblem()
{
    QElapsedTimer clock;
    clock.start();
    int cancel = 0;
    errno = 0;
    http_t *http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, kServerWaitMs,
                                &cancel);
    if (!http)
        return QString::fromLocal8Bit(std::strerror(connectError(int(std::max<qint64>(0, kServerWaitMs - clock.elapsed())))));

    const int secondsLeft = std::max(1, int((kServerWaitMs - clock.elapsed()) / 1000));
    httpSetTimeout(http, secondsLeft, [](http_t *, void *) { return 0; }, nullptr); // 0: stop waiting
    errno = 0;
    ipp_t *response = cupsDoRequest(http, ippNewRequest(IPP_OP_CUPS_GET_DEFAULT), "/");
    const int error = httpError(http) ? httpError(http) : errno;
    httpClose(http);
    if (response) { // any answer, "no default printer" included
        ippDelete(response);
        return {};
    }
    if (cupsLastError() < IPP_STATUS_REDIRECTION_OTHER_SITE || cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND)
        return {};
    if (clock.elapsed() >= kServerWaitMs - 1000)
        return QStringLiteral("no answer in %1 seconds: %2")
            .arg(kServerWaitMs / 1000)
            .arg(QString::fromLocal8Bit(std::strerror(ETIMEDOUT)));
    return QString::fromLocal8Bit(std::strerror(error ? error : EIO));
}

// The reason the print server cannot be used, or empty when it answers.
// Asked once per question the program has for the spooler; a server found
// silent is not asked again by this process.
QString serverUnreachable()
{
    static QString silent;
    if (!silent.isEmpty())
        return silent;
    const QString problem = printServerProblem();
    if (problem.isEmpty())
        return {};
    const QString reason = QStringLiteral("the print server %1 cannot be reached (%2)")
                               .arg(QString::fromUtf8(cupsServer()), problem);
    if (problem.startsWith(QStringLiteral("no answer")))
        silent = reason;
    return reason;
}

#endif // TAGFOUNDRY_WITH_CUPS

#ifdef Q_OS_WIN

// Qt's GDI engine hands the document to the Windows spooler whatever state
// the printer is in: a paused printer, or one set to work offline, would keep
// the label in its queue unprinted with nothing said. So the printer is asked
// about itself before the job is sent. Faults a driver reports (paper out, a
// jam, an open cover) fail the label too, naming them.
void checkWindowsPrinterReady(const QString &printerName)
{
    std::wstring name = printerName.toStdWString();
    HANDLE handle = nullptr;
    if (!OpenPrinterW(name.data(), &handle, nullptr)) {
        const QString reason = qt_error_string(int(GetLastError()));
        throw Failure(QStringLiteral("Printer %1 cannot be reached (%2)").arg(quoted(printerName), reason.trimmed()));
    }
    DWORD needed = 0;
    GetPrinterW(handle, 2, nullptr, 0, &needed);
    QByteArray buffer(qsizetype(needed), '\0');
    DWORD status = 0, attributes = 0;
    if (needed && GetPrinterW(handle, 2, reinterpret_cast<LPBYTE>(buffer.data()), needed, &needed)) {
        const auto *info = reinterpret_cast<const PRINTER_INFO_2W *>(buffer.constData());
        status = info->Status;
        attributes = info->Attributes;
    }
    ClosePrinter(handle);

    if (status & PRINTER_STATUS_PAUSED)
        throw Failure(QStringLiteral("Printer %1 is paused; the label was not sent").arg(quoted(printerName)));
    if (attributes & PRINTER_ATTRIBUTE_WORK_OFFLINE)
        throw Failure(QStringLiteral("Printer %1 is set to use the printer offline; the label was not sent")
                          .arg(quoted(printerName)));
    if (status & PRINTER_STATUS_PENDING_DELETION)
        throw Failure(QStringLiteral("Printer %1 is being deleted").arg(quoted(printerName)));
    static const std::pair<DWORD, const char *> faults[] = {
        {PRINTER_STATUS_PAPER_OUT, "out of paper"}, {PRINTER_STATUS_PAPER_JAM, "paper jam"},
        {PRINTER_STATUS_DOOR_OPEN, "cover open"},   {PRINTER_STATUS_NOT_AVAILABLE, "not available"},
        {PRINTER_STATUS_ERROR, "error"}};
    for (const auto &[bit, text] : faults) {
        if (status & bit)
            throw Failure(QStringLiteral("Printer %1 reports a fault (%2); the label was not sent")
                              .arg(quoted(printerName), QLatin1String(text)));
    }
}

// Qt's GDI engine says that the spooler refused a document (StartDoc or
// EndDoc failing: a queue that rejects jobs, a printer deleted meanwhile) only
// in a warning, and still reports the job as ended. While one of these lives,
// the engine's warnings are kept instead, for the spooler to report them.
class PrintEngineWarnings {
public:
    PrintEngineWarnings() { s_current = this, m_previous = qInstallMessageHandler(&keep); }
    ~PrintEngineWarnings() { qInstallMessageHandler(m_previous), s_current = nullptr; }
    PrintEngineWarnings(const PrintEngineWarnings &) = delete;
    PrintEngineWarnings &operator=(const PrintEngineWarnings &) = delete;

    QString text() const { return m_warnings.join(QStringLiteral("; ")); }

private:
    static void keep(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        if (type != QtDebugMsg && type != QtInfoMsg && message.startsWith(QLatin1String("QWin32PrintEngine")))
            s_current->m_warnings.append(message.section(QLatin1String(": "), 1).trimmed());
        else if (s_current->m_previous)
            s_current->m_previous(type, context, message);
    }

    static inline PrintEngineWarnings *s_current = nullptr;
    QtMessageHandler m_previous = nullptr;
    QStringList m_warnings;
};

#endif // Q_OS_WIN

} // namespace

QStringList SystemSpooler::printerNames() const
{
#ifdef TAGFOUNDRY_WITH_CUPS
    if (!serverUnreachable().isEmpty())
        return {};
#endif
    return QPrinterInfo::availablePrinterNames();
}

QString SystemSpooler::defaultPrinterName() const
{
#ifdef TAGFOUNDRY_WITH_CUPS
    if (!serverUnreachable().isEmpty())
        return {};
#endif
    return QPrinterInfo::defaultPrinterName();
}

QString SystemSpooler::unreachableReason() const
{
#ifdef TAGFOUNDRY_WITH_CUPS
    return serverUnreachable();
#else
    return {};
#endif
}

void SystemSpooler::submit(const PrintJob &job)
{
#ifdef TAGFOUNDRY_WITH_CUPS
    if (const QString reason = serverUnreachable(); !reason.isEmpty())
        throw Failure(QStringLiteral("Printer %1: %2").arg(quoted(job.printerName), reason));
#endif
    const QPrinterInfo info = QPrinterInfo::printerInfo(job.printerName);
#ifdef TAGFOUNDRY_WITH_CUPS
    CupsQueue queue(job.printerName);
    if (info.isNull())
        queue.checkReady(); // says whether the queue went away or the server did
#endif
    if (info.isNull())
        throw Failure(QStringLiteral("Printer %1 is not installed").arg(quoted(job.printerName)));

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

    // Box outlines one printer dot wide, at the printer's resolution when known.
#ifdef TAGFOUNDRY_WITH_CUPS
    const double dot = dotTwipsFor(queue.checkReady());
#else
#ifdef Q_OS_WIN
    checkWindowsPrinterReady(job.printerName);
#endif
    if (info.state() == QPrinter::Error || info.state() == QPrinter::Aborted)
        throw Failure(QStringLiteral("Printer %1 reports an error and cannot print").arg(quoted(job.printerName)));
    const QList<int> resolutions = printer.supportedResolutions();
    const double dot = dotTwipsFor(resolutions.isEmpty() ? 0 : *std::max_element(resolutions.begin(), resolutions.end()));
#endif

#ifdef Q_OS_WIN
    const PrintEngineWarnings refusals;
#endif
    QPainter painter;
    if (!painter.begin(&printer))
        throw Failure(QStringLiteral("Printer %1 cannot start a job").arg(quoted(job.printerName)));
    JobRenderer::renderPage(painter, job, dot);
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        throw Failure(QStringLiteral("Printer %1 did not accept the job").arg(quoted(job.printerName)));
#ifdef TAGFOUNDRY_WITH_CUPS
    queue.checkSubmitted();
#endif
#ifdef Q_OS_WIN
    if (!refusals.text().isEmpty())
        throw Failure(QStringLiteral("Printer %1 refused the job: %2").arg(quoted(job.printerName), refusals.text()));
#endif
}
