#pragma once

#include <QList>
#include <QString>

class Spooler;

// One installed printer: the name the spooler knows it by, and its spooler.
struct PrinterEntry {
    QString deviceName; // the name the system shows it by
    Spooler *spooler = nullptr;
    bool isValid() const { return spooler != nullptr; }
    bool operator==(const PrinterEntry &) const = default;
};

// The installed printers: the printers of each spooler in turn, in the
// spooler's own order. The program's are the system's printers, then the
// built-in PDF printer; a test's, a recording spooler's.
class Printers {
public:
    explicit Printers(QList<Spooler *> spoolers) : m_spoolers(std::move(spoolers)) {}

    QList<PrinterEntry> all() const;

    // The last printer of all() named `name`, asking the spoolers from the
    // last: one that lists it spares asking those before it (the system's
    // spooler may take its time). Invalid when none is so named.
    PrinterEntry lastNamed(const QString &name) const;

    // The printer that is current when the process starts: the first
    // spooler's default printer (the system's), else the last printer listed
    // (the built-in PDF printer).
    PrinterEntry defaultEntry() const;

    // The saved printer on a spooler that cannot list its printers right now,
    // or an invalid entry when every spooler answers. Printing on it fails with
    // the spooler's reason instead of quietly going to another printer.
    PrinterEntry onUnreachableSpooler(const QString &deviceName) const;

private:
    QList<Spooler *> m_spoolers;
};
