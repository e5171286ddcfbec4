#pragma once

#include "DayStat.h"
#include "StatisticsReport.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

class ManagedObjectContext;
class ProjectStat;

// Turns a project's writing records into per-day figures. Every day, day count and streak step is a
// date of the writer's own calendar (records arrive in UTC and are moved to local time first), so a day
// stays one day on the nights the clocks change. "now" is a parameter wherever the answer depends on it.
// A list of days made by dayStats() is ordered newest day first, with at most one entry per calendar day.
class StatisticsManager {
public:
    static constexpr qint64 ReadingWordsPerMinute = 238;
    // Above this a "WordsPerPage" value is taken for a typing slip, and the default is used instead.
    static constexpr qint64 MaxWordsPerPage = 100000;
    // Trends need this many days of writing before they say anything.
    static constexpr qsizetype TrendMinimumDays = 7;
    static inline const QString NoInformationText = QStringLiteral("No information yet");
    static inline const QString NoGoalSummary = QStringLiteral("Please set a goal to see a summary.");
    static inline const QString CompletedSummary = QStringLiteral("You have completed this project. Congratulations!");
    static inline const QString NeverSummary = QStringLiteral(
        "At your average current rate of %1 words per day, you can expect to never complete this project.");
    static inline const QString DaysSummary = QStringLiteral(
        "At your average current rate of %1 words per day, you could complete this project in %2 days. (%3).");

    // Every writing record of the project, newest first; empty when the fetch fails.
    static QList<ProjectStat*> fetchStats(ManagedObjectContext* context, const QString& projectId);
    // Which fields of the records to read: the figures alone leave the card and record identifiers empty,
    // for callers that only count.
    enum class RecordFields { All, FiguresOnly };
    // The same records as values, newest first, read without making store objects (years of writing
    // make a hundred thousand records).
    static QList<DayStat> fetchRecords(ManagedObjectContext* context, const QString& projectId,
                                       RecordFields fields = RecordFields::All);

    // The writer's calendar day of a moment.
    static QDate calendarDay(const QDateTime& moment);

    // The roll-up of records (newest first) into days. Unless unlimited, it stops after the record that
    // carries the running word total past limit. The unsaved stretch is added into its day, or placed in
    // date order as a day of its own; one without a start time is ignored.
    static QList<DayStat> dayStats(const QList<DayStat>& records, qint64 limit, bool unlimited,
                                   const std::optional<DayStat>& unsaved = std::nullopt);
    // The same roll-up read straight from the project's records, which stops reading once it is complete.
    static QList<DayStat> dayStats(ManagedObjectContext* context, const QString& projectId, qint64 limit,
                                   bool unlimited, const std::optional<DayStat>& unsaved = std::nullopt,
                                   RecordFields fields = RecordFields::All);

    static qint64 todaysWords(const QList<DayStat>& days, const QDateTime& now);
    // Words of every day but the newest (which may still be growing), per day summed; 0 without such days.
    static qint64 averageWordsPerDay(const QList<DayStat>& days);
    // The longest run of neighbouring calendar days with words gained; one such day is a run of 1.
    static qint64 longestStreak(const QList<DayStat>& days);
    // -1 falling, 0 steady or not enough days to tell, +1 rising.
    static int wordsTrend(const QList<DayStat>& days);
    static int timeTrend(const QList<DayStat>& days, const QDateTime& now);
    // Seconds written per calendar day from the oldest day up to and including today.
    static qint64 averageTimePerDay(const QList<DayStat>& days, const QDateTime& now);
    static qint64 totalTime(const QList<DayStat>& days);

    // The project's "WordsPerPage" setting; the default for a value that is not a usable page size.
    static qint64 wordsPerPage(ManagedObjectContext* context, const QString& projectId);
    static qint64 wordsPerPageFromText(const std::optional<QString>& text);
    // Halves round up.
    static qint64 pageCount(qint64 words, qint64 wordsPerPage);

    static QString readingTimeText(qint64 words);
    static QString busiestDayText(const QList<DayStat>& days, const QDateTime& now);
    static QString mostProductiveDayText(const QList<DayStat>& days, const QDateTime& now);
    static QString durationText(qint64 seconds);

    // The project's words as a percentage of the goal; 0 without a goal. Not capped: a project past its goal
    // reads above 100.
    static double goalPercent(qint64 words, qint64 wordGoal);
    // Days left to the goal at the average rate, halves rounded up; nullopt when the rate is below 1 a day.
    static std::optional<qint64> daysToGoal(qint64 words, qint64 wordGoal, qint64 wordsPerDay);
    // The sentence under the goal: no goal, goal reached, never at this rate, or the days and the date.
    static QString summaryText(qint64 wordGoal, qint64 words, qint64 wordsPerDay, const QDateTime& now);

    // Everything the statistics screen shows for a project: every stored record and the unsaved stretch, so the
    // figures never depend on the word goal. One read of the records serves both the shown figures and those
    // achievements are judged on.
    static StatisticsReport report(ManagedObjectContext* context, const QString& projectId,
                                   const std::optional<DayStat>& unsaved, const QDateTime& now);
    // Finishes a report from the stored days (newest first) the caller already rolled up.
    static StatisticsReport report(const QList<DayStat>& storedDays, const CardStats& cardStats, qint64 wordsPerPage,
                                   const std::optional<DayStat>& unsaved, const QDateTime& now);
};
