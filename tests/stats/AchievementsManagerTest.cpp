#include "stats/AchievementsManager.h"
#include "PrivateBus.h"
#include "RequiredTools.h"
#include "StatsFixture.h"
#include "TestWait.h"
#include "core/ProjectSetting.h"
#include "platform/UserNotificationRequest.h"
#include "platform/UserNotifications.h"
#include "platform/store/PersistentContainer.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryFile>
#include <cstdio>
#include <memory>
#include <sqlite3.h>
#include <tuple>
#include <unistd.h>

namespace {

class AchievementsManagerTest : public StatsFixture {
protected:
    QDateTime now = local(2026, 3, 20, 18);

    std::unique_ptr<AchievementsManager> makeManager()
    {
        auto manager = std::make_unique<AchievementsManager>(context(), projectId);
        manager->setClock([this] { return now; });
        manager->setNoticePoster([this](const UserNotificationRequest& request) { notices.append(request); });
        return manager;
    }

    static QStringList tags(const QList<const Achievement*>& achievements)
    {
        QStringList list;
        for (const Achievement* achievement : achievements)
            list.append(achievement->tag());
        return list;
    }

    // The value stored under the name, read through a connection of its own: what a relaunch would see.
    std::optional<QString> savedSetting(const QString& name)
    {
        PersistentContainer other(QStringLiteral("CardStore"), context()->model());
        if (other.loadPersistentStores(store.path()))
            return std::nullopt;
        ProjectSetting* setting = SettingsHelper::fetchSetting(other.viewContext(), projectId, name);
        if (!setting)
            return std::nullopt;
        return setting->value();
    }

    // Writing on each of `count` days before today, `words` each, and `today` words today.
    void addDaysBeforeToday(int count, qint64 words, qint64 today)
    {
        for (int i = 1; i <= count; ++i)
            addRecord(now.addDays(-i), 60, words);
        if (today != 0)
            addRecord(now.addSecs(-3600), 60, today);
        ASSERT_NO_FATAL_FAILURE(save());
    }

    QList<UserNotificationRequest> notices;
};

TEST_F(AchievementsManagerTest, thirteenAchievementsInTableOrder)
{
    auto manager = makeManager();
    EXPECT_EQ(manager->badgeKeys(),
              QStringList({QStringLiteral("CONTENT ACHIEVEMENTS"), QStringLiteral("PERSISTENCE ACHIEVEMENTS"),
                           QStringLiteral("VOLUME ACHIEVEMENTS")}));
    QStringList all;
    QList<qint64> metrics;
    for (const QString& group : manager->badgeKeys()) {
        for (const Achievement* achievement : manager->achievements(group)) {
            all.append(achievement->tag() + QLatin1Char('|') + achievement->label());
            metrics.append(achievement->metric());
        }
    }
    EXPECT_EQ(all, QStringList({
                       QStringLiteral("achievement.first.1000.words|First 1000 Words"),
                       QStringLiteral("achievement.first.10000.words|First 10,000 Words"),
                       QStringLiteral("achievement.first.1000.pages|First 100 Pages"),
                       QStringLiteral("achievement.short.story.length|Short Story Length"),
                       QStringLiteral("achievement.novella.length|Novella Length"),
                       QStringLiteral("achievement.novel.length|Novel Length"),
                       QStringLiteral("achievement.days.in.row.7|7 Day Streak"),
                       QStringLiteral("achievement.days.in.row.14|14 Day Streak"),
                       QStringLiteral("achievement.days.in.row.30|30 Day Streak"),
                       QStringLiteral("achievement.word.average.200|200 Words/Day Average"),
                       QStringLiteral("achievement.word.average.300|300 Words/Day Average"),
                       QStringLiteral("achievement.word.average.400|400 Words/Day Average"),
                       QStringLiteral("achievement.word.average.500|500 Words/Day Average"),
                   }));
    EXPECT_EQ(metrics, QList<qint64>({1000, 10000, 33000, 3000, 17500, 40000, 7, 14, 30, 200, 300, 400, 500}));
    const Achievement* pages = manager->getAchievementForTag(QStringLiteral("achievement.first.1000.pages"));
    ASSERT_NE(pages, nullptr);
    EXPECT_EQ(pages->image(), QStringLiteral("first-100-pages.png"));
    EXPECT_EQ(pages->shareImage(), QStringLiteral("first-100-pages-share.png"));
    EXPECT_EQ(pages->placeholder(), QStringLiteral("first-100-pages-placeholder.png"));
    EXPECT_EQ(manager->getAchievementForTag(QStringLiteral("achievement.days.in.row.7"))->image(),
              QStringLiteral("days-in-row-7.png"));
    EXPECT_EQ(manager->getAchievementForTag(QStringLiteral("first.1000.words")), nullptr);
}

TEST_F(AchievementsManagerTest, threeThousandWordsEarnTwoAchievementsOnce)
{
    addStoryCard(3000);
    ASSERT_NO_FATAL_FAILURE(save());
    // The manager of another window, made before the achievements were earned in this one.
    auto otherWindow = makeManager();
    auto manager = makeManager();
    EXPECT_EQ(tags(manager->checkAchievements()), QStringList({QStringLiteral("achievement.first.1000.words"),
                                                               QStringLiteral("achievement.short.story.length")}));
    EXPECT_TRUE(manager->checkAchievements().isEmpty());
    EXPECT_TRUE(otherWindow->checkAchievements().isEmpty());
    const std::optional<QString> stored = savedSetting(QStringLiteral("achievement.short.story.length"));
    ASSERT_TRUE(stored.has_value());
    EXPECT_DOUBLE_EQ(stored->toDouble(), double(now.toMSecsSinceEpoch()) / 1000.0);
    // A manager made later loads what was earned.
    auto later = makeManager();
    EXPECT_EQ(later->getAchievementForTag(QStringLiteral("achievement.first.1000.words"))->achieved(), now);
    EXPECT_TRUE(later->checkAchievements().isEmpty());
}

// Earned is earned for the life of the manager: a record the store refused and a Discard then dropped does not
// bring the same achievement round a second time.
TEST_F(AchievementsManagerTest, achievementWhoseRecordWasRefusedAndDiscardedIsNotAnnouncedAgain)
{
    addStoryCard(3000);
    ASSERT_NO_FATAL_FAILURE(save());
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(store.path().toUtf8().constData(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db,
                           "CREATE TRIGGER refuse BEFORE INSERT ON ProjectSetting "
                           "BEGIN SELECT RAISE(ABORT, 'disk says no'); END;",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    auto manager = makeManager();
    ASSERT_EQ(manager->checkAchievements().size(), 2);
    ASSERT_TRUE(context()->hasChanges()) << "the refused records wait in the context";
    context()->rollback();
    EXPECT_TRUE(manager->checkAchievements().isEmpty());
    EXPECT_TRUE(manager->getAchievementForTag(QStringLiteral("achievement.first.1000.words"))->isAchieved());
}

TEST_F(AchievementsManagerTest, wordThresholdsEarnExactlyAtTheirCount)
{
    ProjectItem* card = addStoryCard(999);
    ASSERT_NO_FATAL_FAILURE(save());
    auto manager = makeManager();
    EXPECT_TRUE(manager->checkAchievements().isEmpty());
    const QList<QPair<qint64, QString>> steps = {
        {1000, QStringLiteral("achievement.first.1000.words")},   {2999, QString()},
        {3000, QStringLiteral("achievement.short.story.length")}, {9999, QString()},
        {10000, QStringLiteral("achievement.first.10000.words")}, {17499, QString()},
        {17500, QStringLiteral("achievement.novella.length")},    {32999, QString()},
        {33000, QStringLiteral("achievement.first.1000.pages")},  {39999, QString()},
        {40000, QStringLiteral("achievement.novel.length")},
    };
    for (const auto& [words, tag] : steps) {
        card->setWordCount(words);
        ASSERT_NO_FATAL_FAILURE(save());
        EXPECT_EQ(tags(manager->checkAchievements()), tag.isEmpty() ? QStringList() : QStringList({tag})) << words;
    }
}

TEST_F(AchievementsManagerTest, pagesFollowTheProjectsPageSize)
{
    ASSERT_NO_FATAL_FAILURE(setSetting(SettingsHelper::WordsPerPageKey, QStringLiteral("250")));
    ProjectItem* card = addStoryCard(24999);
    ASSERT_NO_FATAL_FAILURE(save());
    auto manager = makeManager();
    EXPECT_EQ(manager->getAchievementForTag(QStringLiteral("achievement.first.1000.pages"))->metric(), 25000);
    EXPECT_FALSE(tags(manager->checkAchievements()).contains(QStringLiteral("achievement.first.1000.pages")));
    card->setWordCount(25000);
    ASSERT_NO_FATAL_FAILURE(save());
    EXPECT_TRUE(tags(manager->checkAchievements()).contains(QStringLiteral("achievement.first.1000.pages")));
}

TEST_F(AchievementsManagerTest, hostilePageSizeNeverEarnsPagesAtZeroWords)
{
    for (const QString& value : {QStringLiteral("0"), QStringLiteral("-5"), QStringLiteral("abc"),
                                 QStringLiteral("1e400"), QStringLiteral("nan")}) {
        ASSERT_NO_FATAL_FAILURE(setSetting(SettingsHelper::WordsPerPageKey, value));
        auto manager = makeManager();
        EXPECT_EQ(manager->getAchievementForTag(QStringLiteral("achievement.first.1000.pages"))->metric(), 33000)
            << qPrintable(value);
        EXPECT_TRUE(manager->checkAchievements().isEmpty()) << qPrintable(value);
    }
}

TEST_F(AchievementsManagerTest, storedZeroOrUnreadableDateCountsAsNotEarned)
{
    addStoryCard(1000);
    ASSERT_NO_FATAL_FAILURE(save());
    for (const QString& value :
         {QStringLiteral("0"), QStringLiteral("abc"), QStringLiteral("nan"), QStringLiteral("1e400")}) {
        ASSERT_NO_FATAL_FAILURE(setSetting(QStringLiteral("achievement.first.1000.words"), value));
        auto manager = makeManager();
        EXPECT_FALSE(manager->getAchievementForTag(QStringLiteral("achievement.first.1000.words"))->isAchieved());
        EXPECT_EQ(tags(manager->checkAchievements()), QStringList({QStringLiteral("achievement.first.1000.words")}))
            << qPrintable(value);
    }
}

TEST_F(AchievementsManagerTest, averageAchievementsUseTheAverageOfTheDaysSummed)
{
    // Newest first 100, 300, 500: the average of the older two is 400.
    addRecord(local(2026, 3, 20), 60, 100);
    addRecord(local(2026, 3, 19), 60, 300);
    addRecord(local(2026, 3, 18), 60, 500);
    ASSERT_NO_FATAL_FAILURE(save());
    auto manager = makeManager();
    EXPECT_EQ(tags(manager->checkAchievements()), QStringList({QStringLiteral("achievement.word.average.200"),
                                                               QStringLiteral("achievement.word.average.300"),
                                                               QStringLiteral("achievement.word.average.400")}));
}

TEST_F(AchievementsManagerTest, streakAchievementsEarnAtSevenDaysNotSix)
{
    for (int day = 1; day <= 6; ++day)
        addRecord(local(2026, 3, day), 60, 10);
    ASSERT_NO_FATAL_FAILURE(save());
    auto manager = makeManager();
    EXPECT_TRUE(manager->checkAchievements().isEmpty());
    addRecord(local(2026, 3, 7), 60, 10);
    ASSERT_NO_FATAL_FAILURE(save());
    EXPECT_EQ(tags(manager->checkAchievements()), QStringList({QStringLiteral("achievement.days.in.row.7")}));
}

TEST_F(AchievementsManagerTest, updateFromGivenFiguresEarnsAtThresholds)
{
    auto manager = makeManager();
    manager->updateAchievements(1000, 14, 199);
    EXPECT_TRUE(manager->getAchievementForTag(QStringLiteral("achievement.first.1000.words"))->isAchieved());
    EXPECT_TRUE(manager->getAchievementForTag(QStringLiteral("achievement.days.in.row.14"))->isAchieved());
    EXPECT_FALSE(manager->getAchievementForTag(QStringLiteral("achievement.days.in.row.30"))->isAchieved());
    EXPECT_FALSE(manager->getAchievementForTag(QStringLiteral("achievement.word.average.200"))->isAchieved());
    EXPECT_TRUE(savedSetting(QStringLiteral("achievement.days.in.row.7")).has_value());
}

TEST_F(AchievementsManagerTest, everyThresholdEarnsExactlyAtItsFigure)
{
    const QList<std::tuple<QString, MetricType, qint64>> table = {
        {QStringLiteral("achievement.first.1000.words"), MetricType::wordCount, 1000},
        {QStringLiteral("achievement.first.10000.words"), MetricType::wordCount, 10000},
        {QStringLiteral("achievement.first.1000.pages"), MetricType::wordCount, 33000},
        {QStringLiteral("achievement.short.story.length"), MetricType::wordCount, 3000},
        {QStringLiteral("achievement.novella.length"), MetricType::wordCount, 17500},
        {QStringLiteral("achievement.novel.length"), MetricType::wordCount, 40000},
        {QStringLiteral("achievement.days.in.row.7"), MetricType::streakDays, 7},
        {QStringLiteral("achievement.days.in.row.14"), MetricType::streakDays, 14},
        {QStringLiteral("achievement.days.in.row.30"), MetricType::streakDays, 30},
        {QStringLiteral("achievement.word.average.200"), MetricType::averageWordsPerDay, 200},
        {QStringLiteral("achievement.word.average.300"), MetricType::averageWordsPerDay, 300},
        {QStringLiteral("achievement.word.average.400"), MetricType::averageWordsPerDay, 400},
        {QStringLiteral("achievement.word.average.500"), MetricType::averageWordsPerDay, 500},
    };
    for (const auto& [tag, type, threshold] : table) {
        for (const qint64 figure : {threshold - 1, threshold}) {
            for (ProjectSetting* setting : SettingsHelper::fetchSettings(projectId, context()))
                context()->deleteObject(setting);
            ASSERT_NO_FATAL_FAILURE(save());
            auto manager = makeManager();
            manager->updateAchievements(type == MetricType::wordCount ? figure : 0,
                                        type == MetricType::streakDays ? figure : 0,
                                        type == MetricType::averageWordsPerDay ? figure : 0);
            EXPECT_EQ(manager->getAchievementForTag(tag)->isAchieved(), figure == threshold)
                << qPrintable(tag) << " at " << figure;
        }
    }
}

TEST_F(AchievementsManagerTest, failedNoticeLogsUnableToAddNotificationRequest)
{
    PrivateBus bus;
    if (!bus.isRunning())
        MISSING_TOOL("dbus-daemon is needed for a private session bus (scripts/deps --test installs dbus)");
    QTemporaryFile log;
    ASSERT_TRUE(log.open());
    // The process's notices connect on first use, here, to a bus where no notification service answers.
    const QByteArray previous = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    qputenv("DBUS_SESSION_BUS_ADDRESS", bus.address().toUtf8());
    addDaysBeforeToday(5, 1200, 1000);
    AchievementsManager manager(context(), projectId);
    manager.setClock([this] { return now; });
    manager.beginDailyAverageCheck();
    // The output goes to a file of the test's own and is read from there before anything flushes the program's
    // buffer: the line must be out at once, as a log followed through a pipe shows it, not when the program ends.
    std::fflush(stdout);
    const int console = ::dup(STDOUT_FILENO);
    ::dup2(log.handle(), STDOUT_FILENO);
    manager.dailyAverageCheck(200);
    // Replies come in the order asked: once this one is in, the manager's has been handled.
    bool answered = false;
    UserNotifications::current().add(
        UserNotificationRequest{QStringLiteral("probe"), QStringLiteral("t"), QStringLiteral("b"), false},
        [&answered](const std::optional<QString>&) { answered = true; });
    const bool done = waitFor([&] { return answered; });
    QFile written(log.fileName());
    const QByteArray printed = written.open(QIODevice::ReadOnly) ? written.readAll() : QByteArray();
    std::fflush(stdout);
    ::dup2(console, STDOUT_FILENO);
    ::close(console);
    if (previous.isNull())
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    else
        qputenv("DBUS_SESSION_BUS_ADDRESS", previous);
    ASSERT_TRUE(done);
    EXPECT_TRUE(printed.contains("Unable to Add Notification Request\n")) << printed.toStdString();
    EXPECT_TRUE(manager.hitDailyAverage());
}

TEST_F(AchievementsManagerTest, dailyCheckStaysOffWithFiveDaysAndArmsWithSix)
{
    addDaysBeforeToday(4, 1200, 1000);
    auto manager = makeManager();
    manager->beginDailyAverageCheck();
    EXPECT_TRUE(manager->hitDailyAverage());
    manager->dailyAverageCheck(100000);
    EXPECT_TRUE(notices.isEmpty());
    addRecord(now.addDays(-5), 60, 1200);
    ASSERT_NO_FATAL_FAILURE(save());
    manager->beginDailyAverageCheck();
    EXPECT_FALSE(manager->hitDailyAverage());
}

TEST_F(AchievementsManagerTest, dailyNoticeFiresAtTheAverageNotOneWordBefore)
{
    addDaysBeforeToday(5, 1200, 1000);
    auto manager = makeManager();
    manager->beginDailyAverageCheck();
    EXPECT_EQ(manager->todaysWordCount(), 1000);
    EXPECT_EQ(manager->todaysDayAverage(), 1200);
    manager->dailyAverageCheck(199);
    EXPECT_TRUE(notices.isEmpty());
    manager->dailyAverageCheck(200);
    ASSERT_EQ(notices.size(), 1);
    EXPECT_EQ(notices[0].identifier, QStringLiteral("pv_daily_word_count"));
    EXPECT_EQ(notices[0].title, QStringLiteral("Daily Average Hit"));
    EXPECT_EQ(notices[0].body, QStringLiteral("Congratulations, you hit your daily average word count!"));
    manager->dailyAverageCheck(5000);
    EXPECT_EQ(notices.size(), 1);
    EXPECT_TRUE(savedSetting(QStringLiteral("achievement.daily.average.hit")).has_value());
}

TEST_F(AchievementsManagerTest, dailyNoticeFiresOncePerDayAcrossManagers)
{
    addDaysBeforeToday(5, 1200, 1000);
    makeManager()->beginDailyAverageCheck();
    auto first = makeManager();
    first->beginDailyAverageCheck();
    first->dailyAverageCheck(300);
    ASSERT_EQ(notices.size(), 1);
    auto second = makeManager();
    second->beginDailyAverageCheck();
    EXPECT_TRUE(second->hitDailyAverage());
    second->dailyAverageCheck(300);
    EXPECT_EQ(notices.size(), 1);
    // The next day starts over.
    now = now.addDays(1);
    auto tomorrow = makeManager();
    tomorrow->beginDailyAverageCheck();
    EXPECT_FALSE(tomorrow->hitDailyAverage());
}

TEST_F(AchievementsManagerTest, zeroAverageArmsNothing)
{
    addDaysBeforeToday(6, 0, 0);
    auto manager = makeManager();
    manager->beginDailyAverageCheck();
    EXPECT_TRUE(manager->hitDailyAverage());
    manager->dailyAverageCheck(0);
    manager->dailyAverageCheck(1);
    EXPECT_TRUE(notices.isEmpty());
}

TEST_F(AchievementsManagerTest, checkBeforeBeginningPostsNothing)
{
    auto manager = makeManager();
    manager->dailyAverageCheck(0);
    EXPECT_TRUE(notices.isEmpty());
    EXPECT_FALSE(context()->hasChanges());
}

TEST_F(AchievementsManagerTest, keystrokeCheckTouchesNoStore)
{
    addDaysBeforeToday(5, 1200, 0);
    auto manager = makeManager();
    manager->beginDailyAverageCheck();
    const qint64 token = context()->currentQueryGenerationToken().historyToken;
    for (qint64 words = 0; words < 1200; ++words)
        manager->dailyAverageCheck(words);
    EXPECT_EQ(context()->currentQueryGenerationToken().historyToken, token);
    EXPECT_FALSE(context()->hasChanges());
}

TEST_F(AchievementsManagerTest, earningLeavesAnEditorsUnsavedChangesPending)
{
    ProjectItem* card = addStoryCard(3000);
    ASSERT_NO_FATAL_FAILURE(save());
    card->setTitle(QStringLiteral("A title the writer may still discard"));
    auto manager = makeManager();
    EXPECT_EQ(manager->checkAchievements().size(), 2);
    EXPECT_TRUE(savedSetting(QStringLiteral("achievement.first.1000.words")).has_value());
    EXPECT_TRUE(context()->hasChanges());
    EXPECT_TRUE(card->isUpdated());
    PersistentContainer other(QStringLiteral("CardStore"), context()->model());
    ASSERT_FALSE(other.loadPersistentStores(store.path()).has_value());
    FetchRequest request = ProjectItem::fetchRequest();
    const QList<ManagedObject*> items = other.viewContext()->fetch(request);
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(static_cast<ProjectItem*>(items[0])->title(), QStringLiteral("Chapter"));
    // Discarding still discards.
    context()->rollback();
    EXPECT_EQ(card->title(), QStringLiteral("Chapter"));
}

TEST_F(AchievementsManagerTest, dailyMarkLeavesAnEditorsUnsavedChangesPending)
{
    addDaysBeforeToday(5, 1200, 1000);
    ProjectItem* card = addStoryCard(10);
    ASSERT_NO_FATAL_FAILURE(save());
    card->setTitle(QStringLiteral("Unsaved"));
    auto manager = makeManager();
    manager->beginDailyAverageCheck();
    manager->dailyAverageCheck(200);
    ASSERT_EQ(notices.size(), 1);
    EXPECT_TRUE(savedSetting(QStringLiteral("achievement.daily.average.hit")).has_value());
    EXPECT_TRUE(card->isUpdated());
    EXPECT_EQ(card->committedValue(ProjectItem::TitleKey).toString(), QStringLiteral("Chapter"));
}

TEST_F(AchievementsManagerTest, dailyMarkJustAfterLocalMidnightCountsForThatDay)
{
    TimeZoneGuard zone("Europe/Berlin");
    ASSERT_EQ(local(2026, 10, 25, 0, 30).toUTC().date(), QDate(2026, 10, 24));
    now = local(2026, 10, 25, 20);
    addDaysBeforeToday(5, 1200, 1000);
    // 00:30 on the 25th in Berlin is the 24th in UTC.
    setSetting(AchievementsManager::DailyAverageHitTag,
               QString::number(double(local(2026, 10, 25, 0, 30).toMSecsSinceEpoch()) / 1000.0, 'f', 3));
    auto manager = makeManager();
    manager->beginDailyAverageCheck();
    EXPECT_TRUE(manager->hitDailyAverage());
}

} // namespace
