#include "ScreenRegistry.h"

#include "board/BoardEditorOpener.h"
#include "board/CardOpener.h"
#include "board/PeekCardRequest.h"
#include "board/PeekPanelLink.h"
#include "board/PeekTableViewController.h"
#include "board/ProjectOpener.h"
#include "board/ProjectViewController.h"
#include "board/PvCardViewController.h"
#include "board/SidebarViewController.h"
#include "core/AppDelegate.h"
#include "editors/CardNotesViewController.h"
#include "editors/ImageViewController.h"
#include "editors/PvEditViewController.h"
#include "editors/PvSummaryEditViewController.h"
#include "editors/SketchViewController.h"
#include "export/CompiledViewController.h"
#include "platform/Storyboard.h"
#include "stats/AchievementViewController.h"
#include "stats/SettingsViewController.h"
#include "stats/StatisticsViewController.h"

void ScreenRegistry::registerScreens()
{
    Storyboard::registerFactory(AppDelegate::ProjectListIdentifier, [] { return new ProjectViewController; });
    auto opening = std::make_shared<BoardEditorOpener>();
    Storyboard::registerFactory(ProjectOpener::BoardIdentifier, [opening] {
        auto* board = new PvCardViewController;
        board->setCardOpening(opening);
        return board;
    });
    Storyboard::registerFactory(ProjectOpener::SidebarIdentifier, [] { return new SidebarViewController; });
    CardNotesViewController::registerInStoryboard();
    ImageViewController::registerInStoryboard();
    auto boardLink = std::make_shared<PeekPanelLink>();
    PvEditViewController::registerInStoryboard(boardLink);
    PvSummaryEditViewController::registerInStoryboard(boardLink);
    SketchViewController::registerInStoryboard(boardLink);
    CompiledViewController::registerInStoryboard();
    StatisticsViewController::registerInStoryboard();
    AchievementViewController::registerInStoryboard();
    SettingsViewController::registerInStoryboard();
    PeekTableViewController::registerInStoryboard();
    // A card picked in an editor's peek panel opens as the secondary card over the panel; its save lists
    // the panel's folder again.
    PeekTableViewController::setOpenCardHook([](const PeekCardRequest& r) {
        auto cardModified = r.cardModified;
        CardOpener::openCard(r.presenter, r.context, r.card, r.cards, r.cardProps ? *r.cardProps : CardProps(),
                             r.filtering, r.regexQuery, {}, [cardModified](const QString& folderId) {
                                 if (cardModified)
                                     cardModified(folderId);
                             });
    });
}
