#include "stats/StatisticsManager.h"
#include "StatsFixture.h"

#include <QStringList>

namespace {

class StatisticsManagerTest : public StatsFixture {
protected:
    QList<DayStat> allDays() { return StatisticsManager::dayStats(records(), 0, true); }
    QList<DayStat> records() { return StatisticsManager::fetchRecords(context(), projectId); }

    // One record at noon on each given day of March 2026, with the given words.
    void addMarchDays(const QList<QPair<int, qint64>>& dayAndWords)
    {
        for (const auto& [day, words] : dayAndWords)
            addRecord(local(2026, 3, day), 60, words);
        ASSERT_NO_FATAL_FAILURE(save());
    }
};

DayStat unsavedAt(const QDateTime& start, qint64 seconds, qint64 words)
{
    return DayStat(QStringLiteral("PROJECT-1"), QStringLiteral("CARD-9"), start.toUTC(), seconds,
                   QStringLiteral("UNSAVED"), words);
}

TEST_F(StatisticsManagerTest, emptyProjectHasNoFiguresAndNoInformationTexts)
{
    const QDateTime now = local(2026, 3, 20);
    const StatisticsReport report = StatisticsManager::report(context(), projectId, std::nullopt, now);
    EXPECT_TRUE(report.days.isEmpty());
    EXPECT_EQ(report.todaysWords, 0);
    EXPECT_EQ(report.wordsPerDay, 0);
    EXPECT_EQ(report.streakDays, 0);
    EXPECT_EQ(report.wordsTrend, 0);
    EXPECT_EQ(report.timeTrend, 0);
    EXPECT_EQ(report.totalTime, 0);
    EXPECT_EQ(report.daysSpent, 0);
    EXPECT_EQ(report.averageTimePerDay, 0);
    EXPECT_EQ(report.pages, 0);
    EXPECT_EQ(report.readingTimeText, QStringLiteral("0 Minutes"));
    EXPECT_EQ(report.busiestDayText, QStringLiteral("No information yet"));
    EXPECT_EQ(report.mostProductiveDayText, QStringLiteral("No information yet"));
}

TEST_F(StatisticsManagerTest, recordsOfOneDayBecomeOneDayNamedByTheNewest)
{
    addRecord(local(2026, 3, 10, 9), 100, 40, QStringLiteral("OLDER"));
    addRecord(local(2026, 3, 10, 15), 200, 60, QStringLiteral("NEWER"));
    ASSERT_NO_FATAL_FAILURE(save());
    const QList<DayStat> days = allDays();
    ASSERT_EQ(days.size(), 1);
    EXPECT_EQ(days[0].time(), 300);
    EXPECT_EQ(days[0].wordCount(), 100);
    EXPECT_EQ(days[0].uniqueIdentifier(), QStringLiteral("NEWER"));
    EXPECT_EQ(days[0].startTime(), local(2026, 3, 10, 15).toUTC());
}

TEST_F(StatisticsManagerTest, goalLimitStopsAfterTheRecordThatPassesIt)
{
    addMarchDays({{10, 60}, {9, 30}, {8, 20}, {7, 500}});
    const QList<DayStat> days = StatisticsManager::dayStats(records(), 100, false);
    ASSERT_EQ(days.size(), 3);
    EXPECT_EQ(days.last().wordCount(), 20);
}

TEST_F(StatisticsManagerTest, noGoalStopsAtTheFirstPositiveTotal)
{
    addMarchDays({{10, -10}, {9, 15}, {8, 7}});
    const QList<DayStat> days = StatisticsManager::dayStats(records(), 0, false);
    ASSERT_EQ(days.size(), 2);
    EXPECT_EQ(days[0].wordCount(), -10);
    EXPECT_EQ(days[1].wordCount(), 15);
}

TEST_F(StatisticsManagerTest, recordWithoutStartTimeIsSkippedAndDoesNotCountTowardTheGoal)
{
    addRecord(local(2026, 3, 10), 60, 50);
    addRecord(QDateTime(), 60, 1000);
    addRecord(local(2026, 3, 9), 60, 60);
    addRecord(local(2026, 3, 8), 60, 70);
    ASSERT_NO_FATAL_FAILURE(save());
    const QList<DayStat> days = StatisticsManager::dayStats(records(), 100, false);
    ASSERT_EQ(days.size(), 2);
    EXPECT_EQ(days[0].wordCount() + days[1].wordCount(), 110);
}

TEST_F(StatisticsManagerTest, unsavedStretchIsPlacedInDateOrderNotFirst)
{
    addMarchDays({{10, 50}, {8, 30}});
    const QList<DayStat> days =
        StatisticsManager::dayStats(records(), 0, true, unsavedAt(local(2026, 3, 9, 8), 120, 25));
    ASSERT_EQ(days.size(), 3);
    EXPECT_EQ(days[0].wordCount(), 50);
    EXPECT_EQ(days[1].uniqueIdentifier(), QStringLiteral("UNSAVED"));
    EXPECT_EQ(days[2].wordCount(), 30);
}

TEST_F(StatisticsManagerTest, unsavedStretchOnAKnownDayIsAddedIntoIt)
{
    addMarchDays({{10, 50}, {8, 30}});
    const QList<DayStat> days =
        StatisticsManager::dayStats(records(), 0, true, unsavedAt(local(2026, 3, 8, 23, 30), 120, 25));
    ASSERT_EQ(days.size(), 2);
    EXPECT_EQ(days[1].wordCount(), 55);
    EXPECT_EQ(days[1].time(), 180);
}

TEST_F(StatisticsManagerTest, newestUnsavedStretchComesFirstAndOneWithoutStartIsIgnored)
{
    addMarchDays({{10, 50}});
    QList<DayStat> days = StatisticsManager::dayStats(records(), 0, true, unsavedAt(local(2026, 3, 11), 5, 7));
    ASSERT_EQ(days.size(), 2);
    EXPECT_EQ(days[0].uniqueIdentifier(), QStringLiteral("UNSAVED"));
    days = StatisticsManager::dayStats(records(), 0, true, unsavedAt(QDateTime(), 5, 7));
    ASSERT_EQ(days.size(), 1);
    EXPECT_EQ(days[0].wordCount(), 50);
}

TEST_F(StatisticsManagerTest, unsavedStretchOlderThanEveryDayComesLast)
{
    addMarchDays({{10, 50}, {8, 30}});
    const QList<DayStat> days =
        StatisticsManager::dayStats(records(), 0, true, unsavedAt(local(2026, 3, 7, 23, 59), 120, 25));
    ASSERT_EQ(days.size(), 3);
    EXPECT_EQ(days[0].wordCount(), 50);
    EXPECT_EQ(days[1].wordCount(), 30);
    EXPECT_EQ(days[2].uniqueIdentifier(), QStringLiteral("UNSAVED"));
    EXPECT_EQ(days[2].wordCount(), 25);
}

TEST_F(StatisticsManagerTest, averageDividesByTheDaysItSummed)
{
    addMarchDays({{10, 100}, {9, 300}, {8, 500}});
    // The newest day is left out of the sum, so it is left out of the count too: (300 + 500) / 2.
    EXPECT_EQ(StatisticsManager::averageWordsPerDay(allDays()), 400);
}

TEST_F(StatisticsManagerTest, averageOfASingleDayIsZero)
{
    addMarchDays({{10, 700}});
    EXPECT_EQ(StatisticsManager::averageWordsPerDay(allDays()), 0);
}

TEST_F(StatisticsManagerTest, averageOfTwoDaysIsTheOlderDay)
{
    addMarchDays({{10, 100}, {9, 300}});
    EXPECT_EQ(StatisticsManager::averageWordsPerDay(allDays()), 300);
}

TEST_F(StatisticsManagerTest, streakCountsNeighbouringWritingDays)
{
    addMarchDays({{5, 10}, {3, 10}, {2, 10}, {1, 10}});
    EXPECT_EQ(StatisticsManager::longestStreak(allDays()), 3);
}

TEST_F(StatisticsManagerTest, oneDayOfWritingIsAStreakOfOne)
{
    addMarchDays({{5, 10}});
    EXPECT_EQ(StatisticsManager::longestStreak(allDays()), 1);
}

TEST_F(StatisticsManagerTest, daysWithoutWordsGainedBreakTheStreak)
{
    addMarchDays({{4, 10}, {3, 0}, {2, -5}, {1, 10}});
    EXPECT_EQ(StatisticsManager::longestStreak(allDays()), 1);
}

TEST_F(StatisticsManagerTest, twoDaysApartAreAStreakOfOne)
{
    addMarchDays({{5, 10}, {3, 10}});
    EXPECT_EQ(StatisticsManager::longestStreak(allDays()), 1);
}

TEST_F(StatisticsManagerTest, trendsNeedSevenDays)
{
    addMarchDays({{6, 900}, {5, 10}, {4, 10}, {3, 10}, {2, 10}, {1, 10}});
    EXPECT_EQ(StatisticsManager::wordsTrend(allDays()), 0);
    EXPECT_EQ(StatisticsManager::timeTrend(allDays(), local(2026, 3, 6)), 0);
}

TEST_F(StatisticsManagerTest, wordsTrendWithoutOlderDaysIsSteadyNotRising)
{
    addMarchDays({{8, 500}, {7, 500}, {6, 500}, {5, 500}, {4, 500}, {3, 500}, {2, 500}, {1, 500}});
    EXPECT_EQ(StatisticsManager::wordsTrend(allDays()), 0);
}

TEST_F(StatisticsManagerTest, wordsTrendRisesWhenRecentDaysWriteMore)
{
    // Ten days; the two oldest are the days "older than a week": (7 × 500 + 2 × 100) / 9 = 411 against 100.
    QList<QPair<int, qint64>> rising;
    for (int day = 10; day >= 1; --day)
        rising.append({day, day >= 3 ? 500 : 100});
    addMarchDays(rising);
    EXPECT_EQ(StatisticsManager::wordsTrend(allDays()), 1);
}

TEST_F(StatisticsManagerTest, wordsTrendFallsWhenRecentDaysWriteLess)
{
    // (7 × 100 + 2 × 1000) / 9 = 300 against 1000.
    QList<QPair<int, qint64>> falling;
    for (int day = 10; day >= 1; --day)
        falling.append({day, day >= 3 ? 100 : 1000});
    addMarchDays(falling);
    EXPECT_EQ(StatisticsManager::wordsTrend(allDays()), -1);
}

TEST_F(StatisticsManagerTest, wordsTrendStaysSteadyWithinTenPercent)
{
    QList<QPair<int, qint64>> steady;
    for (int day = 10; day >= 1; --day)
        steady.append({day, day >= 3 ? 105 : 100});
    addMarchDays(steady);
    EXPECT_EQ(StatisticsManager::wordsTrend(allDays()), 0);
}

// Nine days, newest first: the newest is left out, the other eight make the recent average and the oldest alone
// the older one, 70, whose band is 7. A difference of exactly the band is still steady.
TEST_F(StatisticsManagerTest, wordsTrendMovesOnlyPastTheBand)
{
    auto trendWith = [](qint64 recentWords) {
        QList<DayStat> days{unsavedAt(local(2026, 3, 9), 60, 0)};
        for (int day = 8; day >= 2; --day)
            days.append(unsavedAt(local(2026, 3, day), 60, recentWords));
        days.append(unsavedAt(local(2026, 3, 1), 60, 70));
        return StatisticsManager::wordsTrend(days);
    };
    // (7 × 78 + 70) / 8 = 77: 7 above the older 70.
    EXPECT_EQ(trendWith(78), 0);
    // (7 × 80 + 70) / 8 = 78: 8 above.
    EXPECT_EQ(trendWith(80), 1);
    // (7 × 62 + 70) / 8 = 63: 7 below.
    EXPECT_EQ(trendWith(62), 0);
    // (7 × 60 + 70) / 8 = 61: 9 below.
    EXPECT_EQ(trendWith(60), -1);
}

TEST_F(StatisticsManagerTest, timeTrendComparesTheLastWeekWithTheWholeSpan)
{
    // Seven days of an hour (14th to 20th) and one minute on the 1st: 25260 s over 20 days is 1263 a day,
    // against 3600 a day this week.
    for (int day = 14; day <= 20; ++day)
        addRecord(local(2026, 3, day), 3600, 10);
    addRecord(local(2026, 3, 1), 60, 10);
    ASSERT_NO_FATAL_FAILURE(save());
    const QDateTime now = local(2026, 3, 20, 18);
    EXPECT_EQ(StatisticsManager::averageTimePerDay(allDays(), now), 1263);
    EXPECT_EQ(StatisticsManager::timeTrend(allDays(), now), 1);
}

TEST_F(StatisticsManagerTest, timeTrendFallsWhenThisWeekIsQuieter)
{
    for (int day = 14; day <= 20; ++day)
        addRecord(local(2026, 3, day), 60, 10);
    for (int day = 1; day <= 6; ++day)
        addRecord(local(2026, 3, day), 7200, 10);
    ASSERT_NO_FATAL_FAILURE(save());
    EXPECT_EQ(StatisticsManager::timeTrend(allDays(), local(2026, 3, 20, 18)), -1);
}

TEST_F(StatisticsManagerTest, timeTrendWithoutOlderDaysIsSteady)
{
    for (int day = 14; day <= 20; ++day)
        addRecord(local(2026, 3, day), 60 * day, 10);
    ASSERT_NO_FATAL_FAILURE(save());
    EXPECT_EQ(StatisticsManager::timeTrend(allDays(), local(2026, 3, 20, 18)), 0);
}

TEST_F(StatisticsManagerTest, timePerDayCountsToday)
{
    addRecord(local(2026, 3, 20, 9), 600, 10);
    ASSERT_NO_FATAL_FAILURE(save());
    EXPECT_EQ(StatisticsManager::averageTimePerDay(allDays(), local(2026, 3, 20, 18)), 600);
    addRecord(local(2026, 3, 18, 9), 600, 10);
    ASSERT_NO_FATAL_FAILURE(save());
    // The 18th, 19th and 20th.
    EXPECT_EQ(StatisticsManager::averageTimePerDay(allDays(), local(2026, 3, 20, 18)), 400);
}

TEST_F(StatisticsManagerTest, todaysWordsAreThoseOfTheWritersDay)
{
    addRecord(local(2026, 3, 19, 23, 30), 60, 1000);
    addRecord(local(2026, 3, 20, 0, 15), 60, 40);
    addRecord(local(2026, 3, 20, 23, 45), 60, 2);
    ASSERT_NO_FATAL_FAILURE(save());
    EXPECT_EQ(StatisticsManager::todaysWords(allDays(), local(2026, 3, 20, 12)), 42);
}

TEST_F(StatisticsManagerTest, readingTimeAtTwoHundredThirtyEightWordsAMinute)
{
    EXPECT_EQ(StatisticsManager::readingTimeText(0), QStringLiteral("0 Minutes"));
    EXPECT_EQ(StatisticsManager::readingTimeText(237), QStringLiteral("0 Minutes"));
    EXPECT_EQ(StatisticsManager::readingTimeText(238), QStringLiteral("1 Minute"));
    EXPECT_EQ(StatisticsManager::readingTimeText(476), QStringLiteral("2 Minutes"));
    EXPECT_EQ(StatisticsManager::readingTimeText(14280), QStringLiteral("1 Hour, 0 Minutes"));
    EXPECT_EQ(StatisticsManager::readingTimeText(65 * 238), QStringLiteral("1 Hour, 5 Minutes"));
    EXPECT_EQ(StatisticsManager::readingTimeText(121 * 238), QStringLiteral("2 Hours, 1 Minute"));
}

TEST_F(StatisticsManagerTest, aGoalOfOneWordIsAGoalLikeAnyOther)
{
    const QDateTime now = local(2026, 3, 20);
    EXPECT_DOUBLE_EQ(StatisticsManager::goalPercent(1, 1), 100);
    EXPECT_DOUBLE_EQ(StatisticsManager::goalPercent(5, 0), 0);
    EXPECT_EQ(StatisticsManager::summaryText(1, 1, 0, now), StatisticsManager::CompletedSummary);
    EXPECT_EQ(StatisticsManager::summaryText(1, 0, 0, now), StatisticsManager::NeverSummary.arg(0));
    EXPECT_EQ(StatisticsManager::summaryText(0, 0, 0, now), StatisticsManager::NoGoalSummary);
}

TEST_F(StatisticsManagerTest, storedRecordsComeNewestFirstAndOnlyTheProjectsOwn)
{
    addRecord(local(2026, 3, 10, 9), 60, 10, QStringLiteral("OLDER"));
    addRecord(local(2026, 3, 12, 9), 60, 20, QStringLiteral("NEWER"));
    addRecord(local(2026, 3, 11, 9), 60, 30, QStringLiteral("OTHER"))->setProjectId(QStringLiteral("PROJECT-2"));
    ASSERT_NO_FATAL_FAILURE(save());
    const QList<ProjectStat*> stats = StatisticsManager::fetchStats(context(), projectId);
    ASSERT_EQ(stats.size(), 2);
    EXPECT_EQ(stats[0]->uniqueIdentifier(), QStringLiteral("NEWER"));
    EXPECT_EQ(stats[1]->uniqueIdentifier(), QStringLiteral("OLDER"));
    EXPECT_TRUE(StatisticsManager::fetchStats(nullptr, projectId).isEmpty());
}

TEST_F(StatisticsManagerTest, pagesRoundHalvesUp)
{
    EXPECT_EQ(StatisticsManager::pageCount(331, 330), 1);
    EXPECT_EQ(StatisticsManager::pageCount(494, 330), 1);
    EXPECT_EQ(StatisticsManager::pageCount(495, 330), 2);
    EXPECT_EQ(StatisticsManager::pageCount(0, 330), 0);
}

TEST_F(StatisticsManagerTest, hostileWordsPerPageValuesFallBackTo330)
{
    for (const QString& value : {QStringLiteral("0"), QStringLiteral("-5"), QStringLiteral("abc"),
                                 QStringLiteral("1e400"), QStringLiteral("nan"), QStringLiteral(""),
                                 QStringLiteral("100001"), QStringLiteral("99999999999999999999999")}) {
        ASSERT_NO_FATAL_FAILURE(setSetting(SettingsHelper::WordsPerPageKey, value));
        EXPECT_EQ(StatisticsManager::wordsPerPage(context(), projectId), 330) << qPrintable(value);
    }
    ASSERT_NO_FATAL_FAILURE(setSetting(SettingsHelper::WordsPerPageKey, QStringLiteral("250")));
    EXPECT_EQ(StatisticsManager::wordsPerPage(context(), projectId), 250);
    ASSERT_NO_FATAL_FAILURE(setSetting(SettingsHelper::WordsPerPageKey, QStringLiteral("100000")));
    EXPECT_EQ(StatisticsManager::wordsPerPage(context(), projectId), 100000);
}

TEST_F(StatisticsManagerTest, missingWordsPerPageIs330)
{
    EXPECT_EQ(StatisticsManager::wordsPerPage(context(), projectId), 330);
}

TEST_F(StatisticsManagerTest, durationsSayHourOnlyForTheFirstHour)
{
    EXPECT_EQ(StatisticsManager::durationText(300), QStringLiteral("0 hours, 5 minutes"));
    EXPECT_EQ(StatisticsManager::durationText(60), QStringLiteral("0 hours, 1 minute"));
    EXPECT_EQ(StatisticsManager::durationText(3599), QStringLiteral("0 hours, 59 minutes"));
    EXPECT_EQ(StatisticsManager::durationText(3600), QStringLiteral("1 hour, 0 minutes"));
    EXPECT_EQ(StatisticsManager::durationText(3900), QStringLiteral("1 hour, 5 minutes"));
    EXPECT_EQ(StatisticsManager::durationText(7199), QStringLiteral("1 hour, 59 minutes"));
    EXPECT_EQ(StatisticsManager::durationText(7200), QStringLiteral("2 hours, 0 minutes"));
}

TEST_F(StatisticsManagerTest, busiestAndMostProductiveDaysNameTheirDay)
{
    addRecord(local(2026, 3, 18, 12), 3900, 1);
    addRecord(local(2026, 3, 17, 12), 600, 900);
    addRecord(local(2026, 3, 16, 12), 600, 900);
    ASSERT_NO_FATAL_FAILURE(save());
    const QDateTime now = local(2026, 3, 20, 12);
    EXPECT_EQ(StatisticsManager::busiestDayText(allDays(), now),
              QStringLiteral("Mar 18, 2026 (2 days ago) - 1 hour, 5 minutes"));
    // Of equal days the newest is named.
    EXPECT_EQ(StatisticsManager::mostProductiveDayText(allDays(), now),
              QStringLiteral("Mar 17, 2026 (3 days ago) - 900 words"));
}

TEST_F(StatisticsManagerTest, oneWordIsSingular)
{
    addRecord(local(2026, 3, 18, 12), 60, 1);
    ASSERT_NO_FATAL_FAILURE(save());
    EXPECT_TRUE(StatisticsManager::mostProductiveDayText(allDays(), local(2026, 3, 20, 12))
                    .endsWith(QStringLiteral(" - 1 word")));
}

TEST_F(StatisticsManagerTest, reportCountsPagesAndReadingTimeFromTheProjectsWords)
{
    addStoryCard(14280);
    ASSERT_NO_FATAL_FAILURE(setSetting(SettingsHelper::WordsPerPageKey, QStringLiteral("250")));
    addMarchDays({{20, 100}, {19, 200}, {18, 300}});
    const StatisticsReport report = StatisticsManager::report(
        context(), projectId, unsavedAt(local(2026, 3, 20, 15), 30, 5), local(2026, 3, 20, 18));
    EXPECT_EQ(report.cardStats.wordCount, 14280);
    EXPECT_EQ(report.pages, 57);
    EXPECT_EQ(report.readingTimeText, QStringLiteral("1 Hour, 0 Minutes"));
    EXPECT_EQ(report.todaysWords, 105);
    EXPECT_EQ(report.wordsPerDay, 250);
    EXPECT_EQ(report.streakDays, 3);
    EXPECT_EQ(report.daysSpent, 3);
    EXPECT_EQ(report.totalTime, 210);
}

// The nights the clocks change in Berlin in 2026: the last Sundays of March (29th) and October (25th).

TEST_F(StatisticsManagerTest, streakSurvivesTheNightClocksGoForward)
{
    TimeZoneGuard zone("Europe/Berlin");
    ASSERT_EQ(local(2026, 3, 28).offsetFromUtc(), 3600);
    ASSERT_EQ(local(2026, 3, 30).offsetFromUtc(), 7200);
    for (int day = 27; day <= 31; ++day)
        addRecord(local(2026, 3, day, 23, 30), 60, 10);
    ASSERT_NO_FATAL_FAILURE(save());
    EXPECT_EQ(StatisticsManager::longestStreak(allDays()), 5);
    EXPECT_EQ(allDays().size(), 5);
}

TEST_F(StatisticsManagerTest, streakSurvivesTheNightClocksGoBack)
{
    TimeZoneGuard zone("Europe/Berlin");
    ASSERT_EQ(local(2026, 10, 24).offsetFromUtc(), 7200);
    ASSERT_EQ(local(2026, 10, 26).offsetFromUtc(), 3600);
    for (int day = 23; day <= 27; ++day)
        addRecord(local(2026, 10, day, 0, 30), 60, 10);
    ASSERT_NO_FATAL_FAILURE(save());
    EXPECT_EQ(StatisticsManager::longestStreak(allDays()), 5);
}

TEST_F(StatisticsManagerTest, recordsJustAfterLocalMidnightBelongToTheLocalDay)
{
    TimeZoneGuard zone("Europe/Berlin");
    ASSERT_EQ(local(2026, 10, 25, 0, 30).toUTC().date(), QDate(2026, 10, 24));
    // 00:30 in Berlin is still the day before in UTC.
    addRecord(local(2026, 10, 25, 0, 30), 60, 10);
    addRecord(local(2026, 10, 25, 23, 30), 60, 20);
    addRecord(local(2026, 10, 24, 23, 59), 60, 40);
    ASSERT_NO_FATAL_FAILURE(save());
    const QList<DayStat> days = allDays();
    ASSERT_EQ(days.size(), 2);
    EXPECT_EQ(days[0].wordCount(), 30);
    EXPECT_EQ(StatisticsManager::todaysWords(days, local(2026, 10, 25, 12)), 30);
    // The 25th has 25 hours; the average still counts calendar days: 24th, 25th and 26th.
    EXPECT_EQ(StatisticsManager::averageTimePerDay(days, local(2026, 10, 26, 1)), 60);
}

} // namespace
