#pragma once

#include <QString>

// The system's own words for why an operation failed, as messages quote it:
// "No space left on device", "Access is denied.". One place for them, each
// system's in a file of its own (PlatformPosix.cpp, PlatformWindows.cpp).
namespace SystemReason {

// For an errno value (set by the C library and POSIX calls on every system).
QString ofErrno(int errorNumber);

// For the calling thread's last Windows error (GetLastError); only Windows
// code calls it.
QString ofLastWindowsError();

} // namespace SystemReason
