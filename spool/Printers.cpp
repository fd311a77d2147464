#include "Printers.h"

#include "PdfSpooler.h"
#include "Spooler.h"
#include "SystemSpooler.h"

namespace {

QList<Spooler *> &overriddenSpoolers()
{
    static QList<Spooler *> spoolers;
    return spoolers;
}

QList<Spooler *> spoolers()
{
    if (!overriddenSpoolers().isEmpty())
        return overriddenSpoolers();
    static SystemSpooler system;
    static PdfSpooler pdf;
    return {&system, &pdf};
}

} // namespace

namespace Printers {

QList<PrinterEntry> all()
{
    QList<PrinterEntry> entries;
    for (Spooler *spooler : spoolers()) {
        const QStringList names = spooler->printerNames();
        for (const QString &name : names)
            entries.append({name, spooler});
    }
    return entries;
}

PrinterEntry defaultEntry()
{
    for (Spooler *spooler : spoolers()) {
        const QString name = spooler->defaultPrinterName();
        if (!name.isEmpty())
            return {name, spooler};
    }
    const QList<PrinterEntry> entries = all();
    return entries.isEmpty() ? PrinterEntry{} : entries.last();
}

PrinterEntry onUnreachableSpooler(const QString &deviceName)
{
    for (Spooler *spooler : spoolers()) {
        if (!spooler->unreachableReason().isEmpty())
            return {deviceName, spooler};
    }
    return {};
}

void useSpoolers(const QList<Spooler *> &list)
{
    overriddenSpoolers() = list;
}

} // namespace Printers
