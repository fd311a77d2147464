#include "Golden.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace Golden {

static QString dataFile(const QString &name)
{
    return QStringLiteral(TAGFOUNDRY_SOURCE_DIR "/tests/data/") + name;
}

// A unified diff from the system's diff where there is one; otherwise the first
// line that differs.
static QString difference(const QString &expectedPath, const QString &actual, const QString &expected)
{
    QTemporaryDir dir;
    const QString actualPath = dir.filePath(QStringLiteral("actual"));
    QFile out(actualPath);
    if (out.open(QIODevice::WriteOnly)) {
        out.write(actual.toUtf8());
        out.close();
        QProcess diff;
        diff.start(QStringLiteral("diff"), {QStringLiteral("-u"), expectedPath, actualPath});
        if (diff.waitForFinished(10000) && diff.exitStatus() == QProcess::NormalExit)
            return QString::fromUtf8(diff.readAllStandardOutput());
    }
    const QStringList want = expected.split(QLatin1Char('\n')), got = actual.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < qMax(want.size(), got.size()); ++i) {
        if (want.value(i) != got.value(i))
            return QStringLiteral("line %1\n- %2\n+ %3\n").arg(i + 1).arg(want.value(i), got.value(i));
    }
    return {};
}

bool matches(const QString &name, const QString &actual)
{
    const QString path = dataFile(name);
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
    qWarning("%s differs from what the test got:\n%s", qPrintable(name),
             qPrintable(difference(path, actual, expected)));
    return false;
}

} // namespace Golden
