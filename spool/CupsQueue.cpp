#include "SystemQueue.h"

#include "Failure.h"
#include "SystemReason.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <cups/cups.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

// Qt hands the finished document to CUPS but ignores CUPS's answer: a queue
// that rejects jobs, a queue deleted a moment ago or a server that went away
// all end in a QPainter::end() that returns true. So the queue is asked about
// itself before the job is sent, and CUPS's own status of the submission is
// read afterwards.

namespace {

QString serverName()
{
    return QString::fromUtf8(cupsServer());
}

QString lastErrorText()
{
    return QString::fromUtf8(cupsLastErrorString());
}

// Throws Failure unless the queue exists, accepts jobs and is not stopped.
// Returns the queue's default resolution in dpi (0 when it has none). Leaves
// CUPS's last status at success, which checkSubmitted() relies on.
int queueReady(const QString &deviceName)
{
    // The queue name CUPS knows; Qt lists an instance as "queue/instance".
    const QByteArray queue = deviceName.section(QLatin1Char('/'), 0, 0).toUtf8();
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                     "/printers/%s", queue.constData());
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
            throw Failure(QStringLiteral("is no longer installed on the print server ") + serverName())
                .onPrinter(deviceName);
        throw Failure(QStringLiteral("the print server %1 cannot be reached").arg(serverName()))
            .onPrinter(deviceName, false)
            .because(reason, true);
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
        dpi = units == IPP_RES_PER_CM ? int(std::lround(xres * 2.54)) : xres;
    }
    const bool isAccepting = !accepting || ippGetBoolean(accepting, 0);
    const bool isStopped = state && ippGetInteger(state, 0) == IPP_PSTATE_STOPPED;
    ippDelete(response);

    if (!isAccepting)
        throw Failure(QStringLiteral("is not accepting jobs")).onPrinter(deviceName).because(message);
    if (isStopped) { // CUPS would keep the job until someone starts the queue again
        throw Failure(QStringLiteral("is stopped"))
            .onPrinter(deviceName)
            .because(message)
            .then(QStringLiteral("the label was not sent"));
    }
    return dpi;
}

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
        return SystemReason::ofErrno(connectError(int(std::max<qint64>(0, kServerWaitMs - clock.elapsed()))));

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
            .arg(SystemReason::ofErrno(ETIMEDOUT));
    return SystemReason::ofErrno(error ? error : EIO);
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
    QString reason = QStringLiteral("the print server %1 cannot be reached (%2)").arg(serverName(), problem);
    if (problem.startsWith(QStringLiteral("no answer")))
        silent = reason;
    return reason;
}

} // namespace

struct SystemQueue::State {};

SystemQueue::SystemQueue(const QString &printerName) : m_printerName(printerName) {}
SystemQueue::~SystemQueue() = default;

QString SystemQueue::serverProblem()
{
    return serverUnreachable();
}

void SystemQueue::explainMissing() const
{
    queueReady(m_printerName); // says whether the queue went away or the server did
}

int SystemQueue::checkReady(const QPrinterInfo &, const QPrinter &) const
{
    return queueReady(m_printerName);
}

void SystemQueue::startJob() {}

void SystemQueue::checkSubmitted()
{
    if (cupsLastError() >= IPP_STATUS_REDIRECTION_OTHER_SITE)
        throw Failure(QStringLiteral("refused the job")).onPrinter(m_printerName).because(lastErrorText());
}
