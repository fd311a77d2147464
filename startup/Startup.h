#pragma once

#include <QString>

namespace Startup {

// True when the command-line tail is exactly one of the batch words.
bool IsBatchWord(const QString &argumentText);

// The start-up routine. A batch word prints the label file and returns the
// process's exit status; anything else opens the main window and returns -1,
// meaning the caller runs the event loop until the window closes.
int Start(const QString &argumentText);

} // namespace Startup
