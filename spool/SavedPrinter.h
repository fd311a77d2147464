#pragma once

#include <QString>

// The one setting: the name of the chosen label printer, in the
// per-user settings store (application "TagFoundry", section "Settings",
// key "Printer"). "none" means no label printer has been chosen yet.
namespace SavedPrinter {

inline const QString kNone = QStringLiteral("none");

QString read();                      // "none" when absent
void write(const QString &deviceName);

// Throws Failure, naming the settings file and giving the system's reason,
// when it is there but cannot be read as settings (a folder, unreadable,
// binary junk).
void checkReadable();

} // namespace SavedPrinter

class Printer;

// Makes the installed printer whose name equals the saved name current.
// Visits every entry and reads the name afresh for each, so with two equal
// names the later one wins; with no match the current printer stays, unless
// the saved printer's spooler cannot be reached (then printing fails and says so).
void SelectSavedPrinter(Printer &printer);
