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
    bool matched = false;
    const QList<PrinterEntry> entries = Printers::all();
    for (const PrinterEntry &entry : entries) {
        if (SavedPrinter::read() == entry.DeviceName) {
            Printer::current().makeCurrent(entry);
            matched = true;
        }
    }
    // A label printer that is missing only because its print server cannot be
    // reached stays the destination, so the label fails with the reason
    // rather than quietly printing somewhere else.
    const QString saved = SavedPrinter::read();
    if (!matched && saved != SavedPrinter::kNone) {
        if (const PrinterEntry away = Printers::onUnreachableSpooler(saved); away.isValid())
            Printer::current().makeCurrent(away);
    }
}
