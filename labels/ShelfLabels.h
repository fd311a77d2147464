#pragma once

#include "Spooler.h"

#include <QString>

#include <optional>

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

// A typed number of racks or shelves as the bound of the run's loop: its
// value, down to the last whole number not above it; below 1 the loop runs
// no time. None when the answer is not a number.
std::optional<qint64> ShelfCount(const QString &answer);

// The labels of a row of racking, one per shelf: rack by rack, in each rack
// shelf by shelf from A. Each printNext() prints the next one.
class ShelfRun {
public:
    ShelfRun(QString row, qint64 racks, qint64 shelves);

    // How many labels the run prints (as a double: a typed run may be longer
    // than any count).
    double total() const { return double(m_racks) * double(m_shelves); }
    bool atEnd() const { return m_shelves < 1 || m_rack > m_racks; }
    // The location code of the label printed next.
    QString nextCode() const { return ShelfLocationCode(m_row, m_rack, m_shelf); }
    // How many were printed.
    qint64 printed() const { return m_printed; }

    // Prints the next label and moves past it. Throws Failure when the
    // printer refuses it; the run then stays at that label.
    LabelReceipt printNext(Printer &p);

private:
    QString m_row;
    qint64 m_racks, m_shelves;
    qint64 m_rack = 1, m_shelf = 1;
    qint64 m_printed = 0;
};
