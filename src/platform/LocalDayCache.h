#pragma once

#include <QDate>
#include <QtGlobal>

// The local calendar day of moments, for reading years of records: the C library is asked about a moment only
// when it falls outside the day found last, and that day's bounds are kept unless the clocks change during it
// (then each of its moments is asked about on its own). Days are those QDateTime::toLocalTime() gives.
class LocalDayCache {
public:
    // Takes up the process's time zone as it is now.
    LocalDayCache();

    // The local date of a moment given in milliseconds since 1970 UTC.
    QDate dayOf(qint64 msecs);

private:
    QDate m_day;
    // The bounds of m_day in milliseconds since 1970, end excluded; empty when they are not trusted.
    qint64 m_start = 0;
    qint64 m_end = 0;
};
