#include "stats/StatisticsViewController.h"
#include "SheetTestSupport.h"
#include "StatsFixture.h"
#include "TestInk.h"
#include "TestScreenshots.h"
#include "TestWait.h"
#include "core/Project.h"
#include "core/ProjectSetting.h"
#include "platform/Alert.h"
#include "platform/GaugeView.h"
#include "platform/NavigationController.h"
#include "platform/ProgressHud.h"
#include "stats/AchievementViewController.h"
#include "stats/AchievementsManager.h"
#include "stats/BadgeStack.h"
#include "stats/BarChartCanvas.h"
#include "stats/BasicBarChart.h"
#include "stats/StatisticsCell.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QScrollArea>
#include <QTest>
#include <QToolButton>
#include <QVariantAnimation>

namespace {

// 18 March 2026, a Wednesday, at six in the evening.
class StatisticsViewControllerTest : public StatsFixture {
protected:
    const QDateTime now = local(2026, 3, 18, 18);

    void TearDown() override
    {
        closeSheetsOver(root);
        StatsFixture::TearDown();
    }

    void open(const std::optional<DayStat>& unsaved = std::nullopt,
              const std::optional<QDateTime>& lastModified = std::nullopt)
    {
        root.resize(1000, 900);
        root.show();
        ViewController::transitionAppearance(&root, true, false);
        sheet = new StatisticsViewController;
        sheet->setContext(context());
        sheet->setProjectId(projectId);
        sheet->setUnsavedStats(unsaved);
        sheet->setLastModified(lastModified);
        sheet->setClock([this] {
            if (whileReading)
                whileReading();
            return now;
        });
        root.present(new NavigationController(sheet), false, {}, PresentationStyle::FormSheet);
        ASSERT_TRUE(sheet);
    }
    void close() { root.dismiss(false); }

    // The cell in the badge stack that holds the badge of this achievement.
    QWidget* badgeCell(const char* tag) const
    {
        auto* button = sheet->achievementStack()->findChild<QToolButton*>(QString::fromLatin1(tag));
        return button ? button->parentWidget() : nullptr;
    }

    QString text(const char* name) const
    {
        QLabel* found = sheet->label(QString::fromLatin1(name));
        return found ? found->text() : QStringLiteral("<missing %1>").arg(QString::fromLatin1(name));
    }
    void typeGoal(const QString& goal)
    {
        sheet->goalField()->selectAll();
        QTest::keyClick(sheet->goalField(), Qt::Key_Backspace);
        QTest::keyClicks(sheet->goalField(), goal);
    }
    void setGoal(qint64 goal) { setSetting(SettingsHelper::WordTargetKey, QString::number(goal)); }
    // Days of writing ending on the 17th, going back count days, each with words.
    void addDaysBefore(int count, qint64 words)
    {
        for (int i = 0; i < count; ++i)
            addRecord(local(2026, 3, 17 - i, 10), 600, words);
    }
    QString storedGoal()
    {
        return SettingsHelper::getTextValue(context(), projectId, SettingsHelper::WordTargetKey, {});
    }

    ViewController root;
    QPointer<StatisticsViewController> sheet;
    // Runs whenever the sheet reads its clock, which it does while it works out the figures.
    std::function<void()> whileReading;
};

TEST_F(StatisticsViewControllerTest, withoutGoalTheGaugeIsEmptyAndTheChartHidden)
{
    addStoryCard(500);
    ASSERT_NO_FATAL_FAILURE(save());
    ASSERT_NO_FATAL_FAILURE(open());
    EXPECT_EQ(sheet->title(), QStringLiteral("Project Statistics"));
    EXPECT_EQ(sheet->goalField()->text(), QStringLiteral("0"));
    EXPECT_EQ(sheet->gaugeView()->value(), 0);
    EXPECT_EQ(text("summaryView"), QStringLiteral("Please set a goal to see a summary."));
    EXPECT_FALSE(sheet->barCharRowView()->isVisibleTo(sheet));
}

TEST_F(StatisticsViewControllerTest, goalPassedShowsAbove100WithAFullRingAndCongratulates)
{
    addStoryCard(1200);
    setGoal(1000);
    ASSERT_NO_FATAL_FAILURE(open());
    EXPECT_DOUBLE_EQ(sheet->gaugeView()->value(), 120);
    EXPECT_EQ(sheet->gaugeView()->valueText(), QStringLiteral("120"));
    EXPECT_DOUBLE_EQ(sheet->gaugeView()->fillFraction(), 1.0);
    EXPECT_EQ(sheet->gaugeView()->unitText(), QStringLiteral("%"));
    EXPECT_EQ(sheet->gaugeView()->valueFont().pixelSize(), StatisticsViewController::GaugeFontSize);
    EXPECT_TRUE(sheet->gaugeView()->valueFont().bold());
    EXPECT_EQ(text("summaryView"), QStringLiteral("You have completed this project. Congratulations!"));
    EXPECT_FALSE(sheet->barCharRowView()->isVisibleTo(sheet));
    // The week is drawn only while the project is below its goal: reaching it exactly is no longer below.
    typeGoal(QStringLiteral("1200"));
    EXPECT_FALSE(sheet->barCharRowView()->isVisibleTo(sheet));
    typeGoal(QStringLiteral("1201"));
    EXPECT_TRUE(sheet->barCharRowView()->isVisibleTo(sheet));
}

TEST_F(StatisticsViewControllerTest, noAverageMeansTheProjectIsNeverCompleted)
{
    addStoryCard(400);
    setGoal(1000);
    ASSERT_NO_FATAL_FAILURE(open());
    EXPECT_EQ(text("summaryView"), QStringLiteral("At your average current rate of 0 words per day, you can expect to "
                                                  "never complete this project."));
    EXPECT_TRUE(sheet->barCharRowView()->isVisibleTo(sheet));
}

TEST_F(StatisticsViewControllerTest, averageOf100LeavesSixDaysToTheGoal)
{
    addStoryCard(400);
    setGoal(1000);
    addRecord(local(2026, 3, 18, 9), 600, 50);
    addDaysBefore(2, 100);
    ASSERT_NO_FATAL_FAILURE(save());
    ASSERT_NO_FATAL_FAILURE(open());
    EXPECT_EQ(text("avgWordsPerDayView"), QStringLiteral("100"));
    EXPECT_EQ(text("summaryView"), QStringLiteral("At your average current rate of 100 words per day, you could "
                                                  "complete this project in 6 days. (Mar 24, 2026)."));
}

TEST_F(StatisticsViewControllerTest, figuresCoverEveryRecordNotOnlyThoseUpToTheGoal)
{
    addStoryCard(150);
    setGoal(100);
    addRecord(local(2026, 3, 17), 60, 60);
    addRecord(local(2026, 3, 16), 60, 30);
    addRecord(local(2026, 3, 15), 60, 20);
    addRecord(local(2026, 3, 14), 60, 50);
    ASSERT_NO_FATAL_FAILURE(save());
    ASSERT_NO_FATAL_FAILURE(open());
    EXPECT_EQ(text("daysSpentInProjectView"), QStringLiteral("4"));
    EXPECT_EQ(text("streakView"), QStringLiteral("4 Days"));
    EXPECT_EQ(text("totalTimeInProjectView"), QStringLiteral("0 hours, 4 minutes"));
    // A new goal changes what depends on the goal, never the figures.
    typeGoal(QStringLiteral("10"));
    EXPECT_EQ(text("daysSpentInProjectView"), QStringLiteral("4"));
}

TEST_F(StatisticsViewControllerTest, unsavedStretchCountsTowardTheBadgesAsTowardTheFigures)
{
    addStoryCard(100);
    // Six stored days: a streak of six, and an average of 100 over all but the newest day.
    addRecord(local(2026, 3, 17, 10), 600, 800);
    for (int day = 16; day >= 12; --day)
        addRecord(local(2026, 3, day, 10), 600, 100);
    ASSERT_NO_FATAL_FAILURE(save());
    const DayStat unsaved(projectId, QStringLiteral("CARD-1"), local(2026, 3, 18, 17).toUTC(), 900,
                          QStringLiteral("UNSAVED"), 120);
    ASSERT_NO_FATAL_FAILURE(open(unsaved));
    // Today's stretch makes the seventh day in a row and brings the 17th into the average: 1300 / 6.
    EXPECT_EQ(text("streakView"), QStringLiteral("7 Days"));
    EXPECT_EQ(text("avgWordsPerDayView"), QStringLiteral("216"));
    for (const char* tag : {"achievement.days.in.row.7", "achievement.word.average.200"}) {
        const Achievement* achievement = sheet->achievementsManager()->getAchievementForTag(QString::fromLatin1(tag));
        ASSERT_NE(achievement, nullptr) << tag;
        EXPECT_TRUE(achievement->isAchieved()) << tag;
        EXPECT_NE(SettingsHelper::fetchSetting(context(), projectId, QString::fromLatin1(tag)), nullptr) << tag;
        auto* badge = sheet->achievementStack()->findChild<QToolButton*>(QString::fromLatin1(tag));
        ASSERT_NE(badge, nullptr) << tag;
        EXPECT_EQ(badge->cursor().shape(), Qt::PointingHandCursor) << tag << " opens as an earned badge";
    }
    const Achievement* higher =
        sheet->achievementsManager()->getAchievementForTag(QStringLiteral("achievement.word.average.300"));
    ASSERT_NE(higher, nullptr);
    EXPECT_FALSE(higher->isAchieved());
}

TEST_F(StatisticsViewControllerTest, storedSevenDayStreakIsEarnedAndOpensAsAnExistingAchievement)
{
    addStoryCard(100);
    auto* project = context()->insertNew<Project>();
    project->setUniqueIdentifier(projectId);
    project->setProjectTitle(QStringLiteral("Harbour Lights"));
    addDaysBefore(7, 50);
    ASSERT_NO_FATAL_FAILURE(save());
    ASSERT_NO_FATAL_FAILURE(open());
    const QString tag = QStringLiteral("achievement.days.in.row.7");
    EXPECT_FALSE(SettingsHelper::fetchSetting(context(), projectId, tag) == nullptr);
    EXPECT_FALSE(context()->hasChanges());

    auto* badge = sheet->achievementStack()->findChild<QToolButton*>(tag);
    ASSERT_NE(badge, nullptr);
    EXPECT_EQ(badge->accessibleName(), tag);
    EXPECT_EQ(badge->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(badge, Qt::LeftButton);
    auto* shown = qobject_cast<NavigationController*>(sheet->presentedViewController());
    ASSERT_NE(shown, nullptr);
    auto* screen = qobject_cast<AchievementViewController*>(shown->topViewController());
    ASSERT_NE(screen, nullptr);
    EXPECT_TRUE(screen->isExisting());
    EXPECT_EQ(screen->header()->text(), QStringLiteral("Achievement"));
    EXPECT_EQ(screen->tip(), nullptr);
    EXPECT_EQ(screen->shareText(),
              QStringLiteral("I earned the 7 Day Streak achievement for my story \"Harbour Lights\"!"));
}

TEST_F(StatisticsViewControllerTest, badgeNotYetEarnedOpensNothing)
{
    ASSERT_NO_FATAL_FAILURE(open());
    auto* badge = sheet->achievementStack()->findChild<QToolButton*>(QStringLiteral("achievement.novel.length"));
    ASSERT_NE(badge, nullptr);
    EXPECT_NE(badge->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(badge, Qt::LeftButton);
    EXPECT_EQ(sheet->presentedViewController(), nullptr);
    // Thirteen badges in three groups.
    EXPECT_EQ(sheet->achievementStack()->findChildren<QToolButton*>().size(), 13);
}

TEST_F(StatisticsViewControllerTest, typedGoalRecomputesAtOnceAndIsStoredOnlyWhenLeaving)
{
    addStoryCard(400);
    setGoal(1000);
    ASSERT_NO_FATAL_FAILURE(open());
    typeGoal(QStringLiteral("2000"));
    EXPECT_EQ(sheet->wordGoal(), 2000);
    EXPECT_DOUBLE_EQ(sheet->gaugeView()->value(), 20);
    EXPECT_EQ(storedGoal(), QStringLiteral("1000"));
    close();
    EXPECT_EQ(storedGoal(), QStringLiteral("2000"));
    EXPECT_FALSE(context()->hasChanges());
}

TEST_F(StatisticsViewControllerTest, goalOutsideZeroToABillionIsRefusedInTheFieldAndNotStored)
{
    addStoryCard(400);
    setGoal(1000);
    for (const QString& hostile : {QStringLiteral("abc"), QStringLiteral("-1"), QStringLiteral("1000000001"),
                                   QStringLiteral("12 words"), QStringLiteral("99999999999999")}) {
        SCOPED_TRACE(hostile.toStdString());
        ASSERT_NO_FATAL_FAILURE(open());
        typeGoal(hostile);
        EXPECT_TRUE(sheet->goalMessage()->isVisibleTo(sheet));
        EXPECT_EQ(sheet->goalMessage()->text(), StatisticsViewController::GoalRefused);
        close();
        EXPECT_EQ(storedGoal(), QStringLiteral("1000"));
    }
}

TEST_F(StatisticsViewControllerTest, refusedGoalKeepsTheFiguresOfTheLastGoal)
{
    addStoryCard(400);
    setGoal(1000);
    ASSERT_NO_FATAL_FAILURE(open());
    // Typed over the selected goal, so no empty field comes between.
    sheet->goalField()->selectAll();
    QTest::keyClicks(sheet->goalField(), QStringLiteral("abc"));
    EXPECT_TRUE(sheet->goalMessage()->isVisibleTo(sheet));
    EXPECT_EQ(sheet->wordGoal(), 1000);
    EXPECT_DOUBLE_EQ(sheet->gaugeView()->value(), 40);
}

TEST_F(StatisticsViewControllerTest, goalAtTheLimitsIsTaken)
{
    ASSERT_NO_FATAL_FAILURE(open());
    typeGoal(QStringLiteral("1000000000"));
    EXPECT_FALSE(sheet->goalMessage()->isVisibleTo(sheet));
    EXPECT_EQ(sheet->wordGoal(), 1000000000);
    typeGoal(QString());
    EXPECT_FALSE(sheet->goalMessage()->isVisibleTo(sheet));
    EXPECT_EQ(sheet->wordGoal(), 0);
    typeGoal(QStringLiteral("1000000000"));
    close();
    EXPECT_EQ(storedGoal(), QStringLiteral("1000000000"));
}

TEST_F(StatisticsViewControllerTest, storingTheGoalLeavesAnOpenEditorsChangesPending)
{
    ProjectItem* card = addStoryCard(400);
    ASSERT_NO_FATAL_FAILURE(save());
    ASSERT_NO_FATAL_FAILURE(open());
    card->setTitle(QStringLiteral("Typed in the editor"));
    typeGoal(QStringLiteral("5000"));
    close();
    EXPECT_TRUE(context()->updatedObjects().contains(card));
    store.reopen();
    EXPECT_EQ(storedGoal(), QStringLiteral("5000"));
}

TEST_F(StatisticsViewControllerTest, weekChartRunsSundayToSaturdayWithNothingAfterToday)
{
    addStoryCard(400);
    setGoal(100000);
    addRecord(local(2026, 3, 18, 9), 600, 300);
    addRecord(local(2026, 3, 17, 9), 600, 0);
    addRecord(local(2026, 3, 16, 9), 600, 100);
    addRecord(local(2026, 3, 15, 9), 600, 500);
    ASSERT_NO_FATAL_FAILURE(save());
    ASSERT_NO_FATAL_FAILURE(open());
    ASSERT_TRUE(sheet->barCharRowView()->isVisibleTo(sheet));
    const QList<BasicBarEntry>& bars = sheet->daysChartView()->barEntries();
    ASSERT_EQ(bars.size(), 7);
    const QStringList titles{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(bars[i].data.title, titles[i]);
    // Average (0 + 100 + 500) / 3 = 200: Sunday green, Monday yellow, Tuesday red, Wednesday green.
    EXPECT_EQ(bars[0].data.color, QColor(0x43, 0xD4, 0x59));
    EXPECT_EQ(bars[1].data.color, QColor(0xFA, 0xBC, 0x27));
    EXPECT_EQ(bars[2].data.color, QColor(0xF7, 0x56, 0x50));
    EXPECT_EQ(bars[3].data.textValue, QStringLiteral("300"));
    for (int i = 4; i < 7; ++i) {
        EXPECT_TRUE(bars[i].data.textValue.isEmpty());
        EXPECT_EQ(bars[i].barHeight, 0);
    }
    // A new goal draws the week again at once: the bars are not moved into place.
    typeGoal(QStringLiteral("90000"));
    auto* animation = sheet->daysChartView()->findChild<QVariantAnimation*>();
    ASSERT_NE(animation, nullptr);
    EXPECT_EQ(animation->state(), QAbstractAnimation::Stopped);
}

TEST_F(StatisticsViewControllerTest, emptyProjectReadsNoneAndZero)
{
    ASSERT_NO_FATAL_FAILURE(open());
    EXPECT_EQ(text("streakView"), QStringLiteral("None yet"));
    EXPECT_EQ(text("totalTimeInProjectView"), QStringLiteral("None"));
    EXPECT_EQ(text("avgTimePerDayView"), QStringLiteral("0"));
    EXPECT_EQ(text("busiestDayView"), QStringLiteral("No information yet"));
    EXPECT_EQ(text("averageTimeToReadView"), QStringLiteral("0 Minutes"));
    EXPECT_TRUE(sheet->timeTrendView()->pixmap().isNull());
    // Leaving without touching the goal writes no goal.
    close();
    EXPECT_EQ(SettingsHelper::fetchSetting(context(), projectId, SettingsHelper::WordTargetKey), nullptr);
}

TEST_F(StatisticsViewControllerTest, oneDayOfWritingIsAStreakOfOneDay)
{
    addStoryCard(100);
    addRecord(local(2026, 3, 17, 10), 600, 100);
    ASSERT_NO_FATAL_FAILURE(save());
    ASSERT_NO_FATAL_FAILURE(open());
    EXPECT_EQ(text("streakView"), QStringLiteral("1 Day"));
}

TEST_F(StatisticsViewControllerTest, cardCountsWordsPagesAndReadingTimeAreShown)
{
    addStoryCard(14280);
    addStoryCard(999)->setItemType(ProjectItemTypes::Idea);
    ASSERT_NO_FATAL_FAILURE(save());
    ASSERT_NO_FATAL_FAILURE(open());
    EXPECT_EQ(text("totalCardsView"), QStringLiteral("2"));
    EXPECT_EQ(text("storyCardsView"), QStringLiteral("1"));
    EXPECT_EQ(text("totalWordsView"), QStringLiteral("14280"));
    // 14280 / 330 = 43.3 pages.
    EXPECT_EQ(text("totalPagesView"), QStringLiteral("43"));
    EXPECT_EQ(text("averageTimeToReadView"), QStringLiteral("1 Hour, 0 Minutes"));
}

TEST_F(StatisticsViewControllerTest, presentedSheetReadsTheStoreItWasGiven)
{
    addStoryCard(700);
    addRecord(QDateTime::currentDateTime().addDays(-3), 600, 40);
    ASSERT_NO_FATAL_FAILURE(save());
    root.resize(1000, 900);
    root.show();
    ViewController::transitionAppearance(&root, true, false);
    const DayStat unsaved(projectId, QStringLiteral("CARD-1"), QDateTime::currentDateTimeUtc(), 60,
                          QStringLiteral("UNSAVED"), 5);
    sheet = StatisticsViewController::present(&root, context(), projectId, QDateTime::currentDateTime(), unsaved);
    ASSERT_TRUE(sheet);
    EXPECT_EQ(text("totalWordsView"), QStringLiteral("700"));
    // The stored day and the unsaved stretch of today.
    EXPECT_EQ(text("daysSpentInProjectView"), QStringLiteral("2"));
    EXPECT_FALSE(text("lastModifiedView").isEmpty());
}

TEST_F(StatisticsViewControllerTest, indicatorIsUpWhileTheFiguresAreReadAndGoneOnceShown)
{
    ASSERT_FALSE(ProgressHud::isActive());
    bool upWhileReading = false;
    whileReading = [&upWhileReading] {
        upWhileReading = upWhileReading || ProgressHud::isActive();
    };
    ASSERT_NO_FATAL_FAILURE(open());
    EXPECT_TRUE(upWhileReading);
    EXPECT_FALSE(ProgressHud::isActive());
}

TEST_F(StatisticsViewControllerTest, goalFieldSitsUnderItsCaptionBesideTheGauge)
{
    ASSERT_NO_FATAL_FAILURE(open());
    QLineEdit* field = sheet->goalField();
    QLabel* caption = nullptr;
    for (QLabel* each : field->parentWidget()->findChildren<QLabel*>()) {
        if (each->text() == QStringLiteral("Word Goal"))
            caption = each;
    }
    ASSERT_NE(caption, nullptr);
    auto box = [this](QWidget* widget) {
        return QRect(widget->mapTo(sheet.data(), QPoint()), widget->size());
    };
    // Laid out once the layout requests posted on showing have run: 16 points right of the gauge.
    EXPECT_TRUE(waitFor([&] { return box(field).left() - box(sheet->gaugeView()).right() - 1 == 16; }));
    EXPECT_GT(box(field).top(), box(caption).bottom());
    EXPECT_EQ(box(field).top() - box(caption).bottom() - 1, 6);
    EXPECT_TRUE(caption->isVisibleTo(sheet));
    EXPECT_TRUE(field->isVisibleTo(sheet));
}

TEST_F(StatisticsViewControllerTest, figureCellsShareTheWidthWithASmallerCaptionAboveASelectableValue)
{
    addStoryCard(14280);
    ASSERT_NO_FATAL_FAILURE(save());
    ASSERT_NO_FATAL_FAILURE(open());
    auto* scroll = sheet->findChild<QScrollArea*>(QStringLiteral("scrollView"));
    ASSERT_NE(scroll, nullptr);
    QLabel* words = sheet->label(QStringLiteral("totalWordsView"));
    QLabel* pages = sheet->label(QStringLiteral("totalPagesView"));
    ASSERT_NE(words, nullptr);
    ASSERT_NE(pages, nullptr);
    QLabel* caption = nullptr;
    for (QLabel* each : words->parentWidget()->findChildren<QLabel*>()) {
        if (each->text() == QStringLiteral("Total Words"))
            caption = each;
    }
    ASSERT_NE(caption, nullptr);
    auto box = [this](QWidget* widget) {
        return QRect(widget->mapTo(sheet.data(), QPoint()), widget->size());
    };
    // The content spans the sheet, and its two columns of figures share it equally.
    EXPECT_TRUE(waitFor([&] { return scroll->widget()->width() == scroll->viewport()->width(); }));
    EXPECT_EQ(words->parentWidget()->width(), pages->parentWidget()->width());
    EXPECT_GT(box(words).top(), box(caption).bottom());
    EXPECT_LT(caption->font().pointSizeF(), words->font().pointSizeF());
    EXPECT_TRUE(words->font().bold());
    EXPECT_FALSE(caption->font().bold());
    // A figure can be selected to be copied.
    words->setSelection(0, 5);
    EXPECT_EQ(words->selectedText(), QStringLiteral("14280"));
}

TEST_F(StatisticsViewControllerTest, figureCellsLineUpWithTheGoalCellAboveThem)
{
    ASSERT_NO_FATAL_FAILURE(open());
    QWidget* goal = sheet->gaugeView()->parentWidget();
    QLabel* words = sheet->label(QStringLiteral("totalWordsView"));
    QLabel* pages = sheet->label(QStringLiteral("totalPagesView"));
    ASSERT_NE(words, nullptr);
    ASSERT_NE(pages, nullptr);
    auto box = [this](QWidget* widget) {
        return QRect(widget->mapTo(sheet.data(), QPoint()), widget->size());
    };
    QWidget* left = words->parentWidget();
    QWidget* right = pages->parentWidget();
    // Laid out: the two cells stand side by side.
    ASSERT_TRUE(waitFor([&] { return box(right).left() > box(left).right(); }));
    EXPECT_EQ(box(left).left(), box(goal).left());
    EXPECT_EQ(box(right).right(), box(goal).right());
}

TEST_F(StatisticsViewControllerTest, weekChartFollowsTheAppearance)
{
    addStoryCard(400);
    setGoal(100000);
    addRecord(local(2026, 3, 17, 9), 600, 300);
    addRecord(local(2026, 3, 16, 9), 600, -50);
    ASSERT_NO_FATAL_FAILURE(save());
    ASSERT_NO_FATAL_FAILURE(open());
    ASSERT_EQ(sheet->daysChartView()->barEntries().size(), 7);
    // Saturday is still to come, and Monday lost words: both drawn in the text colour of the appearance.
    EXPECT_EQ(sheet->daysChartView()->barEntries()[6].data.color, QColor(Qt::black));
    EXPECT_EQ(sheet->daysChartView()->barEntries()[1].data.color, QColor(Qt::black));
    const QPalette light = switchScheme(true);
    const bool followed =
        waitFor([&] { return sheet->daysChartView()->barEntries()[6].data.color == QColor(Qt::white); });
    const QColor monday = sheet->daysChartView()->barEntries()[1].data.color;
    QApplication::setPalette(light);
    EXPECT_TRUE(followed);
    EXPECT_EQ(monday, QColor(Qt::white));
}

TEST_F(StatisticsViewControllerTest, badgesInARowAndRowsAreSpacedAlike)
{
    addStoryCard(100);
    ASSERT_NO_FATAL_FAILURE(open());
    QWidget* first = badgeCell("achievement.first.1000.words");
    QWidget* second = badgeCell("achievement.first.10000.words");
    QWidget* below = badgeCell("achievement.first.1000.pages");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    ASSERT_NE(below, nullptr);
    EXPECT_TRUE(waitFor([&] { return second->x() - first->geometry().right() - 1 == BadgeStack::Spacing; }));
    EXPECT_EQ(below->y() - first->geometry().bottom() - 1, BadgeStack::Spacing);
}

TEST_F(StatisticsViewControllerTest, badgeNameSitsFourPointsUnderItsPicture)
{
    addStoryCard(100);
    ASSERT_NO_FATAL_FAILURE(open());
    BadgeStack* stack = sheet->achievementStack();
    auto* button = stack->findChild<QToolButton*>(QStringLiteral("achievement.first.1000.words"));
    ASSERT_NE(button, nullptr);
    QWidget* cell = button->parentWidget();
    auto* name = cell->findChild<QLabel*>();
    ASSERT_NE(name, nullptr);
    // The cell laid out: the name stands under the picture.
    ASSERT_TRUE(waitFor([&] { return name->y() > button->geometry().bottom(); }));
    EXPECT_EQ(name->y() - button->geometry().bottom() - 1, 4);
}

TEST_F(StatisticsViewControllerTest, namesOfBadgesNotYetEarnedAreFaintButReadableInBothAppearances)
{
    addStoryCard(1200);
    ASSERT_NO_FATAL_FAILURE(save());
    const QPalette light = QApplication::palette();
    // The name as drawn on its panel: its strongest ink against the panel's colour; 0 until laid out.
    const auto contrastOfName = [&](const char* tag) {
        auto* button = sheet->achievementStack()->findChild<QToolButton*>(QString::fromLatin1(tag));
        auto* name = button ? button->parentWidget()->findChild<QLabel*>() : nullptr;
        auto* panel = qobject_cast<StatisticsCell*>(sheet->achievementStack()->parentWidget());
        // Not yet laid out until the name stands under its picture.
        if (!name || !panel || name->y() <= button->geometry().bottom() || name->height() == 0)
            return 0.0;
        const QImage shown = panel->grab(QRect(name->mapTo(panel, QPoint(0, 0)), name->size())).toImage();
        return contrastRatio(strongestInk(shown), panel->color());
    };
    const auto expectFaintButReadable = [&] {
        // Once the desktop's colours have reached the badges.
        ASSERT_TRUE(waitFor([&] {
            return contrastOfName("achievement.first.1000.words") > 0 &&
                   sheet->achievementStack()->palette().color(QPalette::WindowText) ==
                       QApplication::palette().color(QPalette::WindowText);
        }));
        const double earned = contrastOfName("achievement.first.1000.words");
        const double unearned = contrastOfName("achievement.first.10000.words");
        EXPECT_GE(unearned, 3.0) << "readable";
        EXPECT_LT(unearned, 4.5) << "faint";
        EXPECT_GT(earned, unearned * 1.4) << "an earned name stands out more";
    };
    for (const bool dark : {false, true}) {
        SCOPED_TRACE(dark ? "opened in the dark" : "opened in the light");
        // What a desktop hands over, its disabled text made for its own grounds.
        QApplication::setPalette(dark ? darkPalette(light) : light);
        ASSERT_NO_FATAL_FAILURE(open());
        ASSERT_NO_FATAL_FAILURE(expectFaintButReadable());
        // Faint and also told as not available to whoever reads the screen aloud; the groups' titles small.
        auto* unearned =
            sheet->achievementStack()->findChild<QToolButton*>(QStringLiteral("achievement.first.10000.words"));
        ASSERT_NE(unearned, nullptr);
        EXPECT_FALSE(unearned->parentWidget()->findChild<QLabel*>()->isEnabled());
        const QList<QLabel*> titles =
            sheet->achievementStack()->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly);
        ASSERT_EQ(titles.size(), 3);
        for (QLabel* title : titles)
            EXPECT_EQ(title->font().pixelSize(), BadgeStack::GroupTitleSize) << title->text().toStdString();
        // The desktop turns to the other appearance while the screen is open.
        QApplication::setPalette(dark ? light : darkPalette(light));
        ASSERT_NO_FATAL_FAILURE(expectFaintButReadable()) << "after the switch";
        close();
        closeSheetsOver(root);
    }
    QApplication::setPalette(light);
}

TEST_F(StatisticsViewControllerTest, aWeekOfMoreWritingThanBeforeShowsRisingArrowsBesideTheAverages)
{
    addStoryCard(400);
    // The newest day aside, the seven before it wrote 500 words an hour a day; the days before that, 100.
    for (int day = 18; day >= 9; --day)
        addRecord(local(2026, 3, day, 9), 3600, day >= 11 ? 500 : 100);
    addRecord(local(2026, 3, 1, 9), 60, 100);
    ASSERT_NO_FATAL_FAILURE(save());
    ASSERT_NO_FATAL_FAILURE(open());
    for (const char* name : {"wordsTrendView", "timeTrendView"}) {
        SCOPED_TRACE(name);
        auto* arrow = sheet->findChild<QLabel*>(QString::fromLatin1(name));
        ASSERT_NE(arrow, nullptr);
        EXPECT_EQ(arrow->property("trend").toInt(), 1);
        EXPECT_FALSE(arrow->pixmap().isNull());
    }
}

TEST_F(StatisticsViewControllerTest, weekChartRowGivesTheBarsRoomToBeRead)
{
    addStoryCard(400);
    setGoal(100000);
    addRecord(local(2026, 3, 17, 9), 600, 300);
    ASSERT_NO_FATAL_FAILURE(save());
    ASSERT_NO_FATAL_FAILURE(open());
    auto* row = sheet->findChild<QWidget*>(QStringLiteral("barCharRowView"));
    ASSERT_NE(row, nullptr);
    EXPECT_TRUE(row->isVisibleTo(sheet));
    EXPECT_TRUE(row->isAncestorOf(sheet->daysChartView()));
    auto* scroll = sheet->findChild<QScrollArea*>(QStringLiteral("scrollView"));
    ASSERT_NE(scroll, nullptr);
    ASSERT_TRUE(waitFor([&] { return scroll->widget()->width() == scroll->viewport()->width(); }));
    EXPECT_GE(sheet->daysChartView()->height(), 220);
}

TEST_F(StatisticsViewControllerTest, onAScreenTallerThanTheFiguresTheRoomLeftOverStaysBelowThem)
{
    ASSERT_NO_FATAL_FAILURE(open());
    auto* scroll = sheet->findChild<QScrollArea*>(QStringLiteral("scrollView"));
    ASSERT_NE(scroll, nullptr);
    QWidget* content = scroll->widget();
    // Far taller than the goal, the figures and every badge together.
    root.resize(root.width(), 5000);
    sheet->window()->resize(sheet->window()->width(), 4800);
    ASSERT_TRUE(waitFor([&] { return content->height() >= 4000; }));
    int lowest = 0;
    for (auto* cell : content->findChildren<StatisticsCell*>(Qt::FindDirectChildrenOnly)) {
        if (cell->isVisibleTo(content))
            lowest = std::max(lowest, cell->geometry().bottom());
    }
    // The cells keep their own heights and spacing; what is left stays empty under the last one.
    EXPECT_GT(content->height() - lowest, 1000);
}

TEST_F(StatisticsViewControllerTest, cellsArePaintedInTheirColourWithRoundedCorners)
{
    ASSERT_NO_FATAL_FAILURE(open());
    StatisticsCell* cell = sheet->findChild<StatisticsCell*>();
    ASSERT_NE(cell, nullptr);
    ASSERT_TRUE(waitFor([&] { return cell->width() > 40 && cell->height() > 40; }));
    const QImage image = cell->grab().toImage();
    EXPECT_EQ(image.pixelColor(image.width() / 2, image.height() - 2).rgb(), cell->color().rgb());
    EXPECT_EQ(image.pixelColor(image.width() - 2, image.height() / 2).rgb(), cell->color().rgb());
    EXPECT_NE(image.pixelColor(0, 0).rgba(), cell->color().rgba());
}

TEST_F(StatisticsViewControllerTest, badgesInARowShareItsWidthEvenly)
{
    addStoryCard(100);
    ASSERT_NO_FATAL_FAILURE(open());
    QWidget* first = badgeCell("achievement.first.1000.words");
    QWidget* second = badgeCell("achievement.first.10000.words");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    ASSERT_TRUE(waitFor([&] { return second->x() - first->geometry().right() - 1 == BadgeStack::Spacing; }));
    EXPECT_LE(std::abs(first->width() - second->width()), 1);
}

TEST_F(StatisticsViewControllerTest, lastModifiedShowsMediumDateAndTimeWithSecondsThenHowLongAgo)
{
    open(std::nullopt, local(2026, 3, 16, 9, 5).addSecs(7));
    EXPECT_EQ(text("lastModifiedView"), QStringLiteral("Mar 16, 2026, 9:05:07 AM (2 days ago)"));
}

TEST_F(StatisticsViewControllerTest, cellsFollowTheAppearance)
{
    ASSERT_NO_FATAL_FAILURE(open());
    StatisticsCell* cell = sheet->findChild<StatisticsCell*>();
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->color(), QColor(0xE7, 0xE7, 0xE7));
    const QPalette light = switchScheme(true);
    const bool followed = waitFor([&] { return cell->color() == QColor(0x5B, 0x5B, 0x5D); });
    const QColor face = sheet->gaugeView()->faceColor();
    QApplication::setPalette(light);
    EXPECT_TRUE(followed);
    EXPECT_EQ(face, QColor(Qt::black));
}

} // namespace
