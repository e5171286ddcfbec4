#include "BoardTestFixture.h"

#include "app/ScreenRegistry.h"
#include "board/BoardEditorOpener.h"
#include "board/BoardItemCreation.h"
#include "board/BoardNavigator.h"
#include "board/CardOpener.h"
#include "board/QueryGenerationPin.h"
#include "core/AutoSaveController.h"
#include "editors/KuvBaseSketch.h"
#include "editors/PvEditViewController.h"
#include "editors/PvSummaryEditViewController.h"
#include "export/KUVDocPickerViewController.h"
#include "platform/BarButtonItem.h"
#include "platform/NavigationController.h"
#include "platform/Storyboard.h"
#include "richtext/PvTextView.h"

#include <QLineEdit>

namespace {

// The card opener and the board's opening of editors, on the board fixture's project.
class CardOpenerTest : public BoardTestFixture {
protected:
    ~CardOpenerTest() override
    {
        if (board->presentedViewController())
            board->dismiss(false);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        AutoSaveController::deleteAutoSaveWithProjectId(project, false);
    }
    template <class T> T* presentedEditor(ViewController* presenter) const
    {
        auto* navigation = qobject_cast<NavigationController*>(presenter->presentedViewController());
        return navigation ? qobject_cast<T*>(navigation->topViewController()) : nullptr;
    }
    bool saveAndWait(PvSummaryEditViewController* editor)
    {
        bool finished = false;
        bool ok = false;
        QObject::connect(editor, &PvSummaryEditViewController::saveFinished, [&](bool saved) {
            finished = true;
            ok = saved;
        });
        editor->saveButton()->trigger();
        return waitFor([&] { return finished; }) && ok;
    }
    QString footerOf(const QString& title) const
    {
        const int row = rowOf(title);
        return row < 0 ? QString() : board->model()->index(row).data(CardListModel::CompactFooterRole).toString();
    }

    BoardEditorOpener opener;
};

TEST_F(CardOpenerTest, folderFromTheChooserWithoutTitleIsUntitledWithItsOrderAndSavedAtOnce)
{
    CardOpener cardOpener(board, context(), project, partOne, board->cardProps(), {});
    ProjectItem* made = nullptr;
    cardOpener.createItem(ProjectItemTypes::Folder, ProjectFolderTypes::Card, std::nullopt, 7, false, false, false,
                          [&](ProjectItem* item) { made = item; });
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->title(), QStringLiteral("Untitled 7"));
    EXPECT_EQ(made->itemType(), ProjectItemTypes::Folder);
    EXPECT_EQ(made->itemFormat(), ProjectItemFormats::Text);
    EXPECT_EQ(made->folderType(), ProjectFolderTypes::Card);
    EXPECT_EQ(made->displayOrder(), 7);
    EXPECT_EQ(made->parentItemId(), partOne);
    EXPECT_EQ(made->projectId(), project);
    EXPECT_FALSE(context()->hasChanges());
}

TEST_F(CardOpenerTest, chooserOffersTheCreatableTypesInThreeGroupsUnderNewCard)
{
    ViewController host;
    host.show();
    CardOpener cardOpener(&host, context(), project, ItemIds::Top, board->cardProps(), {});
    cardOpener.newCard(1, false, false, false, {});
    KUVDocPickerViewController* picker = presentedEditor<KUVDocPickerViewController>(&host);
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->formTitle(), QStringLiteral("New Card"));
    QStringList sections;
    for (const QList<KUVDocFormat>& section : picker->formats()) {
        QStringList titles;
        for (const KUVDocFormat& format : section)
            titles << format.formatTitle;
        sections << titles.join(',');
    }
    EXPECT_EQ(sections, QStringList({"Story", "Idea,Question,Reminder", "Location,Person,Event,Thing"}));
    host.dismiss(false);
}

TEST_F(CardOpenerTest, storyFromTheChooserPushesAnEmptyFullEditorAndPinsOnlyOnceItIsShown)
{
    auto* root = new ViewController;
    NavigationController navigation(root);
    navigation.resize(900, 700);
    navigation.show();
    ViewController::transitionAppearance(&navigation, true, false);
    CardOpener cardOpener(root, context(), project, ItemIds::Top, board->cardProps(), {});
    ASSERT_FALSE(context()->isPinned());
    cardOpener.createItem(ProjectItemTypes::Story, ProjectFolderTypes::Card, std::nullopt, 1, false, false, true, {});
    auto* editor = qobject_cast<PvEditViewController*>(navigation.topViewController());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->currentObject(), nullptr);
    EXPECT_TRUE(editor->isSecondaryCard());
    EXPECT_TRUE(context()->isPinned());
    navigation.popViewController(false);
    delete editor;
    EXPECT_FALSE(context()->isPinned()) << "the pin ends with the editor";

    // Without a navigation controller nothing opens, and nothing is pinned.
    ViewController alone;
    CardOpener lonely(&alone, context(), project, ItemIds::Top, board->cardProps(), {});
    lonely.createItem(ProjectItemTypes::Story, ProjectFolderTypes::Card, std::nullopt, 1, false, false, false, {});
    EXPECT_FALSE(context()->isPinned());
    ViewController::transitionAppearance(&navigation, false, false);
}

TEST_F(CardOpenerTest, existingTextCardOpensInThePopupAndASketchCardInTheSketchEditorBothAsSecondaryCards)
{
    ViewController host;
    host.show();
    ProjectItem* mara = item(QStringLiteral("Mara"));
    QString reportedFolder;
    ViewController* shown =
        CardOpener::openCard(&host, context(), mara, {}, board->cardProps(), true, QStringLiteral("lamp"), std::nullopt,
                             [&](const QString& folderId) { reportedFolder = folderId; });
    auto* editor = qobject_cast<PvSummaryEditViewController*>(shown);
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isPopup());
    EXPECT_TRUE(editor->isSecondaryCard());
    EXPECT_TRUE(editor->deferSave());
    EXPECT_TRUE(editor->preventFontSizeChange());
    EXPECT_EQ(editor->regexQuery(), QStringLiteral("lamp"));
    EXPECT_EQ(editor->currentItemType(), ProjectItemTypes::Person);
    EXPECT_FALSE(context()->isPinned()) << "a secondary card takes no pin of its own";
    ASSERT_TRUE(waitFor([&] { return editor->contentLoaded(); }));
    QTest::keyClicks(editor->editor(), QStringLiteral("Keeper"));
    ASSERT_TRUE(saveAndWait(editor));
    EXPECT_EQ(reportedFolder, ItemIds::Top);

    ASSERT_TRUE(waitFor([&] { return host.presentedViewController() == nullptr; }));
    mara->setItemFormat(ProjectItemFormats::Sketch);
    reportedFolder.clear();
    auto* sketch = qobject_cast<KuvBaseSketch*>(
        CardOpener::openCard(&host, context(), mara, {}, board->cardProps(), false, {}, std::nullopt,
                             [&](const QString& folderId) { reportedFolder = folderId; }));
    ASSERT_NE(sketch, nullptr);
    EXPECT_TRUE(sketch->isPopup());
    EXPECT_TRUE(sketch->isSecondaryCard());
    EXPECT_TRUE(sketch->deferSave());
    EXPECT_EQ(sketch->currentObject(), mara);
    EXPECT_EQ(sketch->currentItemType(), ProjectItemTypes::Person);
    // Its save is reported to the opener too.
    ASSERT_TRUE(waitFor([&] { return sketch->contentLoaded(); }));
    sketch->titleView()->setFocus();
    QTest::keyClicks(sketch->titleView(), QStringLiteral(" drawn"));
    bool saved = false;
    QObject::connect(sketch, &KuvBaseSketch::saveFinished, [&](bool ok) { saved = ok; });
    sketch->saveButton()->trigger();
    ASSERT_TRUE(waitFor([&] { return saved; }));
    EXPECT_EQ(reportedFolder, ItemIds::Top);
}

TEST_F(CardOpenerTest, boardOpensStoryFullScreenAndOtherTypesAsAPinnedSheetThatUnpinsWhenCancelled)
{
    ASSERT_NO_FATAL_FAILURE(appear());
    board->setCardOpening(std::shared_ptr<CardOpening>(&opener, [](CardOpening*) {}));
    clickRow(rowOf(QStringLiteral("Arrival")));
    auto* full = presentedEditor<PvEditViewController>(board);
    ASSERT_NE(full, nullptr);
    EXPECT_EQ(board->presentedViewController()->modalPresentationStyle(), PresentationStyle::FullScreen);
    EXPECT_EQ(full->achievementsManager(), board->achievementsManager());
    EXPECT_TRUE(context()->isPinned());
    ASSERT_TRUE(waitFor([&] { return full->contentLoaded(); }));
    full->cancelButton()->trigger();
    ASSERT_TRUE(waitFor([&] { return !board->presentedViewController() && !context()->isPinned(); }));
    // A Story card's recovered words come back in the full editor as well.
    ProjectItem* arrival = board->filteredCards().at(rowOf(QStringLiteral("Arrival")));
    opener.openRecovered(board, {arrival,
                                 board->currentProjectId(),
                                 board->currentFolderId(),
                                 ProjectItemTypes::Story,
                                 ProjectItemFormats::Text,
                                 {}});
    full = presentedEditor<PvEditViewController>(board);
    ASSERT_NE(full, nullptr);
    EXPECT_EQ(full->currentObject(), arrival);
    ASSERT_TRUE(waitFor([&] { return full->contentLoaded(); }));
    full->cancelButton()->trigger();
    // Recovered words are changes of their own: leaving them asks first.
    ASSERT_NE(Alert::topmost(), nullptr);
    ASSERT_TRUE(press(Alert::topmost(), 0));
    ASSERT_TRUE(waitFor([&] { return !board->presentedViewController() && !context()->isPinned(); }));

    clickRow(rowOf(QStringLiteral("Call")));
    auto* popup = presentedEditor<PvSummaryEditViewController>(board);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(board->presentedViewController()->modalPresentationStyle(), PresentationStyle::FormSheet);
    EXPECT_TRUE(popup->isModalInPresentation());
    EXPECT_TRUE(context()->isPinned());
    ASSERT_TRUE(waitFor([&] { return popup->contentLoaded(); }));
    popup->cancelButton()->trigger();
    EXPECT_FALSE(context()->isPinned()) << "the report lets go before the sheet has gone";
    ASSERT_TRUE(waitFor([&] { return !board->presentedViewController(); }));
}

TEST_F(CardOpenerTest, boardOpensAStorySketchFullScreenAndAPersonSketchAsAPopupSheet)
{
    item(QStringLiteral("Arrival"))->setItemFormat(ProjectItemFormats::Sketch);
    item(QStringLiteral("Mara"))->setItemFormat(ProjectItemFormats::Sketch);
    ASSERT_NO_FATAL_FAILURE(appear());
    board->setCardOpening(std::shared_ptr<CardOpening>(&opener, [](CardOpening*) {}));
    clickRow(rowOf(QStringLiteral("Arrival")));
    auto* full = presentedEditor<KuvBaseSketch>(board);
    ASSERT_NE(full, nullptr);
    EXPECT_FALSE(full->isPopup());
    EXPECT_EQ(board->presentedViewController()->modalPresentationStyle(), PresentationStyle::FullScreen);
    // The board's cards go with it, for the peek panel beside the sketch.
    EXPECT_TRUE(full->fetchedResults().contains(item(QStringLiteral("Arrival"))));
    EXPECT_TRUE(full->fetchedResults().contains(item(QStringLiteral("Tide"))));
    board->presentedViewController()->dismiss(false);
    ASSERT_TRUE(waitFor([&] { return !board->presentedViewController(); }));

    clickRow(rowOf(QStringLiteral("Mara")));
    auto* popup = presentedEditor<KuvBaseSketch>(board);
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(popup->isPopup());
    EXPECT_EQ(board->presentedViewController()->modalPresentationStyle(), PresentationStyle::FormSheet);
    EXPECT_EQ(popup->currentObject(), item(QStringLiteral("Mara")));
    board->presentedViewController()->dismiss(false);
    ASSERT_TRUE(waitFor([&] { return !board->presentedViewController(); }));
}

TEST_F(CardOpenerTest, cardOfAFormatAfterSketchOpensNothingFromTheBoardOrTheCardOpener)
{
    // 2 is the first format after text (0) and sketch (1): written by a newer program or foreign data.
    constexpr qint64 unknownFormat = ProjectItemFormats::Sketch + 1;
    item(QStringLiteral("Arrival"))->setItemFormat(unknownFormat);
    item(QStringLiteral("Mara"))->setItemFormat(unknownFormat);
    context()->save();
    appear();
    board->setCardOpening(std::shared_ptr<CardOpening>(&opener, [](CardOpening*) {}));
    for (const QString& title : {QStringLiteral("Arrival"), QStringLiteral("Mara")}) {
        SCOPED_TRACE(title.toStdString());
        clickRow(rowOf(title));
        EXPECT_EQ(board->presentedViewController(), nullptr);
        EXPECT_FALSE(context()->isPinned());
    }
    // The same click on a text card does open it.
    clickRow(rowOf(QStringLiteral("Call")));
    ASSERT_NE(presentedEditor<PvSummaryEditViewController>(board), nullptr);
    board->presentedViewController()->dismiss(false);
    ASSERT_TRUE(waitFor([&] { return !board->presentedViewController(); }));

    ViewController host;
    host.show();
    EXPECT_EQ(CardOpener::openCard(&host, context(), item(QStringLiteral("Mara")), {}, board->cardProps(), false, {},
                                   std::nullopt, {}),
              nullptr);
    EXPECT_EQ(host.presentedViewController(), nullptr);
}

TEST_F(CardOpenerTest, sketchScreenThatIsNoSketchEditorOpensNothing)
{
    ViewController host;
    host.show();
    ProjectItem* mara = item(QStringLiteral("Mara"));
    mara->setItemFormat(ProjectItemFormats::Sketch);
    Storyboard::registerFactory(CardOpener::SketchEditorIdentifier, [] { return new ViewController; });
    ViewController* shown =
        CardOpener::openCard(&host, context(), mara, {}, board->cardProps(), false, {}, std::nullopt, {});
    ScreenRegistry::registerScreens();
    EXPECT_EQ(shown, nullptr);
    EXPECT_EQ(host.presentedViewController(), nullptr);
}

TEST_F(CardOpenerTest, pinOverAPinnedStoreLeavesItToTheFirstPin)
{
    QObject primaryScreen;
    QObject secondaryScreen;
    QueryGenerationPin* primary = QueryGenerationPin::pinWhileShown(context(), &primaryScreen);
    ASSERT_NE(primary, nullptr);
    ASSERT_TRUE(primary->holdsPin());
    QueryGenerationPin* secondary = QueryGenerationPin::pinWhileShown(context(), &secondaryScreen);
    ASSERT_NE(secondary, nullptr);
    EXPECT_FALSE(secondary->holdsPin());
    secondary->release();
    EXPECT_TRUE(context()->isPinned()) << "the secondary screen's end must not unpin the primary's store";
    primary->release();
    EXPECT_FALSE(context()->isPinned());
}

TEST_F(CardOpenerTest, editorThatCannotBeMadePinsNothing)
{
    ASSERT_NO_FATAL_FAILURE(appear());
    Storyboard::registerFactory(PvSummaryEditViewController::StoryboardIdentifier, [] { return new ViewController; });
    EXPECT_EQ(
        opener.openPopupEditor(board, item(QStringLiteral("Mara")), project, ItemIds::Top, ProjectItemTypes::Person),
        nullptr);
    ScreenRegistry::registerScreens();
    EXPECT_FALSE(context()->isPinned());
    EXPECT_EQ(board->presentedViewController(), nullptr);
}

TEST_F(CardOpenerTest, reportAfterAReloadRedrawsTheSameCardByIdentifierNeverTheOneNowAtItsRow)
{
    ASSERT_NO_FATAL_FAILURE(appear());
    const int maraRow = rowOf(QStringLiteral("Mara"));
    ViewController* shown =
        opener.openPopupEditor(board, item(QStringLiteral("Mara")), project, ItemIds::Top, ProjectItemTypes::Person);
    auto* editor = qobject_cast<PvSummaryEditViewController*>(shown);
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(waitFor([&] { return editor->contentLoaded(); }));
    // Meanwhile the card before Mara goes and the board reloads: her row now shows another card.
    context()->deleteObject(item(QStringLiteral("Arrival")));
    context()->save();
    ASSERT_NO_FATAL_FAILURE(waitForReload([&] { board->reloadBoard(); }));
    ASSERT_EQ(rowOf(QStringLiteral("Mara")), maraRow - 1);
    const QString neighbour = shownTitles().at(maraRow);
    const QString neighbourFooter = footerOf(neighbour);

    QTest::keyClicks(editor->editor(), QStringLiteral("Keeper of the light"));
    ASSERT_TRUE(saveAndWait(editor));
    EXPECT_EQ(footerOf(QStringLiteral("Mara")), QStringLiteral("Words: 4"));
    EXPECT_EQ(footerOf(neighbour), neighbourFooter);
}

TEST_F(CardOpenerTest, reportForACardThatVanishedReloadsTheBoardInsteadOfIndexingPastTheEnd)
{
    ASSERT_NO_FATAL_FAILURE(appear());
    ProjectItem* tide = item(QStringLiteral("Tide"));
    ViewController* shown = opener.openPopupEditor(board, tide, project, ItemIds::Top, ProjectItemTypes::Reminder);
    auto* editor = qobject_cast<PvSummaryEditViewController*>(shown);
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(waitFor([&] { return editor->contentLoaded(); }));
    const int before = board->model()->rowCount();
    // The last card, the one open, is deleted meanwhile and the board reloads without it.
    context()->deleteObject(tide);
    context()->save();
    ASSERT_NO_FATAL_FAILURE(waitForReload([&] { board->reloadBoard(); }));
    ASSERT_EQ(board->model()->rowCount(), before - 1);

    QTest::keyClicks(editor->editor(), QStringLiteral("Check the tide"));
    ASSERT_TRUE(saveAndWait(editor));
    // Its words were kept as a new card, which a reload shows. The deletion's own change notice may bring an
    // earlier reload, so the wait is for the card, not for the first reload.
    EXPECT_TRUE(waitFor([&] { return board->model()->rowCount() == before; })) << board->model()->rowCount();
    EXPECT_EQ(footerOf(QStringLiteral("Tide")), QStringLiteral("Words: 3"));
}

TEST_F(CardOpenerTest, newCardGoesIntoTheFolderAskedInEvenWhenTheBoardMovedOnDuringTheSave)
{
    Delays::setFactor(1);
    ASSERT_NO_FATAL_FAILURE(appear());
    board->setCardOpening(std::shared_ptr<CardOpening>(&opener, [](CardOpening*) {}));
    ASSERT_NO_FATAL_FAILURE(
        waitForReload([&] { board->navigator().enterFolder(DbHelpers::getItem(context(), partOne), 0); }));
    board->itemCreation().createNewItem(int(ProjectItemTypes::Idea));
    auto* editor = presentedEditor<PvSummaryEditViewController>(board);
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(waitFor([&] { return editor->contentLoaded(); }));
    QTest::keyClicks(editor->editor(), QStringLiteral("A light in the fog"));
    bool finished = false;
    QObject::connect(editor, &PvSummaryEditViewController::saveFinished, [&](bool) { finished = true; });
    editor->saveButton()->trigger();
    // While the indicator waits, the board goes back to the top of the project.
    board->goBack();
    ASSERT_TRUE(waitFor([&] { return finished; }));
    ProjectItem* card = item(QStringLiteral("A light in the fog"));
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->parentItemId(), partOne);
    EXPECT_EQ(card->itemType(), ProjectItemTypes::Idea);
}

} // namespace
