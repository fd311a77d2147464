#pragma once

#include <QString>

namespace Startup {

// True when the command-line tail is exactly one of the batch words.
bool IsBatchWord(const QString &argumentText);

// The start-up routine: makes the process's printer (on the system's printers
// and the built-in PDF printer), then either prints the label file for a
// batch word or opens the main window and runs until it closes (the
// application is a QApplication then). Returns the process's exit status.
int Start(const QString &argumentText);

} // namespace Startup
