#include "LocalTimeConversion.h"

#include <QDateTime>
#include <ctime>

namespace {

constexpr qint64 SecondsPerDay = 24 * 3600;
constexpr qint64 JulianDayOf1970 = 2440588;
// Offsets differ by 26 hours at most (UTC-12 to UTC+14), so a wall-clock time can name no moment further than that
// from the one found; and no zone changes its offset and back within two days (the shortest such excursion in the
// time zone database lasts almost four). An offset equal two days either side therefore holds all the way between.
constexpr qint64 SteadyWindow = 2 * SecondsPerDay;

// A date and time of day as whole seconds counted as if the wall clock were UTC.
qint64 wallSeconds(const QDate& date, qint64 secondsOfDay)
{
    return (date.toJulianDay() - JulianDayOf1970) * SecondsPerDay + secondsOfDay;
}

struct Reading {
    qint64 wall = 0;
    long offset = 0;
};

// The wall clock and the zone's offset from UTC at a moment, as localtime_r() reads them from the zone the last
// tzset() took up; QDateTime takes the zone up again each time it makes a local date, the one converted included.
std::optional<Reading> readingAt(qint64 seconds)
{
    const std::time_t moment = std::time_t(seconds);
    std::tm clock{};
    if (!localtime_r(&moment, &clock))
        return std::nullopt;
    const QDate date(clock.tm_year + 1900, clock.tm_mon + 1, clock.tm_mday);
    return Reading{wallSeconds(date, clock.tm_hour * 3600 + clock.tm_min * 60 + clock.tm_sec), clock.tm_gmtoff};
}

bool offsetIs(qint64 seconds, long offset)
{
    const std::optional<Reading> reading = readingAt(seconds);
    return reading && reading->offset == offset;
}

} // namespace

std::optional<qint64> LocalTimeConversion::msecsSinceEpoch(const QDateTime& local)
{
    if (!local.isValid() || local.timeSpec() != Qt::LocalTime)
        return std::nullopt;
    // date() and time() only take the stored wall clock apart.
    const qint64 msecsOfDay = local.time().msecsSinceStartOfDay();
    const qint64 wall = wallSeconds(local.date(), msecsOfDay / 1000);
    // The offset at the wall clock taken as UTC is a guess, right unless the offset changes within a day; where it
    // does, the window below leaves the date to QDateTime anyway.
    std::optional<Reading> reading = readingAt(wall);
    if (reading && reading->wall != wall)
        reading = readingAt(wall - reading->offset);
    if (!reading || reading->wall != wall)
        return std::nullopt;
    const qint64 seconds = wall - reading->offset;
    if (!offsetIs(seconds - SteadyWindow, reading->offset) || !offsetIs(seconds + SteadyWindow, reading->offset))
        return std::nullopt;
    return seconds * 1000 + msecsOfDay % 1000;
}
