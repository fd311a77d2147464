// What startup/ does differently on Windows.

#include "Process.h"

#include <cstdio>

#include <windows.h>

QString Process::argumentTail(int, char **)
{
    // Windows hands a program its command line as one string: the program's
    // own name (quoted or not), blanks, then the tail as the caller typed it.
    const QString line = QString::fromWCharArray(GetCommandLineW());
    qsizetype i = 0;
    if (line.startsWith(QLatin1Char('"'))) {
        i = line.indexOf(QLatin1Char('"'), 1);
        i = i < 0 ? line.size() : i + 1;
    } else {
        while (i < line.size() && !line[i].isSpace())
            ++i;
    }
    while (i < line.size() && line[i].isSpace())
        ++i;
    return line.mid(i);
}

// The program is a GUI program, so Windows gives it standard handles only
// when its caller redirected them (a pipe or a file: nothing to do then).
// Started from a console without redirection, the batch words' reports go to
// that console, the caller's own.
void Process::prepareBatch()
{
    const HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
    const DWORD type = handle && handle != INVALID_HANDLE_VALUE ? GetFileType(handle) : FILE_TYPE_UNKNOWN;
    if (type == FILE_TYPE_PIPE || type == FILE_TYPE_DISK)
        return;
    // Fails harmlessly when already attached, or when the caller has no console.
    AttachConsole(ATTACH_PARENT_PROCESS);
    if (std::freopen("CONOUT$", "w", stderr))
        std::freopen("CONOUT$", "w", stdout);
}

QString Process::filesHelp()
{
    return QStringLiteral("  C:\\TagFoundry\\labels.txt    the label file, one label a line:\n"
                          "                              code,reference,description,note,copies\n"
                          "  C:\\TagFoundry\\parts.txt     the parts list of the part window\n"
                          "  C:\\TagFoundry\\printed\\      the PDFs of the built-in printer \"TagFoundry PDF\"\n"
                          "  HKCU\\Software\\TagFoundry\\TagFoundry   the chosen label printer ([Settings] Printer)\n");
}
