#include "board/BoardItemCreation.h"
#include "BoardTestFixture.h"
#include "TestInk.h"
#include "TestScreenshots.h"
#include "export/KUVDocPickerViewController.h"
#include <QMainWindow>

#include "board/ProjectViewController.h"
#include "platform/SearchToolbarItem.h"

#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QScrollBar>

namespace {

class BoardItemCreationTest : public BoardTestFixture {
protected:
    Alert* openFolderAlert()
    {
        board->newFolderClicked(nullptr);
        Alert* alert = Alert::topmost();
        return alert && hasTheKeys(alert) ? alert : nullptr;
    }
    static QPushButton* okButton(Alert* alert)
    {
        return alert->findChild<QPushButton*>(QStringLiteral("alertAction0"));
    }
    qint64 storedCount() const { return qint64(DbHelpers::getFolderItems(context(), project, ItemIds::Top).size()); }
};

TEST_F(BoardItemCreationTest, titleAndSearchFieldsShowTheirPlaceholdersReadablyInEitherAppearance)
{
    const QPalette light = QApplication::palette();
    const auto expectReadable = [](QLineEdit* field) {
        ASSERT_NE(field, nullptr);
        ASSERT_TRUE(field->text().isEmpty());
        SCOPED_TRACE(field->placeholderText().toStdString());
        EXPECT_GE(placeholderContrast(field), 4.5);
        EXPECT_GE(drawnPlaceholderContrast(field), 4.0) << "as drawn";
    };
    for (const bool dark : {false, true}) {
        SCOPED_TRACE(dark ? "dark" : "light");
        // A dark desktop may leave its light placeholder colour in place, dark on the dark field.
        QApplication::setPalette(dark ? darkPalette(light) : light);
        // On the project list, a new project's title.
        const int newProject = app->toolbar()->indexOfItemWithIdentifier(ToolbarDelegate::newProject);
        ASSERT_GE(newProject, 0);
        app->toolbar()->items().at(newProject)->sendAction(app->window());
        Alert* projectAlert = Alert::topmost();
        ASSERT_NE(projectAlert, nullptr);
        ASSERT_EQ(projectAlert->textFields().first()->placeholderText(), ProjectViewController::NewProjectPlaceholder);
        expectReadable(projectAlert->textFields().first());
        ASSERT_TRUE(press(projectAlert, 1));
        // On the board, the search and a new folder's title.
        ASSERT_NO_FATAL_FAILURE(appear());
        const int search = app->toolbar()->indexOfItemWithIdentifier(ToolbarDelegate::search);
        ASSERT_GE(search, 0);
        auto* searchItem = qobject_cast<SearchToolbarItem*>(app->toolbar()->items().at(search));
        ASSERT_NE(searchItem, nullptr);
        expectReadable(searchItem->field());
        Alert* folderAlert = openFolderAlert();
        ASSERT_NE(folderAlert, nullptr);
        expectReadable(folderAlert->textFields().first());
        ASSERT_TRUE(press(folderAlert, 1));
        ViewController::transitionAppearance(board, false, false);
    }
    QApplication::setPalette(light);
}

TEST_F(BoardItemCreationTest, newFolderUnderASearchGoesAfterTheFullChildList)
{
    ASSERT_NO_FATAL_FAILURE(appear());
    ASSERT_NO_FATAL_FAILURE(waitForReload([&] { board->search(QStringLiteral("mara")); }));
    ASSERT_EQ(shownTitles(), QStringList({"Mara"}));
    Alert* alert = openFolderAlert();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->title(), BoardItemCreation::FolderAlertTitle);
    EXPECT_EQ(alert->message(), BoardItemCreation::FolderAlertMessage);
    EXPECT_EQ(alert->textFields().first()->placeholderText(), BoardItemCreation::FolderPlaceholder);
    QTest::keyClicks(alert->textFields().first(), QStringLiteral("Act Two"));
    alert->trigger(0);
    ProjectItem* folder = item(QStringLiteral("Act Two"));
    ASSERT_NE(folder, nullptr);
    // Thirteen children at the root, whatever the search shows.
    EXPECT_EQ(folder->displayOrder(), 14);
    EXPECT_EQ(folder->itemType(), ProjectItemTypes::Folder);
    EXPECT_EQ(folder->folderType(), ProjectFolderTypes::Card);
    EXPECT_EQ(folder->parentItemId(), ItemIds::Top);
    EXPECT_FALSE(context()->hasChanges()) << "the folder is saved at once";
    EXPECT_TRUE(uniqueAndGapless(storedOrders(ItemIds::Top)));
}

TEST_F(BoardItemCreationTest, okNeedsOneCharacterAndASpaceCounts)
{
    ASSERT_NO_FATAL_FAILURE(appear());
    Alert* alert = openFolderAlert();
    ASSERT_NE(alert, nullptr);
    EXPECT_FALSE(okButton(alert)->isEnabled());
    QTest::keyClick(alert->textFields().first(), Qt::Key_Space);
    EXPECT_TRUE(okButton(alert)->isEnabled());
    QTest::keyClick(alert->textFields().first(), Qt::Key_Backspace);
    EXPECT_FALSE(okButton(alert)->isEnabled());
    QTest::keyClick(alert->textFields().first(), Qt::Key_Space);
    ASSERT_NO_FATAL_FAILURE(waitForReload([&] { QTest::mouseClick(okButton(alert), Qt::LeftButton); }));
    ProjectItem* folder = item(QStringLiteral(" "));
    ASSERT_NE(folder, nullptr) << "the title is kept as typed, blanks included";
    EXPECT_EQ(shownTitles().last(), QStringLiteral(" "));
}

TEST_F(BoardItemCreationTest, cancelLeavesTheStoreAsItWas)
{
    ASSERT_NO_FATAL_FAILURE(appear());
    const qint64 before = storedCount();
    Alert* alert = openFolderAlert();
    ASSERT_NE(alert, nullptr);
    QTest::keyClicks(alert->textFields().first(), QStringLiteral("Never"));
    alert->trigger(1);
    runEventsFor(20);
    EXPECT_EQ(storedCount(), before);
    EXPECT_EQ(item(QStringLiteral("Never")), nullptr);
}

TEST_F(BoardItemCreationTest, newCardAsksTheOpenerWithTypeAndPlaceAndCreatesNothing)
{
    ASSERT_NO_FATAL_FAILURE(appear());
    // A filter shows a few of the children; the new card still goes after all of them.
    ASSERT_NO_FATAL_FAILURE(waitForReload([&] { board->setItemFilter(ProjectItemTypes::Person); }));
    const qint64 before = storedCount();
    board->newClicked(nullptr);
    KUVDocPickerViewController* chooser = board->itemCreation().chooser();
    ASSERT_NE(chooser, nullptr);
    ASSERT_TRUE(waitFor([&] { return chooser->isVisible(); }));
    EXPECT_EQ(chooser->formTitle(), BoardItemCreation::ChooserTitle);
    EXPECT_EQ(chooser->segments(), QStringList({BoardItemCreation::RichTextSegment}));
    // The second section's first tile is the Idea card; a real click on it.
    QListView* grid = chooser->collectionView();
    QModelIndex tile;
    for (int row = 0; row < grid->model()->rowCount(); ++row) {
        if (grid->model()->index(row, 0).data().toString() == QStringLiteral("Idea"))
            tile = grid->model()->index(row, 0);
    }
    ASSERT_TRUE(tile.isValid());
    grid->scrollTo(tile);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(tile).center());
    ASSERT_TRUE(waitFor([&] { return !opening->newCards.isEmpty(); }));
    const CardOpening::NewCard card = opening->newCards.first();
    EXPECT_EQ(card.itemType, ProjectItemTypes::Idea);
    EXPECT_EQ(card.displayOrder, 14);
    EXPECT_EQ(card.projectId, project);
    EXPECT_EQ(card.folderId, ItemIds::Top);
    EXPECT_EQ(storedCount(), before) << "the editor creates the card when it first saves";
}

TEST_F(BoardItemCreationTest, nextPlaceIsPastRepeatsAndGaps)
{
    ProjectItem* folder = add(ProjectItemTypes::Folder, QStringLiteral("Messy"), 30);
    const QString id = folder->uniqueIdentifier();
    add(ProjectItemTypes::Idea, QStringLiteral("a"), 1, id);
    add(ProjectItemTypes::Idea, QStringLiteral("b"), 2, id);
    add(ProjectItemTypes::Idea, QStringLiteral("c"), 2, id);
    add(ProjectItemTypes::Idea, QStringLiteral("d"), 7, id);
    context()->save();
    EXPECT_EQ(BoardItemCreation::nextDisplayOrder(board, project, id), 8);
    ProjectItem* empty = add(ProjectItemTypes::Folder, QStringLiteral("Empty"), 31);
    context()->save();
    EXPECT_EQ(BoardItemCreation::nextDisplayOrder(board, project, empty->uniqueIdentifier()), 1);
}

TEST_F(BoardItemCreationTest, folderMadeInAnotherFolderStampsItsPathAndLeavesTheBoardAlone)
{
    ASSERT_NO_FATAL_FAILURE(appear());
    ProjectItem* parent = item(QStringLiteral("Part One"));
    const QDateTime stale = QDateTime::currentDateTime().addDays(-3);
    parent->setLastModified(stale);
    context()->save();
    // A folder made in the folder shown reloads the board and scrolls to its end; the writer here reads the top.
    QScrollBar* bar = board->collectionView()->verticalScrollBar();
    ASSERT_TRUE(waitFor([&] { return bar->maximum() > 0; }));
    bar->setValue(0);
    ProjectItem* folder = board->itemCreation().createFolder(project, partOne, QStringLiteral("Elsewhere"));
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(folder->parentItemId(), partOne);
    EXPECT_EQ(folder->displayOrder(), 3);
    EXPECT_GT(parent->lastModified(), stale) << "the folder it went into is stamped";
    // The same folder identifier in another project is not the folder shown either.
    ASSERT_NE(board->itemCreation().createFolder(QStringLiteral("P-2"), ItemIds::Top, QStringLiteral("Away")), nullptr);
    // A reload asked for now runs after any the folders asked for.
    ASSERT_NO_FATAL_FAILURE(waitForReload([&] { board->reloadBoard(false); }));
    ASSERT_TRUE(waitFor([&] { return !ProgressHud::isActive(); }));
    EXPECT_EQ(bar->value(), 0) << "the board was not reloaded to its end";
}

TEST_F(BoardItemCreationTest, negativeTagDoesNothing)
{
    ASSERT_NO_FATAL_FAILURE(appear());
    board->createNewItem(-1);
    runEventsFor(20);
    EXPECT_EQ(Alert::topmost(), nullptr);
    EXPECT_TRUE(opening->newCards.isEmpty());
}

} // namespace
