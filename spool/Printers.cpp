#include "Printers.h"

#include "Spooler.h"

QList<PrinterEntry> Printers::all() const
{
    QList<PrinterEntry> entries;
    for (Spooler *spooler : m_spoolers) {
        const QStringList names = spooler->printerNames();
        for (const QString &name : names)
            entries.append({name, spooler});
    }
    return entries;
}

PrinterEntry Printers::defaultEntry() const
{
    for (Spooler *spooler : m_spoolers) {
        const QString name = spooler->defaultPrinterName();
        if (!name.isEmpty())
            return {name, spooler};
    }
    const QList<PrinterEntry> entries = all();
    return entries.isEmpty() ? PrinterEntry{} : entries.last();
}

PrinterEntry Printers::onUnreachableSpooler(const QString &deviceName) const
{
    for (Spooler *spooler : m_spoolers) {
        if (!spooler->unreachableReason().isEmpty())
            return {deviceName, spooler};
    }
    return {};
}

PrinterEntry Printers::lastNamed(const QString &name) const
{
    for (auto spooler = m_spoolers.crbegin(); spooler != m_spoolers.crend(); ++spooler) {
        if ((*spooler)->printerNames().contains(name))
            return {name, *spooler};
    }
    return {};
}
