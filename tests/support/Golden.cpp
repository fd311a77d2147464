#include "Golden.h"

#include <QDir>
#include <QFile>
#include <QtTest>

namespace Golden {

// Where the two first differ, for the failure message.
static QString difference(const QString &expected, const QString &actual)
{
    const QStringList want = expected.split(QLatin1Char('\n')), got = actual.split(QLatin1Char('\n'));
    qsizetype i = 0;
    while (i < want.size() && i < got.size() && want[i] == got[i])
        ++i;
    return QStringLiteral("line %1\n- %2\n+ %3").arg(i + 1).arg(want.value(i), got.value(i));
}

bool matches(const QString &name, const QString &actual)
{
    const QString path = QStringLiteral(TAGFOUNDRY_SOURCE_DIR "/tests/data/") + name;
    if (qEnvironmentVariableIntValue("TAGFOUNDRY_UPDATE_GOLDEN") == 1) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(actual.toUtf8()) < 0) {
            qWarning("cannot write %s", qPrintable(path));
            return false;
        }
        qInfo("rewrote %s", qPrintable(path));
        return true;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning("no golden file %s (TAGFOUNDRY_UPDATE_GOLDEN=1 writes it)", qPrintable(path));
        return false;
    }
    const QString expected = QString::fromUtf8(file.readAll());
    if (expected == actual)
        return true;
    qWarning("%s differs from what the test got (TAGFOUNDRY_UPDATE_GOLDEN=1 and git diff show it all) at %s",
             qPrintable(name), qPrintable(difference(expected, actual)));
    return false;
}

} // namespace Golden
