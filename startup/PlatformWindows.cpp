// What startup/ does differently on Windows.

#include "Process.h"

#include "CommandTail.h"

#include <cstdio>
#include <string_view>

#include <windows.h>

QString Process::argumentTail(int, char **)
{
    // Windows hands a program its command line as one string: the program's
    // own name, blanks, then the tail as the caller typed it.
    const std::wstring_view line = GetCommandLineW();
    const std::wstring_view tail = line.substr(CommandTail::start(line));
    return QString::fromWCharArray(tail.data(), qsizetype(tail.size()));
}

namespace {

bool toPipeOrFile(HANDLE stream)
{
    const DWORD type = stream && stream != INVALID_HANDLE_VALUE ? GetFileType(stream) : FILE_TYPE_UNKNOWN;
    return type == FILE_TYPE_PIPE || type == FILE_TYPE_DISK;
}

// True for a stream on the console this process is attached to, or on
// nothing; false for one sent to a pipe, a file or another device (NUL).
bool toConsoleOrNowhere(HANDLE stream)
{
    if (!stream || stream == INVALID_HANDLE_VALUE)
        return true;
    DWORD mode = 0;
    switch (GetFileType(stream)) {
    case FILE_TYPE_PIPE:
    case FILE_TYPE_DISK:
        return false;
    case FILE_TYPE_CHAR:
        return GetConsoleMode(stream, &mode);
    default:
        return true;
    }
}

} // namespace

// The program is a GUI program, so Windows gives it no console: a stream the
// caller left on its console (typed at a prompt, or handed down by
// tagfoundry.com) reaches it only through the caller's console, attached to.
// A stream sent to a pipe, a file or NUL is used as it is.
void Process::reachCaller()
{
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE), errors = GetStdHandle(STD_ERROR_HANDLE);
    if (toPipeOrFile(output) && toPipeOrFile(errors))
        return;
    // Already attached, or a caller without a console (nothing to reach then).
    if (!AttachConsole(ATTACH_PARENT_PROCESS) && GetLastError() != ERROR_ACCESS_DENIED)
        return;
    const bool outputToConsole = toConsoleOrNowhere(output), errorsToConsole = toConsoleOrNowhere(errors);
    if (errorsToConsole)
        std::freopen("CONOUT$", "w", stderr);
    if (outputToConsole)
        std::freopen("CONOUT$", "w", stdout);
}

// Windows' own platform prints without showing a window: nothing to ready.
void Process::prepareBatch() {}

QString Process::filesHelp()
{
    return QStringLiteral("  C:\\TagFoundry\\labels.txt    the label file, one label a line:\n"
                          "                              code,reference,description,note,copies\n"
                          "  C:\\TagFoundry\\parts.txt     the parts list of the part window\n"
                          "  C:\\TagFoundry\\printed\\      the PDFs of the built-in printer \"TagFoundry PDF\"\n"
                          "  HKCU\\Software\\TagFoundry\\TagFoundry   the chosen label printer ([Settings] Printer)\n"
                          "\n"
                          "From a console, PowerShell, a .bat file or Task Scheduler run tagfoundry.com, beside\n"
                          "tagfoundry.exe (\"tagfoundry\" typed at a prompt finds it first): it waits for the batch,\n"
                          "whose messages come on the caller's standard error, and exits with its status. A prompt\n"
                          "does not wait for tagfoundry.exe.\n");
}
