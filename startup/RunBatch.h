#pragma once

#include <QString>

// Prints one label for every record of the label file in the layout the batch
// word names, in file order, one job each. Throws Failure naming the file and
// the line when a record cannot be printed; the jobs ended before it stay
// printed and the lines after it are not printed.
void RunBatch(const QString &word);

// The label file: labels.txt in the data folder.
QString LabelFilePath();
