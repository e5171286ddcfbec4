#include "board/BoardAchievementNotice.h"
#include "BoardTestFixture.h"
#include "TestStore.h"
#include "core/AutoSaveController.h"
#include "core/AutoSaveSnapshot.h"
#include "core/ProjectItem.h"
#include "core/StoreConstants.h"
#include "platform/Alert.h"
#include "platform/NavigationController.h"
#include "stats/AchievementViewController.h"
#include "stats/AchievementsManager.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPointer>
#include <gtest/gtest.h>

namespace {

class BoardAchievementNoticeTest : public ::testing::Test {
protected:
    const QString projectId = QStringLiteral("PROJECT-1");

    void SetUp() override
    {
        board.resize(900, 700);
        board.show();
        ViewController::transitionAppearance(&board, true, false);
        manager = std::make_unique<AchievementsManager>(store.context(), projectId);
    }
    void TearDown() override
    {
        if (board.presentedViewController())
            board.dismiss(false);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void addWords(qint64 words)
    {
        auto* card = store.context()->insertNew<ProjectItem>();
        card->setUniqueIdentifier(QStringLiteral("CARD-%1").arg(words));
        card->setProjectId(projectId);
        card->setParentItemId(ItemIds::Top);
        card->setItemType(ProjectItemTypes::Story);
        card->setWordCount(words);
        ASSERT_FALSE(store.context()->save().has_value());
    }

    AchievementViewController* presentedAchievement() const
    {
        auto* sheet = qobject_cast<NavigationController*>(board.presentedViewController());
        return sheet ? qobject_cast<AchievementViewController*>(sheet->topViewController()) : nullptr;
    }

    const QString firstThousand = QStringLiteral("achievement.first.1000.words");
    TestStore store;
    ViewController board;
    std::unique_ptr<AchievementsManager> manager;
};

TEST_F(BoardAchievementNoticeTest, twoEarnedAtOnceShowOneNoticeForTheFirst)
{
    addWords(3000);
    AchievementViewController* shown = BoardAchievementNotice::show(&board, manager.get(), QStringLiteral("Salt"));
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->achievement()->label(), QStringLiteral("First 1000 Words"));
    EXPECT_EQ(shown->header()->text(), QStringLiteral("New Achievement"));
    EXPECT_FALSE(shown->isExisting());
    EXPECT_EQ(shown->shareText(), QStringLiteral("I earned the First 1000 Words achievement for my story \"Salt\"!"));
    auto* sheet = qobject_cast<NavigationController*>(board.presentedViewController());
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->modalPresentationStyle(), PresentationStyle::FormSheet);
    // "Short Story Length" was earned in the same check; it is stored, not announced.
    EXPECT_TRUE(manager->getAchievementForTag(QStringLiteral("achievement.short.story.length"))->isAchieved());
    board.dismiss(false);
    EXPECT_EQ(BoardAchievementNotice::show(&board, manager.get(), QStringLiteral("Salt")), nullptr);
    EXPECT_EQ(board.presentedViewController(), nullptr);
}

TEST_F(BoardAchievementNoticeTest, achievementEarnedUnderASheetIsAnnouncedOnceTheSheetHasClosed)
{
    board.present(new NavigationController(new ViewController), false, {}, PresentationStyle::FormSheet);
    ViewController* sheet = board.presentedViewController();
    addWords(3000);
    EXPECT_EQ(BoardAchievementNotice::show(&board, manager.get(), QStringLiteral("Salt")), nullptr);
    EXPECT_EQ(board.presentedViewController(), sheet);
    // Nothing was taken as announced: the store still holds no earned achievement.
    EXPECT_FALSE(AchievementsManager(store.context(), projectId).getAchievementForTag(firstThousand)->isAchieved());

    sheet->dismiss(false);
    AchievementViewController* shown = nullptr;
    ASSERT_TRUE(waitFor([&] { return (shown = presentedAchievement()) != nullptr; }));
    EXPECT_EQ(shown->achievement()->label(), QStringLiteral("First 1000 Words"));
    EXPECT_EQ(shown->shareText(), QStringLiteral("I earned the First 1000 Words achievement for my story \"Salt\"!"));
    EXPECT_TRUE(AchievementsManager(store.context(), projectId).getAchievementForTag(firstThousand)->isAchieved());
}

TEST_F(BoardAchievementNoticeTest, sheetClosingAfterTheBoardLeftTheScreenLeavesTheNoticeForItsNextAppearance)
{
    board.present(new NavigationController(new ViewController), false, {}, PresentationStyle::FormSheet);
    addWords(3000);
    EXPECT_EQ(BoardAchievementNotice::show(&board, manager.get(), QStringLiteral("Salt")), nullptr);
    ViewController::transitionAppearance(&board, false, false);
    QPointer<ViewController> sheet(board.presentedViewController());
    sheet->dismiss(false);
    ASSERT_TRUE(waitFor([&] { return sheet.isNull(); }));
    QCoreApplication::processEvents();
    EXPECT_EQ(board.presentedViewController(), nullptr);
    EXPECT_FALSE(manager->getAchievementForTag(firstThousand)->isAchieved());

    ViewController::transitionAppearance(&board, true, false);
    ASSERT_NE(BoardAchievementNotice::show(&board, manager.get(), QStringLiteral("Salt")), nullptr);
    EXPECT_NE(presentedAchievement(), nullptr);
}

TEST_F(BoardAchievementNoticeTest, nothingNewOrNoManagerShowsNothing)
{
    addWords(10);
    EXPECT_EQ(BoardAchievementNotice::show(&board, manager.get(), std::nullopt), nullptr);
    EXPECT_EQ(BoardAchievementNotice::show(&board, nullptr, std::nullopt), nullptr);
    EXPECT_EQ(board.presentedViewController(), nullptr);
}

} // namespace

namespace {

class BoardAppearingTest : public BoardTestFixture {};

TEST_F(BoardAppearingTest, boardThatAppearsAfterWordsWereEarnedAnnouncesTheFirstAchievement)
{
    add(ProjectItemTypes::Story, QStringLiteral("Long chapter"), 40)->setWordCount(3000);
    context()->save();
    board->setCurrentProjectTitle(QStringLiteral("Harbour"));
    appear();
    AchievementViewController* shown = nullptr;
    ASSERT_TRUE(waitFor([&] {
        auto* sheet = qobject_cast<NavigationController*>(board->presentedViewController());
        shown = sheet ? qobject_cast<AchievementViewController*>(sheet->topViewController()) : nullptr;
        return shown != nullptr;
    }));
    EXPECT_EQ(shown->achievement()->label(), QStringLiteral("First 1000 Words"));
}

TEST_F(BoardAppearingTest, boardThatAppearsUnderASheetAnnouncesTheAchievementWhenTheSheetCloses)
{
    add(ProjectItemTypes::Story, QStringLiteral("Long chapter"), 40)->setWordCount(3000);
    context()->save();
    board->present(new NavigationController(new ViewController), false, {}, PresentationStyle::FormSheet);
    QPointer<ViewController> sheet(board->presentedViewController());
    appear();
    EXPECT_EQ(board->presentedViewController(), sheet.data());
    sheet->dismiss(false);
    ASSERT_TRUE(waitFor([&] {
        auto* shown = qobject_cast<NavigationController*>(board->presentedViewController());
        return shown && qobject_cast<AchievementViewController*>(shown->topViewController());
    }));
}

TEST_F(BoardAppearingTest, wordsToRecoverAreOfferedBeforeAnyAchievement)
{
    add(ProjectItemTypes::Story, QStringLiteral("Long chapter"), 40)->setWordCount(3000);
    context()->save();
    const QString path = *AutoSaveController::autoSavePath(project, false);
    QVariantMap snapshot{{AutoSaveController::kProjectIdKey, project},
                         {AutoSaveController::kProjectItemIdKey, QString()},
                         {AutoSaveController::kTitleKey, QStringLiteral("Lost words")},
                         {AutoSaveController::kContentKey, QByteArray("words")},
                         {AutoSaveController::kItemTypeKey, ProjectItemTypes::Story},
                         {AutoSaveController::kItemFormatKey, 0}};
    ASSERT_TRUE(AutoSaveSnapshot::write(path, snapshot));
    appear();
    ASSERT_TRUE(waitFor([&] { return Alert::topmost() != nullptr; }));
    EXPECT_EQ(board->presentedViewController(), nullptr) << "no achievement sheet over the recovery question";
    AutoSaveController::deleteAutoSaveWithProjectId(project, false);
}

} // namespace
