// The executable: works out the command-line tail, starts the right kind of
// Qt application and hands over to Startup::Start.

#include "LabelFonts.h"
#include "Process.h"
#include "ProgramInfo.h"
#include "Startup.h"

#include <QApplication>
#include <QGuiApplication>

#include <cstdio>

namespace {

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

} // namespace

int main(int argc, char **argv)
{
    const QString tail = Process::argumentTail(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("TagFoundry"));
    QCoreApplication::setApplicationName(QStringLiteral("TagFoundry"));

    if (const std::optional<QString> text = ProgramInfo::textFor(tail)) {
        Process::reachCaller();
        std::fputs(text->toLocal8Bit().constData(), stdout);
        return 0;
    }

    if (Startup::IsBatchWord(tail)) {
        Process::reachCaller();
        Process::prepareBatch();
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
