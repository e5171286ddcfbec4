#pragma once

#include "Achievement.h"
#include "DayStat.h"

#include <QDateTime>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>

class ManagedObject;
class ManagedObjectContext;
struct UserNotificationRequest;

// The thirteen achievements of one project and the daily-average notice. Earned achievements and the day
// the notice last went out are stored as the project's settings; each such write saves only its own
// setting record, so an editor's unsaved changes are never committed behind the writer's back. The
// per-keystroke check reads nothing from the store.
class AchievementsManager : public QObject {
    Q_OBJECT

public:
    static inline const QString TagPrefix = QStringLiteral("achievement.");
    static inline const QString DailyAverageHitTag = QStringLiteral("achievement.daily.average.hit");
    static inline const QString ContentLabel = QStringLiteral("CONTENT ACHIEVEMENTS");
    static inline const QString PersistenceLabel = QStringLiteral("PERSISTENCE ACHIEVEMENTS");
    static inline const QString VolumeLabel = QStringLiteral("VOLUME ACHIEVEMENTS");
    // "First 100 Pages" is earned at this many pages of the project's page size.
    static constexpr qint64 PagesForPagesAchievement = 100;
    // The daily notice needs writing on this many days before it is armed.
    static constexpr qsizetype DailyAverageMinimumDays = 6;

    static inline const QString DailyAverageIdentifier = QStringLiteral("pv_daily_word_count");
    static inline const QString DailyAverageTitle = QStringLiteral("Daily Average Hit");
    static inline const QString DailyAverageBody =
        QStringLiteral("Congratulations, you hit your daily average word count!");
    static inline const QString AddRequestFailedLogLine = QStringLiteral("Unable to Add Notification Request");

    using Clock = std::function<QDateTime()>;
    using NoticePoster = std::function<void(const UserNotificationRequest&)>;

    // Builds the table, reads the project's page size and loads which achievements were earned.
    AchievementsManager(ManagedObjectContext* context, QString projectId, QObject* parent = nullptr);
    ~AchievementsManager() override;

    // Tests fix the moment that counts as now.
    void setClock(Clock clock) { m_clock = std::move(clock); }
    // Where the daily notice goes; the desktop's notification service unless replaced.
    void setNoticePoster(NoticePoster poster) { m_poster = std::move(poster); }

    const QString& projectId() const { return m_projectId; }
    // Group titles in display order, and each group's achievements in table order.
    const QStringList& badgeKeys() const { return m_badgeKeys; }
    QList<const Achievement*> achievements(const QString& groupTitle) const;
    const Achievement* getAchievementForTag(const QString& tag) const;

    // Earns and stores whatever the project's figures now reach; answers those newly earned, in order.
    QList<const Achievement*> checkAchievements();
    // Earns and stores from figures the caller already computed.
    void updateAchievements(qint64 wordCount, qint64 streakDays, qint64 averageWordsPerDay);

    // Arms the daily-average notice for today, unless it already went out today, the project has too few
    // days of writing, or the average is 0. The editor calls it when it loads a card.
    void beginDailyAverageCheck();
    // Words gained since the editor opened the card: posts the notice once today's words reach the
    // average. Called on every change, so it only compares until the moment comes.
    void dailyAverageCheck(qint64 wordsGained);
    // Posts the daily-average notice now.
    void showDailyAverageNotification();

    qint64 todaysWordCount() const { return m_todaysWordCount; }
    qint64 todaysDayAverage() const { return m_todaysDayAverage; }
    bool hitDailyAverage() const { return m_hitDailyAverage; }

signals:
    void achievementsEarned(const QList<const Achievement*>& achievements);

private:
    struct Figures {
        qint64 words = 0;
        qint64 streak = 0;
        qint64 average = 0;
    };

    void buildTable(qint64 wordsPerPage);
    void add(const QString& group, const QString& tagWord, const QString& label, MetricType type, qint64 metric,
             QString imageStem = {});
    void loadAchievements();
    QDateTime storedDate(const QString& tag) const;
    // Writes the moment under the tag, unsaved; answers the setting record.
    ManagedObject* writeDate(const QString& tag, const QDateTime& moment);
    // Saves these records alone, leaving every other pending change pending.
    void saveOnly(const QList<ManagedObject*>& settings);
    QList<DayStat> allDays() const;
    Figures projectFigures() const;
    QList<const Achievement*> earn(const QList<Achievement*>& candidates, const Figures& figures);
    QDateTime now() const;

    ManagedObjectContext* m_context;
    QString m_projectId;
    QStringList m_badgeKeys;
    // Stable addresses: screens keep pointers to the achievements for the life of the manager.
    std::deque<Achievement> m_achievements;
    QMap<QString, QList<Achievement*>> m_badgeMap;
    qint64 m_todaysWordCount = 0;
    qint64 m_todaysDayAverage = 0;
    // Nothing is armed until beginDailyAverageCheck() has looked at the figures.
    bool m_hitDailyAverage = true;
    Clock m_clock;
    NoticePoster m_poster;
};
