#pragma once

#include "Spooler.h"

// The operating system's printers through Qt's printer support: CUPS on
// Linux (the local one, or a shared server named by CUPS_SERVER), the
// Windows spooler on Windows.
class SystemSpooler : public Spooler {
public:
    QStringList printerNames() const override;
    QString defaultPrinterName() const override;
    LabelReceipt submit(const PrintJob &job) override;
    QString unreachableReason() const override;
};
