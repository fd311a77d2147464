#include "SystemQueue.h"

// Where the system offers no more than Qt's printer support tells.

struct SystemQueue::State {};

SystemQueue::SystemQueue(const QString &printerName) : m_printerName(printerName) {}
SystemQueue::~SystemQueue() = default;

QString SystemQueue::serverProblem()
{
    return {};
}

void SystemQueue::explainMissing() const {}

int SystemQueue::checkReady(const QPrinterInfo &info, const QPrinter &printer) const
{
    return qtCheckReady(m_printerName, info, printer);
}

void SystemQueue::startJob() {}

void SystemQueue::checkSubmitted() {}
