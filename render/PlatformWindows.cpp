// What render/ does differently on Windows.

#include "FontFiles.h"

#include <QCoreApplication>
#include <QFont>

void FontFiles::addStandIns(const QStringList &installedFamilies)
{
    // Windows has Tahoma and Arial; the program's fonts/ folder holds
    // stand-ins for a system that lacks them, and a general font for a
    // platform that sees no system fonts at all.
    const QStringList folders = {QCoreApplication::applicationDirPath() + QStringLiteral("/fonts")};
    if (!installedFamilies.contains(QStringLiteral("Arial"))) {
        addFirstFound(folders,
                      {QStringLiteral("LiberationSans-Regular.ttf"), QStringLiteral("LiberationSans-Bold.ttf")});
        QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    }
    if (installedFamilies.isEmpty())
        addFirstFound(folders, {QStringLiteral("DejaVuSans.ttf"), QStringLiteral("DejaVuSans-Bold.ttf")});
    if (!installedFamilies.contains(QStringLiteral("Tahoma")))
        addFirstFound(folders, {QStringLiteral("tahoma.ttf"), QStringLiteral("tahomabd.ttf")});
}
