#pragma once

#include "JobRenderer.h"
#include "PrintJob.h"

#include <QStringList>

// Owns a set of printers and takes finished jobs for them. Implementations:
// the system's print spooler, the built-in PDF printer, and a recorder for tests.
class Spooler {
public:
    virtual ~Spooler() = default;
    // The printers' DeviceNames in the spooler's own order.
    virtual QStringList printerNames() const = 0;
    // The spooler's default printer, or empty when it has none.
    virtual QString defaultPrinterName() const = 0;
    // Hands one job over; throws Failure naming the printer when it cannot.
    // Returns the barcodes that could not keep the element rule on its label.
    virtual QList<BarcodeShortfall> submit(const PrintJob &job) = 0;
    // Why the spooler cannot list its printers (its server is down or
    // unreachable), or empty when it can.
    virtual QString unreachableReason() const { return {}; }
};
