// The statistics and achievements of a project with 100,000 writing records (about three years of daily
// writing): what the board waits for when it checks achievements, what the editor waits for when it
// opens a card and on each keystroke, and everything the statistics screen shows.
#include "TestStore.h"
#include "core/DbHelpers.h"
#include "core/ProjectItem.h"
#include "core/ProjectStat.h"
#include "core/SettingsHelper.h"
#include "core/StoreConstants.h"
#include "stats/AchievementsManager.h"
#include "stats/StatisticsManager.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace {

const QString ProjectId = QStringLiteral("00000000-0000-0000-0000-0000000000BB");
constexpr int Records = 100000;
constexpr int RecordsPerDay = 90;
constexpr int Folders = 10;
constexpr int CardsPerFolder = 20;
constexpr int WordsPerCard = 150;

void fillProject(ManagedObjectContext* context, const QDateTime& now)
{
    for (int f = 0; f < Folders; ++f) {
        const QString folderId = QStringLiteral("FOLDER-%1").arg(f);
        auto* folder = context->insertNew<ProjectItem>();
        folder->setUniqueIdentifier(folderId);
        folder->setProjectId(ProjectId);
        folder->setParentItemId(ItemIds::Top);
        folder->setItemType(ProjectItemTypes::Folder);
        folder->setDisplayOrder(f + 1);
        for (int c = 0; c < CardsPerFolder; ++c) {
            auto* card = context->insertNew<ProjectItem>();
            card->setUniqueIdentifier(QStringLiteral("CARD-%1-%2").arg(f).arg(c));
            card->setProjectId(ProjectId);
            card->setParentItemId(folderId);
            card->setItemType(ProjectItemTypes::Story);
            card->setDisplayOrder(c + 1);
            card->setWordCount(WordsPerCard);
        }
    }
    for (int i = 0; i < Records; ++i) {
        auto* stat = context->insertNew<ProjectStat>();
        stat->setUniqueIdentifier(QStringLiteral("STAT-%1").arg(i));
        stat->setProjectId(ProjectId);
        stat->setProjectItemId(QStringLiteral("CARD-%1-%2").arg(i % Folders).arg(i % CardsPerFolder));
        // Newest today, going back one day every RecordsPerDay records, a few minutes apart within a day.
        stat->setStartTime(now.addDays(-(i / RecordsPerDay)).addSecs(-(i % RecordsPerDay) * 7).toUTC());
        stat->setTime(30 + i % 300);
        stat->setWordCount(i % 7 == 0 ? -3 : 9);
    }
    if (auto error = context->save())
        qFatal("Filling the benchmark store failed: %s", qPrintable(error->message));
}

// One store for every benchmark of the run: filling it takes longer than all the measurements. The days are
// also rolled up the plain way, record by record, to check every figure against.
struct FilledStore {
    FilledStore() : now(QDateTime::currentDateTime())
    {
        fillProject(store.context(), now);
        days = StatisticsManager::dayStats(StatisticsManager::fetchRecords(store.context(), ProjectId), 0, true);
    }
    TestStore store;
    QDateTime now;
    QList<DayStat> days;
};

FilledStore& filled()
{
    static FilledStore instance;
    return instance;
}

// The daily check runs the morning after the last record: nothing written yet today, so a keystroke only
// compares.
std::unique_ptr<AchievementsManager> makeManager(FilledStore& data)
{
    auto manager = std::make_unique<AchievementsManager>(data.store.context(), ProjectId);
    manager->setClock([&data] { return data.now.addDays(1); });
    manager->setNoticePoster([](const UserNotificationRequest&) {});
    return manager;
}

// How many achievements the project's figures reach, the days rolled up the plain way.
qsizetype reachableAchievements(const AchievementsManager& manager, const QList<DayStat>& days)
{
    const qint64 words = qint64(Folders) * CardsPerFolder * WordsPerCard;
    qsizetype count = 0;
    for (const QString& group : manager.badgeKeys()) {
        for (const Achievement* achievement : manager.achievements(group)) {
            qint64 figure = words;
            if (achievement->metricType() == MetricType::streakDays)
                figure = StatisticsManager::longestStreak(days);
            else if (achievement->metricType() == MetricType::averageWordsPerDay)
                figure = StatisticsManager::averageWordsPerDay(days);
            count += figure >= achievement->metric() ? 1 : 0;
        }
    }
    return count;
}

// The figures reach some achievements and leave others: a checker that never awards anything, or awards everything,
// cannot pass for one that compares.
bool reachesSomeButNotAll(const AchievementsManager& manager, qsizetype reachable)
{
    qsizetype all = 0;
    for (const QString& group : manager.badgeKeys())
        all += manager.achievements(group).size();
    return reachable > 0 && reachable < all;
}

// The board's check after an editor closes: 30,000 words leave "First 100 Pages" and "Novel Length" to earn,
// so every figure is computed, and nothing new is reached.
void BM_CheckAchievements100k(benchmark::State& state)
{
    FilledStore& data = filled();
    ManagedObjectContext* context = data.store.context();
    DbHelpers::deleteSettings(context, ProjectId);
    context->save();
    const auto first = makeManager(data);
    const qsizetype reachable = reachableAchievements(*first, data.days);
    if (!reachesSomeButNotAll(*first, reachable) || first->checkAchievements().size() != reachable) {
        state.SkipWithError("the first check did not earn what the figures reach");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        auto manager = makeManager(data);
        state.ResumeTiming();
        const QList<const Achievement*> earned = manager->checkAchievements();
        benchmark::DoNotOptimize(earned.size());
        // The library refuses the next pause after an error, so the loop ends with it.
        if (!earned.isEmpty()) {
            state.SkipWithError("earned again what was already earned");
            break;
        }
    }
}
BENCHMARK(BM_CheckAchievements100k)->Unit(benchmark::kMillisecond);

// The rarer check that earns: every achievement a candidate, as on a project that has earned none, and
// those reached are stored (one committed transaction).
void BM_CheckAchievements100kEarning(benchmark::State& state)
{
    FilledStore& data = filled();
    ManagedObjectContext* context = data.store.context();
    const auto table = makeManager(data);
    const qsizetype reachable = reachableAchievements(*table, data.days);
    if (!reachesSomeButNotAll(*table, reachable)) {
        state.SkipWithError("the figures reach no achievement, or every one");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        DbHelpers::deleteSettings(context, ProjectId);
        context->save();
        auto manager = makeManager(data);
        state.ResumeTiming();
        const QList<const Achievement*> earned = manager->checkAchievements();
        if (earned.size() != reachable) {
            state.SkipWithError("not what the figures reach was earned");
            break;
        }
    }
}
BENCHMARK(BM_CheckAchievements100kEarning)->Unit(benchmark::kMillisecond);

void BM_BeginDailyAverageCheck100k(benchmark::State& state)
{
    FilledStore& data = filled();
    DbHelpers::deleteSettings(data.store.context(), ProjectId);
    data.store.context()->save();
    auto manager = makeManager(data);
    const qint64 average = StatisticsManager::averageWordsPerDay(data.days);
    for (auto _ : state) {
        manager->beginDailyAverageCheck();
        // The morning after the last record: nothing written yet today.
        if (manager->hitDailyAverage() || manager->todaysDayAverage() != average || manager->todaysWordCount() != 0) {
            state.SkipWithError("the daily check was not armed at the average of the days");
            break;
        }
    }
}
BENCHMARK(BM_BeginDailyAverageCheck100k)->Unit(benchmark::kMillisecond);

void BM_StatisticsRollup100k(benchmark::State& state)
{
    FilledStore& data = filled();
    const DayStat unsaved(ProjectId, QStringLiteral("CARD-0-0"), data.now.toUTC(), 120, QStringLiteral("UNSAVED"), 40);
    const StatisticsReport expected =
        StatisticsManager::report(data.days, CardStats{}, SettingsHelper::DefaultWordsPerPage, unsaved, data.now);
    for (auto _ : state) {
        const StatisticsReport report = StatisticsManager::report(data.store.context(), ProjectId, unsaved, data.now);
        if (report.daysSpent != expected.daysSpent || report.wordsPerDay != expected.wordsPerDay ||
            report.streakDays != expected.streakDays || report.totalTime != expected.totalTime ||
            report.todaysWords != expected.todaysWords || report.busiestDayText != expected.busiestDayText) {
            state.SkipWithError("the roll-up did not read every record");
            break;
        }
    }
}
BENCHMARK(BM_StatisticsRollup100k)->Unit(benchmark::kMillisecond);

void BM_DailyAverageKeystroke(benchmark::State& state)
{
    FilledStore& data = filled();
    DbHelpers::deleteSettings(data.store.context(), ProjectId);
    data.store.context()->save();
    auto manager = makeManager(data);
    manager->beginDailyAverageCheck();
    ManagedObjectContext* context = data.store.context();
    const qint64 token = context->currentQueryGenerationToken().historyToken;
    qint64 words = 0;
    for (auto _ : state) {
        manager->dailyAverageCheck(words);
        words = (words + 1) % 50;
    }
    if (manager->hitDailyAverage() || context->hasChanges() ||
        context->currentQueryGenerationToken().historyToken != token)
        state.SkipWithError("the keystroke check fired or touched the store");
}
BENCHMARK(BM_DailyAverageKeystroke)->Unit(benchmark::kMicrosecond);

} // namespace
