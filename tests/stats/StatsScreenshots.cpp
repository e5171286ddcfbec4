// Renders the statistics, achievement and settings screens of a seeded project in the light and the dark scheme
// into /tmp PNGs, for a person to look at: stats_screenshots [folder]. Not a test; nothing here can fail.
#include "StatsSeed.h"
#include "TestScreenshots.h"
#include "TestStore.h"
#include "core/SettingsHelper.h"
#include "platform/NavigationController.h"
#include "stats/AchievementViewController.h"
#include "stats/AchievementsManager.h"
#include "stats/SettingsViewController.h"
#include "stats/StatisticsViewController.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));

    TestStore store;
    const StatsSeed seed;
    const QDateTime now(QDate(2026, 3, 18), QTime(20, 0));
    seed.fill(store.context(), now);
    store.context()->save();

    ViewController root;
    root.resize(1200, 900);
    root.show();
    ViewController::transitionAppearance(&root, true, false);

    StatisticsViewController::registerInStoryboard();
    auto* statsSheet = new StatisticsViewController;
    statsSheet->setContext(store.context());
    statsSheet->setProjectId(seed.projectId);
    statsSheet->setLastModified(now.addSecs(-3 * 3600));
    statsSheet->setClock([now] { return now; });
    SettingsHelper::setValue(store.context(), seed.projectId, SettingsHelper::WordTargetKey, QStringLiteral("60000"));
    root.present(new NavigationController(statsSheet), false, {}, PresentationStyle::FormSheet);
    QApplication::processEvents();
    grabInBothAppearances(statsSheet->window(), QStringLiteral("stats-statistics"));
    // The lower half: figures and badges.
    if (auto* scroll = statsSheet->findChild<QAbstractScrollArea*>(QStringLiteral("scrollView"))) {
        scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->maximum());
        grabInBothAppearances(statsSheet->window(), QStringLiteral("stats-statistics-lower"));
    }

    const Achievement* earned =
        statsSheet->achievementsManager()->getAchievementForTag(QStringLiteral("achievement.first.10000.words"));
    AchievementViewController* achievement = AchievementViewController::present(statsSheet, *earned, seed.title, false);
    QApplication::processEvents();
    grabInBothAppearances(achievement->window(), QStringLiteral("stats-achievement"));
    achievement->shareImage().save(QStringLiteral("/tmp/stats-achievement-share.png"));
    root.dismiss(false);

    SettingsViewController* settings = SettingsViewController::present(&root, store.context(), seed.projectId);
    QApplication::processEvents();
    grabInBothAppearances(settings->window(), QStringLiteral("stats-settings"));
    root.dismiss(false);
    return 0;
}
