#pragma once

#include "Printer.h"
#include "Printers.h"
#include "RecordingSpooler.h"
#include "SavedPrinter.h"

#include <QSettings>
#include <QTemporaryDir>

// Isolates a test from the machine: a printer on a recording spooler instead
// of the system's printers, the settings store and the home folder (so the
// data folder) in a temporary folder of its own. Construct one per test
// function (in init()) and keep it alive for the test.
class TestPrinting {
public:
    explicit TestPrinting(QStringList printers = {QStringLiteral("Label Printer"), QStringLiteral("Office")},
                          QString defaultPrinter = QStringLiteral("Office"));
    ~TestPrinting();

    RecordingSpooler spooler;
    Printer printer; // what the layouts print on; its clock stands where the test puts it
    QTemporaryDir home;

    // Saves the printer name, as the printer chooser does.
    void savePrinter(const QString &name) { SavedPrinter::write(name); }
    // Writes a file into the data folder (~/TagFoundry/) with these exact bytes.
    void writeDataFile(const QString &name, const QByteArray &bytes);

private:
    QByteArray m_oldHome;
#ifdef Q_OS_WIN
    // Windows keeps the data folder at C:\TagFoundry\ and the setting in the
    // registry, neither of which a test can move: what is there is set aside
    // for the test (the saved printer reads "none") and put back after it.
    QString m_oldPrinter;
    QString m_setAside;
#endif
};
