#include "SystemQueue.h"

#include "Failure.h"
#include "SystemReason.h"

#include <QStringList>

#include <optional>
#include <string>
#include <utility>

#include <windows.h>
#include <winspool.h>

namespace {

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
        throw Failure(QStringLiteral("cannot be reached"))
            .onPrinter(printerName)
            .because(SystemReason::ofLastWindowsError(), true);
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

    const QString notSent = QStringLiteral("the label was not sent");
    if (status & PRINTER_STATUS_PAUSED)
        throw Failure(QStringLiteral("is paused")).onPrinter(printerName).then(notSent);
    if (attributes & PRINTER_ATTRIBUTE_WORK_OFFLINE)
        throw Failure(QStringLiteral("is set to use the printer offline")).onPrinter(printerName).then(notSent);
    if (status & PRINTER_STATUS_PENDING_DELETION)
        throw Failure(QStringLiteral("is being deleted")).onPrinter(printerName);
    static const std::pair<DWORD, const char *> faults[] = {
        {PRINTER_STATUS_PAPER_OUT, "out of paper"}, {PRINTER_STATUS_PAPER_JAM, "paper jam"},
        {PRINTER_STATUS_DOOR_OPEN, "cover open"},   {PRINTER_STATUS_NOT_AVAILABLE, "not available"},
        {PRINTER_STATUS_ERROR, "error"}};
    for (const auto &[bit, text] : faults) {
        if (status & bit)
            throw Failure(QStringLiteral("reports a fault"))
                .onPrinter(printerName)
                .because(QLatin1String(text), true)
                .then(notSent);
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

} // namespace

struct SystemQueue::State {
    std::optional<PrintEngineWarnings> refusals;
};

SystemQueue::SystemQueue(const QString &printerName) : m_printerName(printerName), m_state(std::make_unique<State>()) {}
SystemQueue::~SystemQueue() = default;

QString SystemQueue::serverProblem()
{
    return {};
}

void SystemQueue::explainMissing() const {}

int SystemQueue::checkReady(const QPrinterInfo &info, const QPrinter &printer) const
{
    checkWindowsPrinterReady(m_printerName);
    return qtCheckReady(m_printerName, info, printer);
}

void SystemQueue::startJob()
{
    m_state->refusals.emplace();
}

void SystemQueue::checkSubmitted()
{
    const QString refused = m_state->refusals ? m_state->refusals->text() : QString();
    if (!refused.isEmpty())
        throw Failure(QStringLiteral("refused the job")).onPrinter(m_printerName).because(refused);
}
