#pragma once

#include <QString>
#include <functional>

class Printer;

// Prints one label for every record of the label file in the layout the batch
// word names, in file order, one job each, and returns once every job is
// finished (on the built-in printer: each file whole on the disk). Throws
// Failure naming the file and the line when a record cannot be printed; the
// jobs ended before it stay printed and the lines after it are not printed.
// `warn` hears of labels that printed but will not serve: a code with
// characters Code 39 cannot encode, a barcode without the room to keep
// scanning off a thermal printer. One line each, naming file and line, once
// the label is printed.
void RunBatch(Printer &printer, const QString &word, const std::function<void(const QString &)> &warn = {});
