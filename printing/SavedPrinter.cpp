#include "SavedPrinter.h"

#include "Printer.h"
#include "Printers.h"

#include <QSettings>

namespace SavedPrinter {

namespace {
QSettings store()
{
    // Qt's native store: ~/.config/TagFoundry/TagFoundry.conf on Linux,
    // HKCU\Software\TagFoundry\TagFoundry on Windows.
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("TagFoundry"),
                     QStringLiteral("TagFoundry"));
}
const QString kKey = QStringLiteral("Settings/Printer");
} // namespace

QString read()
{
    return store().value(kKey, kNone).toString();
}

void write(const QString &deviceName)
{
    QSettings settings = store();
    settings.setValue(kKey, deviceName);
    settings.sync();
}

} // namespace SavedPrinter

void SelectSavedPrinter()
{
    const QList<PrinterEntry> entries = Printers::all();
    for (const PrinterEntry &entry : entries) {
        if (SavedPrinter::read() == entry.DeviceName)
            Printer::current().makeCurrent(entry);
    }
}
