#pragma once

#include <QStringList>

class Printer;

// The two batch words, which also name the batch layouts.
inline const QString kXList = QStringLiteral("XLIST");
inline const QString kBins = QStringLiteral("BINS");

// One record of the label file: code,reference,description,note,copies.
// A reference or note of "NONE" is not printed.
struct BatchLabel {
    QString code;
    QString reference;
    QString description;
    QString note;
    qint16 copies = 1;
};

// The two batch layouts, each one job on the printer as it is (the batch
// selected the saved printer once, at its start). Throw Failure when the
// printer refuses the job. A note's bold stays for the rest of the record.
void PrintXListLabel(Printer &p, const BatchLabel &label);
void PrintBinsLabel(Printer &p, const BatchLabel &label);

// Prints one record of the label file, split into its fields, in the layout
// the batch word names. Throws Failure (without a line number), printing
// nothing, when the record has too few fields or its copies are out of range.
void PrintBatchRecord(Printer &p, const QStringList &fields, const QString &word);

// The "BINS" description lines: 35-character pieces, upper case, each but the
// last followed by "-", at most five.
QStringList BinsDescriptionLines(const QString &description);
