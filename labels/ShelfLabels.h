#pragma once

#include "Spooler.h"

#include <QString>

class Printer;

// Shelf labels: one label per shelf of a row of racking, the location code
// large and the same code (with "SHELF-" in front) as a Code 39 barcode.

// The letters of a shelf number, as spreadsheet columns count:
// 1 "A" ... 26 "Z", 27 "AA" ... 52 "AZ", 53 "BA" ... 702 "ZZ", 703 "AAA".
QString ShelfLetters(qint64 shelf);

// Row + rack number + shelf letters, nothing between them: "C12C".
QString ShelfLocationCode(const QString &row, qint64 rack, qint64 shelf);

// One label as one job on the printer as the run's start left it (it sets no
// copies: a new job has one; nor a weight: the last job's stays). Throws
// Failure when the printer refuses it.
LabelReceipt PrintShelfLabel(Printer &p, const QString &row, qint64 rack, qint64 shelf);
