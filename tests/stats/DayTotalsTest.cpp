// The per-day totals read from the store, checked against each record's own local day (QDateTime's), on the
// nights clocks change, at midnights that never were or came twice, and a millisecond either side of midnight.
#include "StatsFixture.h"
#include "platform/LocalDayCache.h"
#include "stats/StatisticsManager.h"

#include <QMap>

namespace {

// What a day must add up to, worked out record by record.
struct DayTotal {
    qint64 words = 0;
    qint64 time = 0;
    QDateTime newest;
};

class DayTotalsTest : public StatsFixture {
protected:
    // One record at each moment, its words and seconds different for every record, so that a record counted
    // into the wrong day shows in the totals.
    void addRecords(const QList<QDateTime>& moments)
    {
        for (const QDateTime& moment : moments) {
            ++m_made;
            const qint64 words = m_made % 5 == 0 ? -m_made : m_made;
            addRecord(moment, m_made * 3, words);
            DayTotal& total = m_expected[moment.toLocalTime().date()];
            total.words += words;
            total.time += m_made * 3;
            if (!total.newest.isValid() || moment > total.newest)
                total.newest = moment.toUTC();
        }
    }

    // Moments every step from first to last, and each local midnight among them a millisecond before, at and
    // after it.
    static QList<QDateTime> sweep(const QDateTime& first, const QDateTime& last, qint64 stepSeconds)
    {
        QList<QDateTime> moments;
        for (QDateTime at = first; at <= last; at = at.addSecs(stepSeconds))
            moments.append(at);
        for (QDate day = first.toLocalTime().date().addDays(1); day <= last.toLocalTime().date();
             day = day.addDays(1)) {
            // A day a zone skipped has no midnight.
            const QDateTime midnight = QDateTime(day, QTime(0, 0)).toUTC();
            if (midnight.isValid())
                moments << midnight.addMSecs(-1) << midnight << midnight.addMSecs(1);
        }
        return moments;
    }

    QList<DayStat> storedDays()
    {
        return StatisticsManager::dayStats(context(), projectId, 0, true, std::nullopt,
                                           StatisticsManager::RecordFields::FiguresOnly);
    }

    // The roll-up from the store holds exactly the expected days, newest first, each named by its newest record.
    void expectTotals(const QList<DayStat>& days)
    {
        ASSERT_EQ(days.size(), m_expected.size());
        auto expected = m_expected.constEnd();
        for (const DayStat& day : days) {
            --expected;
            SCOPED_TRACE(expected.key().toString(Qt::ISODate).toStdString());
            EXPECT_EQ(day.startTime(), expected->newest);
            EXPECT_EQ(day.wordCount(), expected->words);
            EXPECT_EQ(day.time(), expected->time);
            EXPECT_EQ(StatisticsManager::calendarDay(day.startTime()), expected.key());
        }
    }

    QMap<QDate, DayTotal> m_expected;

private:
    qint64 m_made = 0;
};

TEST_F(DayTotalsTest, berlinNightsTheClocksChange)
{
    TimeZoneGuard zone("Europe/Berlin");
    // Every 7 minutes and 13 seconds from two days before each change to two days after.
    addRecords(sweep(local(2026, 3, 27, 0, 0), local(2026, 3, 31, 23, 0), 433));
    addRecords(sweep(local(2026, 10, 23, 0, 0), local(2026, 10, 27, 23, 0), 433));
    save();
    ASSERT_NO_FATAL_FAILURE(expectTotals(storedDays()));
    EXPECT_EQ(m_expected.size(), 10);
}

TEST_F(DayTotalsTest, santiagoMidnightsThatNeverWereOrCameTwice)
{
    // Chile turns its clocks at midnight: back to 23:00 on 5 April 2026, on to 01:00 on 6 September 2026.
    TimeZoneGuard zone("America/Santiago");
    const QDateTime aprilChange = QDateTime(QDate(2026, 4, 5), QTime(3, 0), Qt::UTC);
    const QDateTime septemberChange = QDateTime(QDate(2026, 9, 6), QTime(4, 0), Qt::UTC);
    ASSERT_EQ(aprilChange.addSecs(-1).toLocalTime().offsetFromUtc(), -3 * 3600);
    ASSERT_EQ(aprilChange.toLocalTime().offsetFromUtc(), -4 * 3600);
    ASSERT_EQ(septemberChange.toLocalTime().time(), QTime(1, 0));
    addRecords(sweep(aprilChange.addDays(-2), aprilChange.addDays(2), 311));
    addRecords(sweep(septemberChange.addDays(-2), septemberChange.addDays(2), 311));
    // The last second before each change and the first after it.
    addRecords({aprilChange.addMSecs(-1), aprilChange, septemberChange.addMSecs(-1), septemberChange});
    save();
    ASSERT_NO_FATAL_FAILURE(expectTotals(storedDays()));
}

TEST_F(DayTotalsTest, apiaSkippedAWholeDay)
{
    // Samoa went from the end of 29 December 2011 straight to 31 December.
    TimeZoneGuard zone("Pacific/Apia");
    const QDateTime skip = QDateTime(QDate(2011, 12, 30), QTime(10, 0), Qt::UTC);
    ASSERT_EQ(skip.addMSecs(-1).toLocalTime().date(), QDate(2011, 12, 29));
    ASSERT_EQ(skip.toLocalTime().date(), QDate(2011, 12, 31));
    addRecords(sweep(skip.addDays(-2), skip.addDays(2), 617));
    addRecords({skip.addMSecs(-1), skip});
    save();
    ASSERT_NO_FATAL_FAILURE(expectTotals(storedDays()));
    EXPECT_FALSE(m_expected.contains(QDate(2011, 12, 30)));
}

TEST_F(DayTotalsTest, halfHourZoneMidnightToTheMillisecond)
{
    TimeZoneGuard zone("Asia/Kolkata");
    const QDateTime midnight = local(2026, 6, 1, 0, 0).toUTC();
    ASSERT_EQ(midnight.time(), QTime(18, 30));
    addRecords({midnight.addMSecs(-1), midnight, midnight.addDays(-1), midnight.addDays(-1).addMSecs(-1)});
    save();
    ASSERT_NO_FATAL_FAILURE(expectTotals(storedDays()));
    EXPECT_EQ(m_expected.size(), 3);
}

TEST_F(DayTotalsTest, unsavedRecordsAreCountedAndOneWithoutAStartIsNot)
{
    TimeZoneGuard zone("Europe/Berlin");
    addRecords(sweep(local(2026, 3, 28, 20, 0), local(2026, 3, 29, 4, 0), 1800));
    save();
    // Pending records are read from memory, as a fetch sees them.
    addRecords({local(2026, 3, 29, 0, 0), local(2026, 3, 30, 9, 0)});
    addRecord(QDateTime(), 500, 500);
    ASSERT_TRUE(context()->hasChanges());
    ASSERT_NO_FATAL_FAILURE(expectTotals(storedDays()));
    save();
    ASSERT_NO_FATAL_FAILURE(expectTotals(storedDays()));
}

TEST_F(DayTotalsTest, aRecordWithoutFiguresCountsAsNoWordsAndNoTime)
{
    addRecord(local(2026, 3, 10, 9), 60, 50);
    ProjectStat* blank = addRecord(local(2026, 3, 10, 10), 0, 0);
    blank->setValue(ProjectStat::TimeKey, QVariant());
    blank->setValue(ProjectStat::WordCountKey, QVariant());
    for (int pass = 0; pass < 2; ++pass) {
        // Pending first, then read from the file.
        const QList<DayStat> days = storedDays();
        ASSERT_EQ(days.size(), 1) << pass;
        EXPECT_EQ(days[0].wordCount(), 50) << pass;
        EXPECT_EQ(days[0].time(), 60) << pass;
        EXPECT_EQ(days[0].startTime(), local(2026, 3, 10, 10).toUTC()) << pass;
        save();
    }
}

TEST_F(DayTotalsTest, aRecordWithoutAStartAmongOthersIsPassedOverNotTheEnd)
{
    const auto record = [&](const QDateTime& start, qint64 words) {
        return DayStat(projectId, QStringLiteral("CARD-1"), start.toUTC(), 60, QStringLiteral("R"), words);
    };
    const QList<DayStat> days = StatisticsManager::dayStats(
        {record(local(2026, 3, 10), 5), record(QDateTime(), 7), record(local(2026, 3, 9), 11)}, 0, true);
    ASSERT_EQ(days.size(), 2);
    EXPECT_EQ(days[0].wordCount() + days[1].wordCount(), 16);
}

TEST_F(DayTotalsTest, aDayMetAgainAfterAnotherKeepsOneEntry)
{
    const auto record = [&](const QDateTime& start, qint64 words) {
        return DayStat(projectId, QStringLiteral("CARD-1"), start.toUTC(), 60, QStringLiteral("R"), words);
    };
    const QList<DayStat> days = StatisticsManager::dayStats(
        {record(local(2026, 3, 10, 15), 5), record(local(2026, 3, 9), 11), record(local(2026, 3, 10, 9), 7)}, 0, true);
    ASSERT_EQ(days.size(), 2);
    EXPECT_EQ(days[0].wordCount(), 12);
    EXPECT_EQ(days[0].time(), 120);
    EXPECT_EQ(days[1].wordCount(), 11);
}

TEST_F(DayTotalsTest, goalStopsAfterTheRecordThatPassesItAsRecordByRecord)
{
    addRecord(local(2026, 3, 10, 9), 60, 50);
    addRecord(local(2026, 3, 10, 8), 60, 49);
    addRecord(local(2026, 3, 9), 60, 1);
    addRecord(local(2026, 3, 8), 60, 70);
    save();
    const auto fromStore = [&](qint64 limit) {
        return StatisticsManager::dayStats(context(), projectId, limit, false, std::nullopt,
                                           StatisticsManager::RecordFields::FiguresOnly);
    };
    // 99 words reach a goal of 99 without passing it; the next record passes it and is the last taken.
    EXPECT_EQ(fromStore(99).size(), 2);
    EXPECT_EQ(fromStore(100).size(), 3);
    EXPECT_EQ(fromStore(98).size(), 1);
    const QList<DayStat> records = StatisticsManager::fetchRecords(context(), projectId);
    for (qint64 limit : {98, 99, 100, 1000}) {
        const QList<DayStat> expected = StatisticsManager::dayStats(records, limit, false);
        const QList<DayStat> days = fromStore(limit);
        ASSERT_EQ(days.size(), expected.size()) << limit;
        EXPECT_EQ(days.last().wordCount(), expected.last().wordCount()) << limit;
    }
}

TEST_F(DayTotalsTest, dayListsCountTheWritersDaysAcrossAMidnightThatNeverWas)
{
    TimeZoneGuard zone("America/Santiago");
    // The 5th, 6th (which began at 01:00) and 7th of September 2026.
    addRecords({QDateTime(QDate(2026, 9, 6), QTime(3, 59, 59, 999), Qt::UTC),
                QDateTime(QDate(2026, 9, 6), QTime(4, 0), Qt::UTC), local(2026, 9, 7, 12)});
    save();
    const QList<DayStat> days = storedDays();
    ASSERT_EQ(days.size(), 3);
    EXPECT_EQ(StatisticsManager::longestStreak(days), 3);
    const qint64 sixth = m_expected.value(QDate(2026, 9, 6)).words;
    // The 6th ran from 04:00 to 03:00 the next morning, UTC.
    EXPECT_EQ(StatisticsManager::todaysWords(days, QDateTime(QDate(2026, 9, 6), QTime(4, 0), Qt::UTC)), sixth);
    EXPECT_EQ(StatisticsManager::todaysWords(days, QDateTime(QDate(2026, 9, 7), QTime(2, 59), Qt::UTC)), sixth);
    // From the 5th to the 7th: three calendar days.
    EXPECT_EQ(StatisticsManager::averageTimePerDay(days, local(2026, 9, 7, 18)),
              StatisticsManager::totalTime(days) / 3);
}

// The cache answers as QDateTime does whatever order the moments come in, not only newest first.
TEST(LocalDayCacheTest, aDaysBoundsAreItsOwnMidnightsToTheMillisecond)
{
    TimeZoneGuard zone("Europe/Berlin");
    const auto msecs = [](int month, int day, int hour, int minute = 0) {
        return QDateTime(QDate(2026, month, day), QTime(hour, minute)).toMSecsSinceEpoch();
    };
    LocalDayCache days;
    EXPECT_EQ(days.dayOf(msecs(6, 10, 12)), QDate(2026, 6, 10));
    EXPECT_EQ(days.dayOf(msecs(6, 11, 0)), QDate(2026, 6, 11));
    EXPECT_EQ(days.dayOf(msecs(6, 11, 0) - 1), QDate(2026, 6, 10));
    EXPECT_EQ(days.dayOf(msecs(6, 10, 0)), QDate(2026, 6, 10));
    EXPECT_EQ(days.dayOf(msecs(6, 10, 0) - 1), QDate(2026, 6, 9));
    EXPECT_EQ(days.dayOf(msecs(6, 10, 12)), QDate(2026, 6, 10));
    EXPECT_EQ(days.dayOf(msecs(6, 11, 0)), QDate(2026, 6, 11));
    // The 29th of March has 23 hours, the 25th of October 25.
    EXPECT_EQ(days.dayOf(msecs(3, 29, 23, 59)), QDate(2026, 3, 29));
    EXPECT_EQ(days.dayOf(msecs(3, 30, 0)), QDate(2026, 3, 30));
    EXPECT_EQ(days.dayOf(msecs(3, 29, 0)), QDate(2026, 3, 29));
    EXPECT_EQ(days.dayOf(msecs(3, 29, 0) - 1), QDate(2026, 3, 28));
    EXPECT_EQ(days.dayOf(msecs(10, 25, 23, 59)), QDate(2026, 10, 25));
    EXPECT_EQ(days.dayOf(msecs(10, 26, 0)), QDate(2026, 10, 26));
    EXPECT_EQ(days.dayOf(msecs(10, 26, 0) - 1), QDate(2026, 10, 25));
    EXPECT_EQ(days.dayOf(msecs(10, 25, 0) - 1), QDate(2026, 10, 24));
}

// Bounds worked out from a moment on one side of a change would reach into a neighbouring day.
TEST(LocalDayCacheTest, aDayTheClocksChangeNeverStretchesOverItsNeighbours)
{
    TimeZoneGuard zone("Europe/Berlin");
    const auto utc = [](int month, int day, int hour, int minute = 0) {
        return QDateTime(QDate(2026, month, day), QTime(hour, minute), Qt::UTC).toMSecsSinceEpoch();
    };
    LocalDayCache days;
    // 01:00 winter time on the 29th of March, then 00:30 summer time on the 30th.
    EXPECT_EQ(days.dayOf(utc(3, 29, 0)), QDate(2026, 3, 29));
    EXPECT_EQ(days.dayOf(utc(3, 29, 22, 30)), QDate(2026, 3, 30));
    // Noon summer time on the 29th, then 23:30 winter time on the 28th.
    EXPECT_EQ(days.dayOf(utc(3, 29, 10)), QDate(2026, 3, 29));
    EXPECT_EQ(days.dayOf(utc(3, 28, 22, 30)), QDate(2026, 3, 28));
    // 01:00 summer time on the 25th of October, then 23:30 summer time on the 24th.
    EXPECT_EQ(days.dayOf(utc(10, 24, 23)), QDate(2026, 10, 25));
    EXPECT_EQ(days.dayOf(utc(10, 24, 21, 30)), QDate(2026, 10, 24));
    // Noon winter time on the 25th, then 00:30 on the 26th.
    EXPECT_EQ(days.dayOf(utc(10, 25, 11)), QDate(2026, 10, 25));
    EXPECT_EQ(days.dayOf(utc(10, 25, 23, 30)), QDate(2026, 10, 26));
    // An ordinary day, then the day of a change, then the ordinary day again.
    EXPECT_EQ(days.dayOf(utc(3, 27, 11)), QDate(2026, 3, 27));
    EXPECT_EQ(days.dayOf(utc(3, 29, 10)), QDate(2026, 3, 29));
    EXPECT_EQ(days.dayOf(utc(3, 27, 12)), QDate(2026, 3, 27));
}

TEST(LocalDayCacheTest, aDayThatBeganAnHourLateKeepsTheHourBeforeOutside)
{
    TimeZoneGuard zone("America/Santiago");
    // The 6th of September 2026 began at 01:00, 04:00 UTC; the second before was still the 5th.
    const qint64 began = QDateTime(QDate(2026, 9, 6), QTime(4, 0), Qt::UTC).toMSecsSinceEpoch();
    LocalDayCache days;
    EXPECT_EQ(days.dayOf(began + 90 * 60 * 1000), QDate(2026, 9, 6));
    EXPECT_EQ(days.dayOf(began - 1), QDate(2026, 9, 5));
    EXPECT_EQ(days.dayOf(began), QDate(2026, 9, 6));
    EXPECT_EQ(days.dayOf(began - 3600 * 1000), QDate(2026, 9, 5));
    // The 5th, whole, ran from 04:00 UTC on the 5th.
    EXPECT_EQ(days.dayOf(began - 24 * 3600 * 1000), QDate(2026, 9, 5));
    EXPECT_EQ(days.dayOf(began - 24 * 3600 * 1000 - 1), QDate(2026, 9, 4));
}

// QDateTime takes up the zone before each conversion; a zone set since the last conversion counts at once.
TEST(LocalDayCacheTest, takesUpAZoneSetSinceTheLastConversion)
{
    TimeZoneGuard zone("UTC");
    const qint64 noon = QDateTime(QDate(2026, 6, 10), QTime(12, 0), Qt::UTC).toMSecsSinceEpoch();
    ASSERT_EQ(LocalDayCache().dayOf(noon), QDate(2026, 6, 10));
    ::setenv("TZ", "Pacific/Kiritimati", 1);
    EXPECT_EQ(LocalDayCache().dayOf(noon), QDate(2026, 6, 11));
}

TEST(LocalDayCacheTest, momentsBefore1970RoundDownToTheirSecond)
{
    TimeZoneGuard zone("UTC");
    LocalDayCache days;
    EXPECT_EQ(days.dayOf(0), QDate(1970, 1, 1));
    EXPECT_EQ(days.dayOf(-1), QDate(1969, 12, 31));
    EXPECT_EQ(days.dayOf(-999), QDate(1969, 12, 31));
    EXPECT_EQ(days.dayOf(-86400 * 1000), QDate(1969, 12, 31));
    EXPECT_EQ(days.dayOf(-86400 * 1000 - 1), QDate(1969, 12, 30));
}

} // namespace
