// Local dates travel to the file as seconds since 1970 worked out from localtime_r(): every date must come out as
// QDateTime itself would convert it, and dates near a change of the zone's offset must be left to QDateTime.
#include "platform/store/LocalTimeConversion.h"
#include "RequiredTools.h"
#include "TimeZoneGuard.h"
#include "platform/store/StoreValue.h"

#include <QDateTime>
#include <QFile>
#include <gtest/gtest.h>

namespace {

constexpr qint64 Day = 24 * 3600;

qint64 utcSeconds(int year, int month, int day, int hour, int minute = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute), Qt::UTC).toSecsSinceEpoch();
}

QDateTime localAt(qint64 seconds, int msecs = 0)
{
    return QDateTime::fromMSecsSinceEpoch(seconds * 1000 + msecs, Qt::LocalTime);
}

struct Sweep {
    int converted = 0;
    int leftToQt = 0;
};

// Every step through a span: the store's seconds equal QDateTime's own, and a date converted here equals them too.
Sweep sweep(qint64 from, qint64 to, qint64 step)
{
    Sweep result;
    for (qint64 seconds = from; seconds <= to; seconds += step) {
        const QDateTime date = localAt(seconds, 789);
        const qint64 expected = date.toMSecsSinceEpoch();
        EXPECT_EQ(expected, seconds * 1000 + 789) << seconds;
        EXPECT_EQ(StoreValue::toDouble(date), double(expected) / 1000.0) << seconds;
        const std::optional<qint64> converted = LocalTimeConversion::msecsSinceEpoch(date);
        if (converted) {
            EXPECT_EQ(*converted, expected) << seconds;
            ++result.converted;
        } else {
            ++result.leftToQt;
        }
    }
    return result;
}

} // namespace

TEST(LocalTimeConversionTest, everyHourOfAYearInZonesWithOddOffsetsMatchesQDateTime)
{
    // Half-hour summer time, an offset off the hour, summer time in winter, a zone without changes, and UTC.
    for (const char* zone : {"Europe/Berlin", "Australia/Lord_Howe", "America/St_Johns", "Europe/Dublin",
                             "America/Santiago", "Asia/Kolkata", "UTC"}) {
        TimeZoneGuard guard(zone);
        const Sweep result = sweep(utcSeconds(2026, 1, 1, 0), utcSeconds(2027, 1, 1, 0), 3607);
        EXPECT_GT(result.converted, 8000) << zone;
        const bool changesClocks = std::string(zone) != "Asia/Kolkata" && std::string(zone) != "UTC";
        // Two changes a year, each leaving four days to QDateTime; none where the clocks never change.
        if (changesClocks)
            EXPECT_GT(result.leftToQt, 2 * 4 * 24 - 10) << zone;
        else
            EXPECT_EQ(result.leftToQt, 0) << zone;
    }
}

TEST(LocalTimeConversionTest, skippedDayAndDatesBefore1970MatchQDateTime)
{
    TimeZoneGuard samoa("Pacific/Apia");
    // Samoa went from UTC-10 to UTC+14 and left out 30 December 2011.
    const Sweep skipped = sweep(utcSeconds(2011, 12, 25, 0), utcSeconds(2012, 1, 5, 0), 1201);
    EXPECT_GT(skipped.converted, 0);
    EXPECT_GT(skipped.leftToQt, 0);
    TimeZoneGuard berlin("Europe/Berlin");
    const Sweep old = sweep(utcSeconds(1969, 6, 1, 0), utcSeconds(1969, 8, 1, 0), 3599);
    EXPECT_GT(old.converted, 1400);
}

TEST(LocalTimeConversionTest, leavesToQDateTimeExactlyTheTwoDaysEitherSideOfAChange)
{
    TimeZoneGuard guard("Europe/Berlin");
    // Clocks went forward at 01:00 UTC on 29 March 2026.
    const qint64 change = utcSeconds(2026, 3, 29, 1);
    for (const qint64 seconds : {change - 2 * Day - 1, change + 2 * Day}) {
        const std::optional<qint64> converted = LocalTimeConversion::msecsSinceEpoch(localAt(seconds, 5));
        ASSERT_TRUE(converted) << seconds - change;
        EXPECT_EQ(*converted, seconds * 1000 + 5);
    }
    for (const qint64 seconds : {change - 2 * Day, change - 1, change, change + 2 * Day - 1})
        EXPECT_FALSE(LocalTimeConversion::msecsSinceEpoch(localAt(seconds))) << seconds - change;
}

TEST(LocalTimeConversionTest, wallClockTimesThatNameNoMomentOrTwoAreLeftToQDateTime)
{
    TimeZoneGuard guard("Europe/Berlin");
    const QDateTime skipped(QDate(2026, 3, 29), QTime(2, 30), Qt::LocalTime);
    const QDateTime repeated(QDate(2026, 10, 25), QTime(2, 30), Qt::LocalTime);
    EXPECT_FALSE(LocalTimeConversion::msecsSinceEpoch(skipped));
    EXPECT_FALSE(LocalTimeConversion::msecsSinceEpoch(repeated));
    // Of the two moments 02:30 names that night, QDateTime's choice is stored.
    ASSERT_TRUE(repeated.isValid());
    EXPECT_EQ(StoreValue::toDouble(repeated), double(repeated.toMSecsSinceEpoch()) / 1000.0);
}

TEST(LocalTimeConversionTest, onlyValidLocalDatesAreConvertedHere)
{
    TimeZoneGuard guard("America/St_Johns");
    const qint64 summer = utcSeconds(2026, 7, 1, 12, 34);
    EXPECT_FALSE(LocalTimeConversion::msecsSinceEpoch(QDateTime::fromSecsSinceEpoch(summer, Qt::UTC)));
    EXPECT_FALSE(LocalTimeConversion::msecsSinceEpoch(QDateTime::fromSecsSinceEpoch(summer, Qt::OffsetFromUTC, 3600)));
    EXPECT_FALSE(LocalTimeConversion::msecsSinceEpoch(QDateTime()));
    EXPECT_EQ(StoreValue::toDouble(QDateTime()), 0.0);
    EXPECT_EQ(StoreValue::toDouble(QDateTime::fromSecsSinceEpoch(summer, Qt::OffsetFromUTC, 3600)), double(summer));
    EXPECT_EQ(LocalTimeConversion::msecsSinceEpoch(localAt(summer)).value_or(-1), summer * 1000);
}

TEST(LocalTimeConversionTest, zonesThatCountLeapSecondsAreLeftToQDateTime)
{
    if (!QFile::exists(QStringLiteral("/usr/share/zoneinfo/right/Europe/Berlin")))
        MISSING_TOOL("the leap-second zone files are not installed: run scripts/deps (tzdata)");
    // There the C library's seconds include every leap second, and no offset turns a wall clock into them.
    TimeZoneGuard guard("right/Europe/Berlin");
    const Sweep result = sweep(utcSeconds(2026, 1, 1, 0), utcSeconds(2026, 2, 1, 0), 3607);
    EXPECT_EQ(result.converted, 0);
    EXPECT_GT(result.leftToQt, 700);
}
