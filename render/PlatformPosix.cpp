// What render/ does differently on a POSIX system (Linux).

#include "FontFiles.h"

void FontFiles::addStandIns(const QStringList &installedFamilies)
{
    // Debian's fonts-wine: Tahoma's files outside fontconfig's folders.
    const QStringList folders = {QStringLiteral("/usr/share/wine/fonts"),
                                 QStringLiteral("/usr/share/fonts/truetype/wine")};
    if (!installedFamilies.contains(QStringLiteral("Tahoma")))
        addFirstFound(folders, {QStringLiteral("tahoma.ttf"), QStringLiteral("tahomabd.ttf")});
}
