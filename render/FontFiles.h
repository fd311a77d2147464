#pragma once

#include <QStringList>

// The font files the program loads itself where the system lacks a label
// font: Debian keeps Tahoma outside fontconfig's folders, and a Windows
// machine may lack Tahoma or Arial. Each system's in a file of its own
// (PlatformPosix.cpp, PlatformWindows.cpp).
namespace FontFiles {

// Adds the first copy found in `folders` of each of `files`.
void addFirstFound(const QStringList &folders, const QStringList &files);

// Adds the stand-ins for the label fonts missing from `installedFamilies`.
void addStandIns(const QStringList &installedFamilies);

} // namespace FontFiles
