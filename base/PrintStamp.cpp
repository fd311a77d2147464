#include "PrintStamp.h"

#include <QLocale>
#include <QRegularExpression>

namespace Clock {

namespace {
std::function<QDateTime()> &override()
{
    static std::function<QDateTime()> now;
    return now;
}
} // namespace

QDateTime now()
{
    return override() ? override()() : QDateTime::currentDateTime();
}

void setNowForTests(std::function<QDateTime()> now)
{
    override() = std::move(now);
}

} // namespace Clock

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

QString PrintStamp()
{
    // One reading of the clock, so the date and the time belong together
    // even at midnight.
    return PrintStamp(Clock::now());
}
