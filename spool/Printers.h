#pragma once

#include <QList>
#include <QString>

class Spooler;

// One installed printer: the name the spooler knows it by, and its spooler.
struct PrinterEntry {
    QString DeviceName;
    Spooler *spooler = nullptr;
    bool isValid() const { return spooler != nullptr; }
    bool operator==(const PrinterEntry &) const = default;
};

// The installed printers: the system's printers in their order, then the
// built-in PDF printer.
namespace Printers {

QList<PrinterEntry> all();

// The printer that is current when the process starts: the system's default
// printer, or the built-in PDF printer when the system has none.
PrinterEntry defaultEntry();

// The saved printer on a spooler that cannot list its printers right now,
// or an invalid entry when every spooler answers. Printing on it fails with
// the spooler's reason instead of quietly going to another printer.
PrinterEntry onUnreachableSpooler(const QString &deviceName);

// Replaces the spoolers asked, in order (tests use a recording spooler).
// An empty list restores the system spooler followed by the built-in PDF printer.
void useSpoolers(const QList<Spooler *> &spoolers);

} // namespace Printers
