#include "app/ScreenRegistry.h"
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
#include "platform/Storyboard.h"

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
          CompiledViewController::Identifier, QStringLiteral("sketchView"),
          QStringLiteral("statisticsView"), QStringLiteral("achievementView"), QStringLiteral("settingsView"),
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

} // namespace
