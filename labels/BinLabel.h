#pragma once

#include "Spooler.h"

#include <QString>

class Printer;

// The head every bin label begins with, the batch layouts' labels too: the
// code in Tahoma 20, not bold, in a frame across the top of the label.
void PrintFramedCode(Printer &p, const QString &code);

// The bin window's label: the framed code, its barcode and the print stamp,
// as one job on the printer as an earlier label left it: no printer is
// selected for it, no copies are set (a new job has one).
// Throws Failure when the printer refuses the job.
LabelReceipt PrintBinLabel(Printer &p, const QString &code);
