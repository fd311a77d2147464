#pragma once

#include <QString>

// What the process does differently on each system, before and around the
// program proper (PlatformPosix.cpp, PlatformWindows.cpp).
namespace Process {

// Everything after the program's own name, as one string, unchanged.
QString argumentTail(int argc, char **argv);

// Readies standard output and error to reach the caller, before the first
// word for it: on Windows, where the program is a GUI program, the console
// of a caller that left them on its console.
void reachCaller();

// Readies a batch run to print without a display.
void prepareBatch();

// The end of the help text: where this system keeps the program's files,
// and what else a user of this system may set.
QString filesHelp();

} // namespace Process
