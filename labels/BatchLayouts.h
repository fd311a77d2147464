#pragma once

#include "LabelFile.h"
#include "Spooler.h"

#include <QStringList>

class Printer;

// The two batch words, which also name the batch layouts.
inline const QString kXList = QStringLiteral("XLIST");
inline const QString kBins = QStringLiteral("BINS");

// The two batch layouts, each one job on the printer as it is (the batch
// selected the saved printer once, at its start). Throw Failure when the
// printer refuses the job. A note's bold stays for the rest of the record;
// a reference or note the file leaves out is not printed.
LabelReceipt PrintXListLabel(Printer &p, const BatchLabel &label);
LabelReceipt PrintBinsLabel(Printer &p, const BatchLabel &label);

// Prints one label of the label file in the layout the batch word names.
LabelReceipt PrintBatchRecord(Printer &p, const BatchLabel &label, const QString &word);

// The "BINS" description lines: 35-character pieces, upper case, each but the
// last followed by "-", at most five.
QStringList BinsDescriptionLines(const QString &description);
