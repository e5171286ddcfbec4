#include "LocalDayCache.h"

#include <ctime>

namespace {

constexpr qint64 SecondsPerDay = 24 * 3600;

// The local wall clock of a moment in whole seconds, as QDateTime's local time reads it.
std::tm localClock(std::time_t seconds)
{
    std::tm clock{};
    localtime_r(&seconds, &clock);
    return clock;
}

} // namespace

LocalDayCache::LocalDayCache()
{
    // localtime_r() reads the zone the last tzset() took up; QDateTime takes it up before each conversion.
    tzset();
}

QDate LocalDayCache::dayOf(qint64 msecs)
{
    if (msecs >= m_start && msecs < m_end)
        return m_day;
    // Whole seconds, rounded down also before 1970.
    const std::time_t seconds = std::time_t(msecs >= 0 ? msecs / 1000 : (msecs - 999) / 1000);
    const std::tm clock = localClock(seconds);
    m_day = QDate(clock.tm_year + 1900, clock.tm_mon + 1, clock.tm_mday);
    // Midnight by the offset of this moment; the day keeps these bounds only when that offset holds from its
    // first second to its last, so no moment of another day can fall inside them.
    const std::time_t midnight = seconds - (clock.tm_hour * 3600 + clock.tm_min * 60 + clock.tm_sec);
    const std::tm first = localClock(midnight);
    const std::tm last = localClock(midnight + SecondsPerDay - 1);
    if (first.tm_gmtoff == clock.tm_gmtoff && last.tm_gmtoff == clock.tm_gmtoff && first.tm_mday == clock.tm_mday &&
        last.tm_mday == clock.tm_mday) {
        m_start = qint64(midnight) * 1000;
        m_end = m_start + SecondsPerDay * 1000;
    } else {
        m_start = m_end = 0;
    }
    return m_day;
}
