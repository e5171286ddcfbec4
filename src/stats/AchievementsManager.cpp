#include "AchievementsManager.h"

#include "StatisticsManager.h"
#include "core/DbHelpers.h"
#include "core/ProjectSetting.h"
#include "core/SettingsHelper.h"
#include "core/StoreConstants.h"
#include "platform/UserNotifications.h"
#include "platform/store/ManagedObjectContext.h"

#include <QDebug>
#include <QLocale>
#include <cstdio>

namespace {

// Seconds since 1970 as the shortest decimal text that reads back to the same double.
QString storedText(const QDateTime& moment)
{
    return QString::number(double(moment.toMSecsSinceEpoch()) / 1000.0, 'f', QLocale::FloatingPointShortest);
}

void postToDesktop(const UserNotificationRequest& request)
{
    UserNotifications::current().add(request, [](const std::optional<QString>& error) {
        if (!error)
            return;
        std::printf("%s\n", qPrintable(AchievementsManager::AddRequestFailedLogLine));
        std::fflush(stdout);
    });
}

} // namespace

AchievementsManager::AchievementsManager(ManagedObjectContext* context, QString projectId, QObject* parent)
    : QObject(parent), m_context(context), m_projectId(std::move(projectId)),
      m_badgeKeys({ContentLabel, PersistenceLabel, VolumeLabel}), m_clock([] { return QDateTime::currentDateTime(); }),
      m_poster(postToDesktop)
{
    buildTable(StatisticsManager::wordsPerPage(m_context, m_projectId));
    loadAchievements();
}

AchievementsManager::~AchievementsManager() = default;

void AchievementsManager::buildTable(qint64 wordsPerPage)
{
    using enum MetricType;
    add(ContentLabel, QStringLiteral("first.1000.words"), QStringLiteral("First 1000 Words"), wordCount, 1000);
    add(ContentLabel, QStringLiteral("first.10000.words"), QStringLiteral("First 10,000 Words"), wordCount, 10000);
    // The stored tag says 1000 pages; what is earned and shown is 100 pages.
    add(ContentLabel, QStringLiteral("first.1000.pages"), QStringLiteral("First 100 Pages"), wordCount,
        PagesForPagesAchievement * wordsPerPage, QStringLiteral("first-100-pages"));
    add(ContentLabel, QStringLiteral("short.story.length"), QStringLiteral("Short Story Length"), wordCount, 3000);
    add(ContentLabel, QStringLiteral("novella.length"), QStringLiteral("Novella Length"), wordCount, 17500);
    add(ContentLabel, QStringLiteral("novel.length"), QStringLiteral("Novel Length"), wordCount, 40000);
    add(PersistenceLabel, QStringLiteral("days.in.row.7"), QStringLiteral("7 Day Streak"), streakDays, 7);
    add(PersistenceLabel, QStringLiteral("days.in.row.14"), QStringLiteral("14 Day Streak"), streakDays, 14);
    add(PersistenceLabel, QStringLiteral("days.in.row.30"), QStringLiteral("30 Day Streak"), streakDays, 30);
    for (qint64 average : {200, 300, 400, 500}) {
        add(VolumeLabel, QStringLiteral("word.average.%1").arg(average),
            QStringLiteral("%1 Words/Day Average").arg(average), averageWordsPerDay, average);
    }
}

void AchievementsManager::add(const QString& group, const QString& tagWord, const QString& label, MetricType type,
                              qint64 metric, QString imageStem)
{
    // Images are named after the tag word with dashes, unless the table names them otherwise.
    QString stem = imageStem.isEmpty() ? tagWord : imageStem;
    stem.replace(QLatin1Char('.'), QLatin1Char('-'));
    m_achievements.push_back(Achievement(TagPrefix + tagWord, label, stem, type, metric));
    m_badgeMap[group].append(&m_achievements.back());
}

void AchievementsManager::loadAchievements()
{
    for (Achievement& achievement : m_achievements)
        achievement.setAchieved(storedDate(achievement.tag()));
}

QList<const Achievement*> AchievementsManager::achievements(const QString& groupTitle) const
{
    QList<const Achievement*> list;
    for (const Achievement* achievement : m_badgeMap.value(groupTitle))
        list.append(achievement);
    return list;
}

const Achievement* AchievementsManager::getAchievementForTag(const QString& tag) const
{
    for (const Achievement& achievement : m_achievements) {
        if (achievement.tag() == tag)
            return &achievement;
    }
    return nullptr;
}

QDateTime AchievementsManager::storedDate(const QString& tag) const
{
    return SettingsHelper::getDateValue(m_context, m_projectId, tag);
}

ManagedObject* AchievementsManager::writeDate(const QString& tag, const QDateTime& moment)
{
    if (!m_context)
        return nullptr;
    SettingsHelper::setValue(m_context, m_projectId, tag, storedText(moment), true);
    return SettingsHelper::fetchSetting(m_context, m_projectId, tag);
}

void AchievementsManager::saveOnly(const QList<ManagedObject*>& settings)
{
    if (!m_context || settings.isEmpty())
        return;
    // A failed save leaves the records pending; the next save of the store writes them.
    if (auto error = m_context->saveObjects(settings))
        qWarning().noquote() << DbHelpers::SaveErrorLogLine << error->description();
}

QDateTime AchievementsManager::now() const
{
    return m_clock();
}

QList<DayStat> AchievementsManager::allDays() const
{
    return StatisticsManager::dayStats(m_context, m_projectId, 0, true, std::nullopt,
                                       StatisticsManager::RecordFields::FiguresOnly);
}

AchievementsManager::Figures AchievementsManager::projectFigures() const
{
    Figures figures;
    if (m_context)
        figures.words = DbHelpers::getCardStats(m_context, m_projectId, ItemIds::Top).wordCount;
    const QList<DayStat> days = allDays();
    figures.streak = StatisticsManager::longestStreak(days);
    figures.average = StatisticsManager::averageWordsPerDay(days);
    return figures;
}

QList<const Achievement*> AchievementsManager::earn(const QList<Achievement*>& candidates, const Figures& figures)
{
    QList<const Achievement*> earned;
    QList<ManagedObject*> settings;
    const QDateTime moment = now();
    for (Achievement* achievement : candidates) {
        qint64 figure = 0;
        switch (achievement->metricType()) {
        case MetricType::wordCount:
            figure = figures.words;
            break;
        case MetricType::averageWordsPerDay:
            figure = figures.average;
            break;
        case MetricType::streakDays:
            figure = figures.streak;
            break;
        }
        if (figure < achievement->metric())
            continue;
        achievement->setAchieved(moment);
        settings.append(writeDate(achievement->tag(), moment));
        earned.append(achievement);
    }
    // One transaction for everything earned at once.
    saveOnly(settings);
    if (!earned.isEmpty())
        emit achievementsEarned(earned);
    return earned;
}

QList<const Achievement*> AchievementsManager::checkAchievements()
{
    QList<Achievement*> candidates;
    for (const QString& group : std::as_const(m_badgeKeys)) {
        for (Achievement* achievement : m_badgeMap.value(group)) {
            if (achievement->isAchieved())
                continue;
            // Another window may have earned it since this manager was made.
            achievement->setAchieved(storedDate(achievement->tag()));
            if (!achievement->isAchieved())
                candidates.append(achievement);
        }
    }
    if (candidates.isEmpty())
        return {};
    return earn(candidates, projectFigures());
}

void AchievementsManager::updateAchievements(qint64 wordCount, qint64 streakDays, qint64 averageWordsPerDay)
{
    QList<Achievement*> candidates;
    for (const QString& group : std::as_const(m_badgeKeys)) {
        for (Achievement* achievement : m_badgeMap.value(group)) {
            if (!achievement->isAchieved())
                candidates.append(achievement);
        }
    }
    earn(candidates, Figures{wordCount, streakDays, averageWordsPerDay});
}

void AchievementsManager::beginDailyAverageCheck()
{
    m_todaysWordCount = 0;
    m_todaysDayAverage = 0;
    m_hitDailyAverage = true;
    const QDateTime moment = now();
    const QDateTime lastHit = storedDate(DailyAverageHitTag);
    if (lastHit.toMSecsSinceEpoch() != 0 &&
        StatisticsManager::calendarDay(lastHit) == StatisticsManager::calendarDay(moment))
        return;
    const QList<DayStat> days = allDays();
    if (days.size() < DailyAverageMinimumDays)
        return;
    m_todaysWordCount = StatisticsManager::todaysWords(days, moment);
    m_todaysDayAverage = StatisticsManager::averageWordsPerDay(days);
    // With no average to reach, the first word typed would already "reach" it.
    m_hitDailyAverage = m_todaysDayAverage <= 0;
}

void AchievementsManager::dailyAverageCheck(qint64 wordsGained)
{
    if (m_hitDailyAverage || m_todaysWordCount + wordsGained < m_todaysDayAverage)
        return;
    m_hitDailyAverage = true;
    saveOnly({writeDate(DailyAverageHitTag, now())});
    showDailyAverageNotification();
}

void AchievementsManager::showDailyAverageNotification()
{
    if (m_poster)
        m_poster(UserNotificationRequest{DailyAverageIdentifier, DailyAverageTitle, DailyAverageBody, true});
}
