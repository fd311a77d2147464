#include "Golden.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <algorithm>

namespace Golden {

// Where the two first differ, for the failure message.
static QString difference(const QString &expected, const QString &actual)
{
    const QStringList want = expected.split(QLatin1Char('\n')), got = actual.split(QLatin1Char('\n'));
    const qsizetype i = std::mismatch(want.begin(), want.end(), got.begin(), got.end()).first - want.begin();
    return QStringLiteral("line %1\n- %2\n+ %3").arg(i + 1).arg(want.value(i), got.value(i));
}

bool matches(const QString &name, const QString &actual)
{
    const QString path = QStringLiteral(TAGFOUNDRY_SOURCE_DIR "/tests/data/") + name;
    if (qEnvironmentVariableIntValue("TAGFOUNDRY_UPDATE_GOLDEN") == 1) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        const bool written = file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(actual.toUtf8()) >= 0;
        qInfo("%s %s", written ? "rewrote" : "cannot write", qPrintable(path));
        return written;
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

static const QString kArrow = QStringLiteral(" => ");

static QStringList linesOf(const QString &name)
{
    QFile file(QStringLiteral(TAGFOUNDRY_SOURCE_DIR "/tests/data/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qWarning("no table %s", qPrintable(file.fileName()));
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
}

void addRows(const QString &name)
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("output");
    for (const QString &line : linesOf(name)) {
        if (const qsizetype arrow = line.indexOf(kArrow); arrow >= 0 && !line.startsWith(QLatin1Char('#')))
            QTest::newRow(qPrintable(line.left(arrow))) << line.left(arrow) << line.mid(arrow + kArrow.size());
    }
}

bool rowMatches(const QString &name, const QString &input, const QString &output, const QString &got)
{
    if (qEnvironmentVariableIntValue("TAGFOUNDRY_UPDATE_GOLDEN") == 1) {
        QStringList lines = linesOf(name);
        lines.replace(lines.indexOf(input + kArrow + output), input + kArrow + got);
        return matches(name, lines.join(QLatin1Char('\n')));
    }
    if (got != output)
        qWarning("%s, row \"%s\":\n- %s\n+ %s", qPrintable(name), qPrintable(input), qPrintable(output),
                 qPrintable(got));
    return got == output;
}

} // namespace Golden
