#pragma once

#include <QDateTime>
#include <functional>

// The clock seam: the local date and time, replaceable so tests can be on 1 April.
namespace Clock {
QDateTime now();
void setNowForTests(std::function<QDateTime()> now); // empty function: the real clock
} // namespace Clock

// The system's short date, " - ", its long time without a time-zone name,
// e.g. "06/12/2026 - 19:29:50" on an en_GB system.
QString PrintStamp();
QString PrintStamp(const QDateTime &at);
