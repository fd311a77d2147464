#pragma once

#include <QStringList>

// The two batch words, which also name the batch layouts.
inline const QString kXList = QStringLiteral("XLIST");
inline const QString kBins = QStringLiteral("BINS");

// Prints one record of the label file as one job on the current printer.
// Throws Failure (without a line number) when the record cannot be printed.
void PrintBatchRecord(const QStringList &fields, const QString &word);

// The "BINS" description lines: 35-character pieces, upper case, each but the
// last followed by "-", at most five.
QStringList BinsDescriptionLines(const QString &description);
