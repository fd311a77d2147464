#include "SystemQueue.h"

#include "Failure.h"
#include "SystemReason.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <cups/cups.h>
#include <dlfcn.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

// Qt hands the finished document to CUPS but ignores CUPS's answer: a queue
// that rejects jobs, a queue deleted a moment ago or a server that went away
// all end in a QPainter::end() that returns true. So the queue is asked about
// itself before the job is sent, and CUPS's own status of the submission is
// read afterwards.

namespace {

// CUPS's library, loaded when a queue is first asked about: a label for the
// built-in printer never loads it, nor the twenty libraries it brings (a
// sixth of the time of a run that prints one label).
#define TAGFOUNDRY_CUPS_FUNCTIONS(F)                                                                                   \
    F(cupsDoRequest)                                                                                                   \
    F(cupsEncryption) F(cupsLastError) F(cupsLastErrorString) F(cupsServer) F(httpAddrFamily) F(httpAddrFreeList)      \
        F(httpAddrGetList) F(httpAddrLength) F(httpAssembleURIf) F(httpClose) F(httpConnect2) F(httpError)             \
            F(httpSetTimeout) F(ippAddString) F(ippAddStrings) F(ippDelete) F(ippFindAttribute) F(ippGetBoolean)       \
                F(ippGetInteger) F(ippGetResolution) F(ippGetString) F(ippNewRequest) F(ippPort)

struct CupsLibrary {
// NOLINTNEXTLINE(bugprone-macro-parentheses): `name` names a member, which takes no parentheses
#define TAGFOUNDRY_CUPS_POINTER(name) decltype(&::name) name = nullptr;
    TAGFOUNDRY_CUPS_FUNCTIONS(TAGFOUNDRY_CUPS_POINTER)
#undef TAGFOUNDRY_CUPS_POINTER
    QString problem; // why it could not be loaded, empty when it was
};

CupsLibrary load()
{
    CupsLibrary library;
    void *handle = ::dlopen("libcups.so.2", RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        library.problem = QString::fromLocal8Bit(::dlerror());
        return library;
    }
#define TAGFOUNDRY_CUPS_RESOLVE(name)                                                                                  \
    library.name = reinterpret_cast<decltype(&::name)>(::dlsym(handle, #name));                                        \
    if (!library.name && library.problem.isEmpty())                                                                    \
        library.problem = QStringLiteral("libcups.so.2 lacks " #name);
    TAGFOUNDRY_CUPS_FUNCTIONS(TAGFOUNDRY_CUPS_RESOLVE)
#undef TAGFOUNDRY_CUPS_RESOLVE
    return library; // kept loaded for the process, as Qt's own printing keeps it
}

const CupsLibrary &loadedCups()
{
    static const CupsLibrary library = load();
    return library;
}

// CUPS's functions; throws Failure when its library cannot be loaded.
const CupsLibrary &cups()
{
    const CupsLibrary &library = loadedCups();
    if (!library.problem.isEmpty())
        throw Failure(QStringLiteral("CUPS's library cannot be loaded")).because(library.problem);
    return library;
}

QString serverName()
{
    return QString::fromUtf8(cups().cupsServer());
}

QString lastErrorText()
{
    return QString::fromUtf8(cups().cupsLastErrorString());
}

// Throws Failure unless the queue exists, accepts jobs and is not stopped.
// Returns the queue's default resolution in dpi (0 when it has none). Leaves
// CUPS's last status at success, which checkSubmitted() relies on.
int queueReady(const QString &deviceName)
{
    // The queue name CUPS knows; Qt lists an instance as "queue/instance".
    const QByteArray queue = deviceName.section(QLatin1Char('/'), 0, 0).toUtf8();
    char uri[HTTP_MAX_URI];
    cups().httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", cups().ippPort(),
                            "/printers/%s", queue.constData());
    ipp_t *request = cups().ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    cups().ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    static const char *const wanted[] = {"printer-state", "printer-is-accepting-jobs", "printer-state-message",
                                         "printer-resolution-default"};
    cups().ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", int(std::size(wanted)),
                         nullptr, wanted);
    ipp_t *response = cups().cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    const ipp_status_t status = cups().cupsLastError();
    if (!response || status >= IPP_STATUS_REDIRECTION_OTHER_SITE) {
        const QString reason = lastErrorText();
        cups().ippDelete(response);
        if (status == IPP_STATUS_ERROR_NOT_FOUND)
            throw Failure(QStringLiteral("is no longer installed on the print server ") + serverName())
                .onPrinter(deviceName);
        throw Failure(QStringLiteral("the print server %1 cannot be reached").arg(serverName()))
            .onPrinter(deviceName, false)
            .because(reason, true);
    }

    const QString message = QString::fromUtf8(
        cups().ippGetString(cups().ippFindAttribute(response, "printer-state-message", IPP_TAG_TEXT), 0, nullptr));
    ipp_attribute_t *accepting = cups().ippFindAttribute(response, "printer-is-accepting-jobs", IPP_TAG_BOOLEAN);
    ipp_attribute_t *state = cups().ippFindAttribute(response, "printer-state", IPP_TAG_ENUM);
    int dpi = 0;
    if (ipp_attribute_t *resolution = cups().ippFindAttribute(response, "printer-resolution-default",
                                                              IPP_TAG_RESOLUTION)) {
        int yres = 0;
        ipp_res_t units = IPP_RES_PER_INCH;
        const int xres = cups().ippGetResolution(resolution, 0, &yres, &units);
        dpi = units == IPP_RES_PER_CM ? int(std::lround(xres * 2.54)) : xres;
    }
    const bool isAccepting = !accepting || cups().ippGetBoolean(accepting, 0);
    const bool isStopped = state && cups().ippGetInteger(state, 0) == IPP_PSTATE_STOPPED;
    cups().ippDelete(response);

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
    const QByteArray port = QByteArray::number(cups().ippPort());
    http_addrlist_t *addresses = cups().httpAddrGetList(cups().cupsServer(), AF_UNSPEC, port.constData());
    if (!addresses)
        return EHOSTUNREACH;
    int error = EHOSTUNREACH;
    for (http_addrlist_t *a = addresses; a; a = a->next) {
        const int fd = ::socket(cups().httpAddrFamily(&a->addr), SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0) {
            error = errno;
            continue;
        }
        error = ::connect(fd, reinterpret_cast<const sockaddr *>(&a->addr), socklen_t(cups().httpAddrLength(&a->addr)))
                        == 0
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
    cups().httpAddrFreeList(addresses);
    return error ? error : EHOSTDOWN;
}

QString printServerProblem()
{
    QElapsedTimer clock;
    clock.start();
    int cancel = 0;
    errno = 0;
    http_t *http = cups().httpConnect2(cups().cupsServer(), cups().ippPort(), nullptr, AF_UNSPEC,
                                       cups().cupsEncryption(), 1, kServerWaitMs, &cancel);
    if (!http)
        return SystemReason::ofErrno(connectError(int(std::max<qint64>(0, kServerWaitMs - clock.elapsed()))));

    const int secondsLeft = std::max(1, int((kServerWaitMs - clock.elapsed()) / 1000));
    cups().httpSetTimeout(
        http, secondsLeft, [](http_t *, void *) { return 0; }, nullptr); // 0: stop waiting
    errno = 0;
    ipp_t *response = cups().cupsDoRequest(http, cups().ippNewRequest(IPP_OP_CUPS_GET_DEFAULT), "/");
    const int error = cups().httpError(http) ? cups().httpError(http) : errno;
    cups().httpClose(http);
    if (response) { // any answer, "no default printer" included
        cups().ippDelete(response);
        return {};
    }
    if (cups().cupsLastError() < IPP_STATUS_REDIRECTION_OTHER_SITE
        || cups().cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND)
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
    if (const QString &problem = loadedCups().problem; !problem.isEmpty())
        return QStringLiteral("CUPS's library cannot be loaded (%1)").arg(problem);
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
    if (cups().cupsLastError() >= IPP_STATUS_REDIRECTION_OTHER_SITE)
        throw Failure(QStringLiteral("refused the job")).onPrinter(m_printerName).because(lastErrorText());
}
