// The floor of a run that prints one label: a program that loads the Qt
// libraries the program loads, starts a GUI application on the offscreen
// platform, as batch mode does, and exits. No label can be printed faster.

#include <QGuiApplication>

int main(int argc, char **argv)
{
    // Quiet as batch mode is: Qt's notices are not written.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    QGuiApplication app(argc, argv);
    return 0;
}
