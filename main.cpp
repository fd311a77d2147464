// The executable: works out the command-line tail, starts the right kind of
// Qt application and hands over to Startup::Start.

#include "LabelFonts.h"
#include "Startup.h"
#include "ProgramInfo.h"

#include <QApplication>
#include <QGuiApplication>

#include <cstdio>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

// Everything after the program's own name, as one string, unchanged.
QString argumentTail(int argc, char **argv)
{
#ifdef Q_OS_WIN
    Q_UNUSED(argc);
    Q_UNUSED(argv);
    QString line = QString::fromWCharArray(GetCommandLineW());
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
#else
    QStringList words;
    for (int i = 1; i < argc; ++i)
        words.append(QString::fromLocal8Bit(argv[i]));
    return words.join(QLatin1Char(' '));
#endif
}

// Batch mode never needs a display, so it never tries one: a stale DISPLAY or
// WAYLAND_DISPLAY (a session that has ended, a caller's leftover environment)
// would otherwise abort the run before the first label. Fonts and printing
// work on Qt's offscreen platform.
void useOffscreenPlatform()
{
#ifndef Q_OS_WIN
    qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
}

// Batch mode speaks to another program through its exit status and one line
// per failure on standard error; Qt's own notices (a missing runtime folder,
// a font substituted) would only bury that line. TAGFOUNDRY_DEBUG=1 keeps them.
void keepQtNoticesOffStandardError()
{
    if (qEnvironmentVariableIsSet("TAGFOUNDRY_DEBUG"))
        return;
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &message) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::fprintf(stderr, "tagfoundry: %s\n", message.toLocal8Bit().constData());
    });
}

#ifdef Q_OS_WIN
// The program is a GUI program, so Windows gives it standard handles only
// when its caller redirected them (a pipe or a file: nothing to do then).
// Started from a console without redirection, the batch words' reports go to
// that console, the caller's own.
void reachCallersStandardError()
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
#endif

} // namespace

int main(int argc, char **argv)
{
    const QString tail = argumentTail(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("TagFoundry"));
    QCoreApplication::setApplicationName(QStringLiteral("TagFoundry"));

    if (const std::optional<QString> text = ProgramInfo::textFor(tail)) {
        std::fputs(text->toLocal8Bit().constData(), stdout);
        return 0;
    }

    if (Startup::IsBatchWord(tail)) {
#ifdef Q_OS_WIN
        reachCallersStandardError();
#endif
        useOffscreenPlatform();
        keepQtNoticesOffStandardError();
        QGuiApplication app(argc, argv); // fonts need a GUI application, not a window
        LabelFonts::ensureInstalled();
        return Startup::Start(tail);
    }

    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral(TAGFOUNDRY_APP_ID)); // the menu entry, for its icon
    LabelFonts::ensureInstalled();
    return Startup::Start(tail);
}
