#include "PrintStamp.h"

#include <QLocale>
#include <QRegularExpression>

namespace {
// Qt's long time format carries a time-zone field ("t") on some systems;
// the stamp never shows one.
QString longTimeFormatWithoutZone()
{
    static const QRegularExpression zone(QStringLiteral("\\s*\\bt+\\b"));
    QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    format.remove(zone);
    return format.trimmed();
}
} // namespace

QString PrintStamp(const QDateTime &at)
{
    const QLocale locale = QLocale::system();
    return locale.toString(at.date(), QLocale::ShortFormat) + QStringLiteral(" - ")
        + locale.toString(at.time(), longTimeFormatWithoutZone());
}

QString PrintStamp(const Clock &clock)
{
    return PrintStamp(clock.now());
}
