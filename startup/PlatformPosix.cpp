// What startup/ does differently on a POSIX system (Linux).

#include "Process.h"

#include <QStringList>

QString Process::argumentTail(int argc, char **argv)
{
    QStringList words;
    for (int i = 1; i < argc; ++i)
        words.append(QString::fromLocal8Bit(argv[i]));
    return words.join(QLatin1Char(' '));
}

// The standard streams are the caller's own.
void Process::reachCaller() {}

// Batch mode never needs a display, so it never tries one: a stale DISPLAY or
// WAYLAND_DISPLAY (a session that has ended, a caller's leftover environment)
// would otherwise abort the run before the first label. Fonts and printing
// work on Qt's offscreen platform.
void Process::prepareBatch()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
}

QString Process::filesHelp()
{
    return QStringLiteral("  ~/TagFoundry/labels.txt     the label file, one label a line:\n"
                          "                              code,reference,description,note,copies\n"
                          "  ~/TagFoundry/parts.txt      the parts list of the part window\n"
                          "  ~/TagFoundry/printed/       the PDFs of the built-in printer \"TagFoundry PDF\"\n"
                          "  ~/.config/TagFoundry/TagFoundry.conf   the chosen label printer ([Settings] Printer)\n"
                          "\n"
                          "CUPS_SERVER=host:port uses a shared print server; TAGFOUNDRY_DEBUG=1 shows Qt's notices.\n"
                          "More in the manual page: man tagfoundry\n");
}
