#include "StatisticsManager.h"

#include "DayRollup.h"
#include "core/DbHelpers.h"
#include "core/ProjectStat.h"
#include "core/SettingsHelper.h"
#include "core/StoreConstants.h"
#include "dialogs/RelativeDateFormatter.h"
#include "platform/LocalDayCache.h"
#include "platform/store/ManagedObjectContext.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <span>

namespace {

// h and m of a number of seconds, in whole hours and the minutes left over.
std::pair<qint64, qint64> hoursAndMinutes(qint64 seconds)
{
    const qint64 hours = seconds / 3600;
    return {hours, seconds / 60 - hours * 60};
}

bool isOneHour(qint64 seconds)
{
    return seconds >= 3600 && seconds <= 7199;
}

QString dayText(const DayStat& day, const QDateTime& now)
{
    // Both moments on the writer's clock, so that months and years are counted on one calendar.
    const QDateTime local = day.startTime().toLocalTime();
    return QStringLiteral("%1 (%2) - ")
        .arg(RelativeDateFormatter::mediumDate(local.date()),
             RelativeDateFormatter::localizedString(local, now.toLocalTime()));
}

// The first day with the greatest figure: of equal days the newest, as the list runs newest first.
template <typename Figure> const DayStat* greatestDay(const QList<DayStat>& days, Figure figure)
{
    const DayStat* best = nullptr;
    for (const DayStat& day : days) {
        if (!best || figure(day) > figure(*best))
            best = &day;
    }
    return best;
}

int compareWithBand(qint64 recent, qint64 older)
{
    const qint64 band = qint64(double(older) * 0.1);
    if (recent - older > band)
        return 1;
    if (older - recent > band)
        return -1;
    return 0;
}

// The project's writing records, newest first.
FetchRequest recordsRequest(const QString& projectId)
{
    FetchRequest request = ProjectStat::fetchRequest();
    request.setPredicate(QStringLiteral("(projectId == %@)"), {projectId});
    request.setSortDescriptors({{ProjectStat::StartTimeKey, false}});
    return request;
}

// Reads the project's records newest first and hands each to take until it answers false.
void readRecords(ManagedObjectContext* context, const QString& projectId, StatisticsManager::RecordFields fields,
                 const std::function<bool(const DayStat&)>& take)
{
    if (!context)
        return;
    const FetchRequest request = recordsRequest(projectId);
    QStringList keys = {ProjectStat::StartTimeKey, ProjectStat::TimeKey, ProjectStat::WordCountKey};
    const bool all = fields == StatisticsManager::RecordFields::All;
    if (all)
        keys << ProjectStat::ProjectItemIdKey << ProjectStat::UniqueIdentifierKey;
    context->fetchValues(request, keys, [&](const QVariantList& row) {
        return take(DayStat(projectId, all ? row[3].toString() : QString(), row[0].toDateTime(), row[1].toLongLong(),
                            all ? row[4].toString() : QString(), row[2].toLongLong()));
    });
}

// The writer's calendar day of a day's moment, as calendarDay() gives it: lists of years of days take up the
// time zone once, where QDateTime would ask for it again for every day.
QDate dayOf(LocalDayCache& calendar, const DayStat& day)
{
    return day.startTime().isValid() ? calendar.dayOf(day.startTime().toMSecsSinceEpoch()) : QDate();
}

// A stored whole number read as a number; a missing one counts as 0.
qint64 wholeNumber(double value)
{
    return std::isnan(value) ? 0 : qint64(std::llround(value));
}

// Rolls the project's records up by their figures alone, read newest first as plain numbers: years of writing
// make a hundred thousand records, and nothing is made for one unless it opens a day.
void rollUpFigures(ManagedObjectContext* context, const QString& projectId, DayRollup& rollup)
{
    if (!context)
        return;
    const QStringList keys = {ProjectStat::StartTimeKey, ProjectStat::TimeKey, ProjectStat::WordCountKey};
    context->fetchNumbers(recordsRequest(projectId), keys, [&](std::span<const double> row) {
        // A record without a start time belongs to no day. Seconds become milliseconds as a stored date does.
        if (std::isnan(row[0]))
            return true;
        return rollup.add(projectId, qint64(std::llround(row[0] * 1000.0)), wholeNumber(row[1]), wholeNumber(row[2]));
    });
}

} // namespace

QList<ProjectStat*> StatisticsManager::fetchStats(ManagedObjectContext* context, const QString& projectId)
{
    QList<ProjectStat*> stats;
    if (!context)
        return stats;
    for (ManagedObject* object : context->fetch(recordsRequest(projectId)))
        stats.append(static_cast<ProjectStat*>(object));
    return stats;
}

QList<DayStat> StatisticsManager::fetchRecords(ManagedObjectContext* context, const QString& projectId,
                                               RecordFields fields)
{
    QList<DayStat> records;
    readRecords(context, projectId, fields, [&records](const DayStat& record) {
        records.append(record);
        return true;
    });
    return records;
}

QDate StatisticsManager::calendarDay(const QDateTime& moment)
{
    return moment.toLocalTime().date();
}

QList<DayStat> StatisticsManager::dayStats(const QList<DayStat>& records, qint64 limit, bool unlimited,
                                           const std::optional<DayStat>& unsaved)
{
    DayRollup rollup(limit, unlimited);
    for (const DayStat& record : records) {
        if (!rollup.add(record))
            break;
    }
    return rollup.finish(unsaved);
}

QList<DayStat> StatisticsManager::dayStats(ManagedObjectContext* context, const QString& projectId, qint64 limit,
                                           bool unlimited, const std::optional<DayStat>& unsaved, RecordFields fields)
{
    DayRollup rollup(limit, unlimited);
    if (fields == RecordFields::FiguresOnly)
        rollUpFigures(context, projectId, rollup);
    else
        readRecords(context, projectId, fields, [&rollup](const DayStat& record) { return rollup.add(record); });
    return rollup.finish(unsaved);
}

qint64 StatisticsManager::todaysWords(const QList<DayStat>& days, const QDateTime& now)
{
    const QDate today = calendarDay(now);
    LocalDayCache calendar;
    qint64 words = 0;
    for (const DayStat& day : days) {
        if (dayOf(calendar, day) == today)
            words += day.wordCount();
    }
    return words;
}

qint64 StatisticsManager::averageWordsPerDay(const QList<DayStat>& days)
{
    if (days.size() < 2)
        return 0;
    qint64 words = 0;
    for (qsizetype i = 1; i < days.size(); ++i)
        words += days[i].wordCount();
    return words / (days.size() - 1);
}

qint64 StatisticsManager::longestStreak(const QList<DayStat>& days)
{
    LocalDayCache calendar;
    QList<QDate> writingDays;
    for (const DayStat& day : days) {
        if (day.wordCount() > 0)
            writingDays.append(dayOf(calendar, day));
    }
    std::sort(writingDays.begin(), writingDays.end());
    writingDays.erase(std::unique(writingDays.begin(), writingDays.end()), writingDays.end());
    qint64 longest = writingDays.isEmpty() ? 0 : 1;
    qint64 run = 1;
    for (qsizetype i = 1; i < writingDays.size(); ++i) {
        run = writingDays[i - 1].addDays(1) == writingDays[i] ? run + 1 : 1;
        longest = std::max(longest, run);
    }
    return longest;
}

int StatisticsManager::wordsTrend(const QList<DayStat>& days)
{
    // All days but the newest against the days older than a week of writing; without such older days
    // there is nothing to compare with.
    const qsizetype count = days.size();
    constexpr qsizetype firstOlder = TrendMinimumDays + 1;
    if (count < TrendMinimumDays || count <= firstOlder)
        return 0;
    qint64 recent = 0;
    qint64 older = 0;
    for (qsizetype i = 1; i < count; ++i) {
        recent += days[i].wordCount();
        if (i >= firstOlder)
            older += days[i].wordCount();
    }
    return compareWithBand(recent / (count - 1), older / (count - firstOlder));
}

int StatisticsManager::timeTrend(const QList<DayStat>& days, const QDateTime& now)
{
    // The last week, today included, against the average day of the whole span.
    if (days.size() < TrendMinimumDays)
        return 0;
    const QDate weekStart = calendarDay(now).addDays(-(TrendMinimumDays - 1));
    LocalDayCache calendar;
    qint64 recentTime = 0;
    bool hasOlder = false;
    for (const DayStat& day : days) {
        if (dayOf(calendar, day) >= weekStart)
            recentTime += day.time();
        else
            hasOlder = true;
    }
    if (!hasOlder)
        return 0;
    return compareWithBand(recentTime / TrendMinimumDays, averageTimePerDay(days, now));
}

qint64 StatisticsManager::averageTimePerDay(const QList<DayStat>& days, const QDateTime& now)
{
    if (days.isEmpty())
        return 0;
    LocalDayCache calendar;
    QDate oldest = dayOf(calendar, days.first());
    for (const DayStat& day : days)
        oldest = std::min(oldest, dayOf(calendar, day));
    const qint64 span = std::max<qint64>(1, oldest.daysTo(calendarDay(now)) + 1);
    return totalTime(days) / span;
}

qint64 StatisticsManager::totalTime(const QList<DayStat>& days)
{
    qint64 seconds = 0;
    for (const DayStat& day : days)
        seconds += day.time();
    return seconds;
}

qint64 StatisticsManager::wordsPerPage(ManagedObjectContext* context, const QString& projectId)
{
    const QString unset;
    const QString text = SettingsHelper::getTextValue(context, projectId, SettingsHelper::WordsPerPageKey, unset);
    return wordsPerPageFromText(text.isNull() ? std::nullopt : std::optional<QString>(text));
}

qint64 StatisticsManager::wordsPerPageFromText(const std::optional<QString>& text)
{
    if (!text)
        return SettingsHelper::DefaultWordsPerPage;
    bool ok = false;
    const qint64 value = text->trimmed().toLongLong(&ok);
    if (!ok || value < 1 || value > MaxWordsPerPage)
        return SettingsHelper::DefaultWordsPerPage;
    return value;
}

qint64 StatisticsManager::pageCount(qint64 words, qint64 wordsPerPage)
{
    if (wordsPerPage < 1)
        wordsPerPage = SettingsHelper::DefaultWordsPerPage;
    return qint64(double(words) / double(wordsPerPage) + 0.5);
}

QString StatisticsManager::readingTimeText(qint64 words)
{
    const qint64 minutes = words / ReadingWordsPerMinute;
    const qint64 hours = minutes / 60;
    const qint64 rest = minutes - hours * 60;
    QString text =
        QStringLiteral("%1 %2").arg(rest).arg(rest == 1 ? QStringLiteral("Minute") : QStringLiteral("Minutes"));
    if (hours > 0)
        text.prepend(
            QStringLiteral("%1 %2, ").arg(hours).arg(hours == 1 ? QStringLiteral("Hour") : QStringLiteral("Hours")));
    return text;
}

QString StatisticsManager::busiestDayText(const QList<DayStat>& days, const QDateTime& now)
{
    const DayStat* day = greatestDay(days, [](const DayStat& d) { return d.time(); });
    if (!day)
        return NoInformationText;
    return dayText(*day, now) + durationText(day->time());
}

QString StatisticsManager::mostProductiveDayText(const QList<DayStat>& days, const QDateTime& now)
{
    const DayStat* day = greatestDay(days, [](const DayStat& d) { return d.wordCount(); });
    if (!day)
        return NoInformationText;
    return dayText(*day, now) + QStringLiteral("%1 %2")
                                    .arg(day->wordCount())
                                    .arg(day->wordCount() == 1 ? QStringLiteral("word") : QStringLiteral("words"));
}

QString StatisticsManager::durationText(qint64 seconds)
{
    const auto [hours, minutes] = hoursAndMinutes(seconds);
    return QStringLiteral("%1 %2, %3 %4")
        .arg(hours)
        .arg(isOneHour(seconds) ? QStringLiteral("hour") : QStringLiteral("hours"))
        .arg(minutes)
        .arg(minutes == 1 ? QStringLiteral("minute") : QStringLiteral("minutes"));
}

double StatisticsManager::goalPercent(qint64 words, qint64 wordGoal)
{
    if (wordGoal < 1)
        return 0;
    return double(words) / double(wordGoal) * 100.0;
}

std::optional<qint64> StatisticsManager::daysToGoal(qint64 words, qint64 wordGoal, qint64 wordsPerDay)
{
    if (wordsPerDay < 1)
        return std::nullopt;
    return qint64(double(wordGoal - words) / double(wordsPerDay) + 0.5);
}

QString StatisticsManager::summaryText(qint64 wordGoal, qint64 words, qint64 wordsPerDay, const QDateTime& now)
{
    if (wordGoal < 1)
        return NoGoalSummary;
    if (wordGoal <= words)
        return CompletedSummary;
    const std::optional<qint64> days = daysToGoal(words, wordGoal, wordsPerDay);
    if (!days)
        return NeverSummary.arg(wordsPerDay);
    const QDate finish = calendarDay(now).addDays(*days);
    return DaysSummary.arg(wordsPerDay).arg(*days).arg(RelativeDateFormatter::mediumDate(finish));
}

StatisticsReport StatisticsManager::report(ManagedObjectContext* context, const QString& projectId,
                                           const std::optional<DayStat>& unsaved, const QDateTime& now)
{
    // The screen shows no record or card identifiers, so they are not read.
    const QList<DayStat> stored = dayStats(context, projectId, 0, true, std::nullopt, RecordFields::FiguresOnly);
    CardStats cardStats;
    if (context)
        cardStats = DbHelpers::getCardStats(context, projectId, ItemIds::Top);
    return report(stored, cardStats, wordsPerPage(context, projectId), unsaved, now);
}

StatisticsReport StatisticsManager::report(const QList<DayStat>& storedDays, const CardStats& cardStats,
                                           qint64 wordsPerPage, const std::optional<DayStat>& unsaved,
                                           const QDateTime& now)
{
    StatisticsReport report;
    report.days = storedDays;
    if (unsaved)
        DayRollup::addUnsaved(report.days, *unsaved);
    report.cardStats = cardStats;
    report.todaysWords = todaysWords(report.days, now);
    report.wordsPerDay = averageWordsPerDay(report.days);
    report.streakDays = longestStreak(report.days);
    report.wordsTrend = wordsTrend(report.days);
    report.timeTrend = timeTrend(report.days, now);
    report.averageTimePerDay = averageTimePerDay(report.days, now);
    report.totalTime = totalTime(report.days);
    report.daysSpent = report.days.size();
    report.wordsPerPage = wordsPerPage;
    report.pages = pageCount(report.cardStats.wordCount, report.wordsPerPage);
    report.readingTimeText = readingTimeText(report.cardStats.wordCount);
    report.busiestDayText = busiestDayText(report.days, now);
    report.mostProductiveDayText = mostProductiveDayText(report.days, now);
    return report;
}
