#pragma once

#include "Spooler.h"

#include <QString>

#include <array>

class Printer;

// The address label: four lines printed large in Arial, one job on the saved
// label printer in the number of copies the copies text gives (a whole number
// from -32768 to 32767, a fraction rounded, halves to the even number), in
// the weight the printer's last job left (it sets none).
// Throws Failure, printing nothing, when the copies text is not such a number
// or when the printer refuses the job.
LabelReceipt PrintAddressLabel(Printer &p, const std::array<QString, 4> &lines, const QString &copiesText);
