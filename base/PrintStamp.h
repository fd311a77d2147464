#pragma once

#include <QDateTime>

// The local date and time that the print stamp and the main window's clock
// show. The program's clock reads the system's; a test stands its clock at a
// moment of its choosing (1 April, say).
class Clock {
public:
    QDateTime now() const { return m_standing.isValid() ? m_standing : QDateTime::currentDateTime(); }
    // Stands the clock at `at` (an invalid moment: the system's clock again).
    void standAt(const QDateTime &at) { m_standing = at; }

private:
    QDateTime m_standing;
};

// The system's short date, " - ", its long time without a time-zone name,
// e.g. "06/12/2026 - 19:29:50" on an en_GB system.
QString PrintStamp(const QDateTime &at);
// The stamp of the clock's present moment: one reading, so the date and the
// time belong together even at midnight.
QString PrintStamp(const Clock &clock);
