#include "app/ScreenRegistry.h"
#include "TestWait.h"
#include "board/PeekFixture.h"
#include "board/PeekListModel.h"
#include "board/PeekTableViewController.h"
#include "board/ProjectOpener.h"
#include "board/ProjectViewController.h"
#include "board/PvCardViewController.h"
#include "core/AppDelegate.h"
#include "editors/CardNotesViewController.h"
#include "editors/ImageViewController.h"
#include "editors/PvEditViewController.h"
#include "editors/PvSummaryEditViewController.h"
#include "export/CompiledViewController.h"
#include "platform/NavigationController.h"
#include "platform/Storyboard.h"

#include <QListView>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

TEST(ScreenRegistryTest, everyScreenTheProgramOpensByIdentifierIsRegistered)
{
    Storyboard::reset();
    ScreenRegistry::registerScreens();
    for (const QString& identifier :
         {AppDelegate::ProjectListIdentifier, ProjectOpener::BoardIdentifier, ProjectOpener::SidebarIdentifier,
          CardNotesViewController::StoryboardIdentifier, ImageViewController::StoryboardIdentifier,
          PvEditViewController::StoryboardIdentifier, PvSummaryEditViewController::StoryboardIdentifier,
          CompiledViewController::Identifier, QStringLiteral("sketchView"), QStringLiteral("statisticsView"),
          QStringLiteral("achievementView"), QStringLiteral("settingsView"),
          PeekTableViewController::StoryboardIdentifier}) {
        std::unique_ptr<ViewController> screen(Storyboard::instantiate(identifier));
        EXPECT_NE(screen, nullptr) << identifier.toStdString();
    }
    std::unique_ptr<ViewController> list(Storyboard::instantiate(AppDelegate::ProjectListIdentifier));
    EXPECT_NE(qobject_cast<ProjectViewController*>(list.get()), nullptr);
    std::unique_ptr<ViewController> board(Storyboard::instantiate(ProjectOpener::BoardIdentifier));
    auto* cardBoard = qobject_cast<PvCardViewController*>(board.get());
    ASSERT_NE(cardBoard, nullptr);
    EXPECT_NE(cardBoard->cardOpening(), nullptr) << "a board the program makes opens its cards";
}

class PeekOpeningTest : public ::testing::Test, public PeekFixture {
protected:
    PeekOpeningTest()
    {
        Storyboard::reset();
        ScreenRegistry::registerScreens();
        panel = makePanel();
        panel->resize(400, 700);
        panel->show();
        ViewController::transitionAppearance(panel.get(), true, false);
        panel->grab();
    }
    ~PeekOpeningTest() override
    {
        if (panel->presentedViewController())
            panel->dismiss(false);
        panel.reset();
        PeekTableViewController::setOpenCardHook({});
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // Clicks the card at row of the top level, where Lighthouse (an Idea) and Storm (a Story) are listed.
    void clickTopLevelCard(int row)
    {
        const QModelIndex index = panel->model()->indexForCard(0, row);
        ASSERT_TRUE(index.isValid());
        const QRect rect = panel->tableView()->visualRect(index);
        ASSERT_FALSE(rect.isEmpty());
        QTest::mouseClick(panel->tableView()->viewport(), Qt::LeftButton, {}, rect.center());
    }

    std::unique_ptr<PeekTableViewController> panel;
};

TEST_F(PeekOpeningTest, cardOfAFormatAfterSketchOpensNothingFromThePeekPanel)
{
    // Text is 0 and sketch 1; 2 comes from a newer program or foreign data.
    ProjectItem* lighthouse = nullptr;
    for (ProjectItem* card : panel->model()->sectionItems(0)) {
        if (card->uniqueIdentifier() == QStringLiteral("T1"))
            lighthouse = card;
    }
    ASSERT_NE(lighthouse, nullptr);
    lighthouse->setItemFormat(ProjectItemFormats::Sketch + 1);
    ASSERT_FALSE(store.context()->save().has_value());
    clickTopLevelCard(0);
    EXPECT_EQ(panel->presentedViewController(), nullptr);

    // Storm, a text card beside it, opens as the secondary card in the popup editor.
    clickTopLevelCard(1);
    auto* sheet = qobject_cast<NavigationController*>(panel->presentedViewController());
    ASSERT_NE(sheet, nullptr);
    auto* popup = qobject_cast<PvSummaryEditViewController*>(sheet->topViewController());
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->currentObject()->uniqueIdentifier(), QStringLiteral("T2"));
}

} // namespace
