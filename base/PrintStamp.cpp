#include "PrintStamp.h"

#include <QLocale>
#include <QRegularExpression>

namespace {
// Qt's long time format carries a time-zone field ("t") on some systems;
// the stamp never shows one.
QString longTimeFormatWithoutZone()
{
    QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    format.remove(QRegularExpression(QStringLiteral("\\s*\\bt+\\b")));
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
