#pragma once

#include "Spooler.h"

#include <QString>

class Printer;

// The main window's everyday label: the company line in small type, the two
// typed lines large, the print stamp at the foot. One job on the saved label
// printer, printed as many times as the copies text says, in the weight the
// printer's last job left (it sets none).
// Throws Failure, printing nothing, when the copies text gives a count outside
// the 16-bit range or when the printer refuses the job.
LabelReceipt PrintQuickLabel(Printer &p, const QString &copiesText, const QString &firstLine,
                             const QString &secondLine);
