#include "ItemOperationsFixture.h"

#include "core/CardProps.h"
#include "dialogs/CardChangeType.h"
#include "dialogs/CardMove.h"

#include <QListWidget>
#include <QTest>

class CardMoveTest : public ItemOperationsFixture {
protected:
    std::shared_ptr<CardMove> makeMove()
    {
        return CardMove::create(presenter(), context(), projectId(), &m_cards, &m_shown);
    }

    // The board's lists of the folder: every child and the shown ones.
    void loadLists(const QString& folderId)
    {
        m_cards = DbHelpers::getFolderItems(context(), projectId(), folderId);
        m_shown = m_cards;
    }

    QList<ProjectItem*> m_cards;
    QList<ProjectItem*> m_shown;
};

TEST_F(CardMoveTest, itemAtTopWithoutFoldersGetsNoFoldersAlertAndNoCompletion)
{
    ProjectItem* card = addItem(ItemIds::Top, ProjectItemTypes::Story, QStringLiteral("Lone"));
    ASSERT_NO_FATAL_FAILURE(save());
    int calls = 0;
    makeMove()->moveCard(card, QRect(), [&calls](const QString&) { ++calls; });

    EXPECT_EQ(menuDialog(), nullptr);
    Alert* alert = Alert::topmost();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->title(), QStringLiteral("No Folders"));
    EXPECT_EQ(alert->message(), QStringLiteral("There are no folders to move this item to."));
    EXPECT_EQ(alert->actionTitles(), QStringList({"OK"}));
    EXPECT_EQ(alert->actionStyle(0), AlertActionStyle::Cancel);
    alert->trigger(0);
    EXPECT_EQ(calls, 0);
}

TEST_F(CardMoveTest, menuOffersTopLevelOnlyFromInsideAFolderAndNeverTheItemsOwnSubtree)
{
    ProjectItem* act = addFolder(ItemIds::Top, QStringLiteral("Act"), 1);
    ProjectItem* scene = addFolder(act->uniqueIdentifier(), QStringLiteral("Scene"), 1);
    addFolder(scene->uniqueIdentifier(), QStringLiteral("Beat"), 1);
    addFolder(ItemIds::Top, QStringLiteral("Notes"), 2);
    ProjectItem* card = addItem(ItemIds::Top, ProjectItemTypes::Story, QStringLiteral("Card"), 3);
    ASSERT_NO_FATAL_FAILURE(save());

    makeMove()->moveCard(card, QRect(), {});
    EXPECT_EQ(menuDialog()->title(), QStringLiteral("Move to Folder"));
    EXPECT_EQ(menuLabels(), QStringList({"Act", "Act > Scene", "Act > Scene > Beat", "Notes"}));
    menuDialog()->done();

    int calls = 0;
    makeMove()->moveCard(scene, QRect(), [&calls](const QString&) { ++calls; });
    EXPECT_EQ(menuLabels(), QStringList({"Top Level", "Notes"}));
    menuDialog()->didSelectRow(0);
    EXPECT_EQ(scene->parentItemId(), ItemIds::Top) << "Top Level moves the folder to the top";
    EXPECT_EQ(scene->displayOrder(), 4);
    EXPECT_EQ(calls, 1);
}

TEST_F(CardMoveTest, sameNamedFoldersEachReceiveTheirOwnRow)
{
    ProjectItem* first = addFolder(ItemIds::Top, QStringLiteral("Draft"), 1);
    ProjectItem* second = addFolder(ItemIds::Top, QStringLiteral("Draft"), 2);
    ProjectItem* card = addItem(ItemIds::Top, ProjectItemTypes::Story, QStringLiteral("Card"), 3);
    ASSERT_NO_FATAL_FAILURE(save());
    loadLists(ItemIds::Top);

    QStringList reported;
    makeMove()->moveCard(card, QRect(), [&reported](const QString& itemId) { reported.append(itemId); });
    ASSERT_EQ(menuLabels(), QStringList({"Draft", "Draft"}));
    EXPECT_EQ(menuDialog()->items().at(1).tag(), second->uniqueIdentifier());
    menuDialog()->didSelectRow(1);

    EXPECT_EQ(card->parentItemId(), second->uniqueIdentifier());
    EXPECT_TRUE(DbHelpers::getFolderItems(context(), projectId(), first->uniqueIdentifier()).isEmpty());
    EXPECT_EQ(reported, QStringList({card->uniqueIdentifier()}));
}

TEST_F(CardMoveTest, moveAppendsLastAndRenumbersTheFolderLeft)
{
    ProjectItem* source = addFolder(ItemIds::Top, QStringLiteral("Source"), 1);
    ProjectItem* target = addFolder(ItemIds::Top, QStringLiteral("Target"), 2);
    const QString sourceId = source->uniqueIdentifier();
    const QString targetId = target->uniqueIdentifier();
    addItem(sourceId, ProjectItemTypes::Story, QStringLiteral("a"), 1);
    ProjectItem* moved = addItem(sourceId, ProjectItemTypes::Story, QStringLiteral("b"), 2);
    addItem(sourceId, ProjectItemTypes::Story, QStringLiteral("c"), 3);
    // The target's numbers have a gap and a repeat, as two machines may leave them.
    addItem(targetId, ProjectItemTypes::Story, QStringLiteral("w"), 1);
    addItem(targetId, ProjectItemTypes::Idea, QStringLiteral("x"), 4);
    addItem(targetId, ProjectItemTypes::Person, QStringLiteral("y"), 9);
    addItem(targetId, ProjectItemTypes::Story, QStringLiteral("z"), 9);
    ASSERT_NO_FATAL_FAILURE(save());
    loadLists(sourceId);
    // A search shows only part of the folder; the board's shown list is a different list.
    m_shown = {moved};

    QString reported;
    makeMove()->moveCard(moved, QRect(), [&reported](const QString& itemId) { reported = itemId; });
    ASSERT_EQ(menuLabels(), QStringList({"Top Level", "Target"}));
    menuDialog()->didSelectRow(1);

    EXPECT_EQ(reported, moved->uniqueIdentifier());
    EXPECT_EQ(folderOrders(sourceId), QStringList({"a:1", "c:2"}));
    const QStringList targetOrders = folderOrders(targetId);
    ASSERT_EQ(targetOrders.size(), 5);
    EXPECT_EQ(targetOrders.last(), QStringLiteral("b:5"));
    EXPECT_EQ(m_cards.size(), 2);
    EXPECT_TRUE(m_shown.isEmpty());
    EXPECT_TRUE(isRecent(target->lastModified()));
    EXPECT_TRUE(isRecent(m_project->lastModified()));
    EXPECT_FALSE(context()->hasChanges());
}

TEST_F(CardMoveTest, oneListServingAsBothLosesTheItemOnce)
{
    ProjectItem* target = addFolder(ItemIds::Top, QStringLiteral("Target"), 1);
    ProjectItem* card = addItem(ItemIds::Top, ProjectItemTypes::Story, QStringLiteral("Card"), 2);
    addItem(ItemIds::Top, ProjectItemTypes::Story, QStringLiteral("Other"), 3);
    ASSERT_NO_FATAL_FAILURE(save());
    QList<ProjectItem*> both = DbHelpers::getFolderItems(context(), projectId(), ItemIds::Top);

    auto move = CardMove::create(presenter(), context(), projectId(), &both, &both);
    ASSERT_TRUE(move->handleMove(card, target->uniqueIdentifier()));
    ASSERT_EQ(both.size(), 2);
    EXPECT_EQ(folderOrders(ItemIds::Top), QStringList({"Target:1", "Other:2"}));
}

TEST_F(CardMoveTest, refusedTargetsMoveNothing)
{
    ProjectItem* act = addFolder(ItemIds::Top, QStringLiteral("Act"), 1);
    ProjectItem* scene = addFolder(act->uniqueIdentifier(), QStringLiteral("Scene"), 1);
    ProjectItem* card = addItem(ItemIds::Top, ProjectItemTypes::Story, QStringLiteral("Card"), 2);
    ASSERT_NO_FATAL_FAILURE(save());
    auto move = makeMove();
    EXPECT_FALSE(move->handleMove(act, scene->uniqueIdentifier()));
    EXPECT_FALSE(move->handleMove(act, act->uniqueIdentifier()));
    EXPECT_FALSE(move->handleMove(card, ItemIds::Top));
    EXPECT_FALSE(move->handleMove(card, card->uniqueIdentifier()));
    EXPECT_FALSE(move->handleMove(card, QStringLiteral("no-such-folder")));
    EXPECT_FALSE(move->handleMove(nullptr, act->uniqueIdentifier()));
    // No item, no menu and no alert.
    move->moveCard(nullptr, QRect(), {});
    EXPECT_EQ(menuDialog(), nullptr);
    EXPECT_EQ(Alert::topmost(), nullptr);
    EXPECT_EQ(act->parentItemId(), ItemIds::Top);
    EXPECT_EQ(card->parentItemId(), ItemIds::Top);
    EXPECT_FALSE(context()->hasChanges());
}

TEST_F(CardMoveTest, closingTheMenuMovesNothingAndCallsNothing)
{
    addFolder(ItemIds::Top, QStringLiteral("Target"), 1);
    ProjectItem* card = addItem(ItemIds::Top, ProjectItemTypes::Story, QStringLiteral("Card"), 2);
    ASSERT_NO_FATAL_FAILURE(save());
    int calls = 0;
    makeMove()->moveCard(card, QRect(), [&calls](const QString&) { ++calls; });
    ASSERT_TRUE(menuDialog());
    menuDialog()->done();
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(card->parentItemId(), ItemIds::Top);
}

TEST_F(CardMoveTest, targetGoneWhileTheMenuWasOpenMovesNothingButStillCallsTheCompletion)
{
    ProjectItem* target = addFolder(ItemIds::Top, QStringLiteral("Target"), 1);
    ProjectItem* card = addItem(ItemIds::Top, ProjectItemTypes::Story, QStringLiteral("Card"), 2);
    ASSERT_NO_FATAL_FAILURE(save());
    loadLists(ItemIds::Top);
    QStringList called;
    makeMove()->moveCard(card, QRect(), [&called](const QString& itemId) { called << itemId; });
    ASSERT_TRUE(menuDialog());
    // Another window deletes the folder before the writer picks it.
    context()->deleteObject(target);
    ASSERT_NO_FATAL_FAILURE(save());
    QListWidget* rows = menuDialog()->tableView();
    QTest::mouseClick(rows->viewport(), Qt::LeftButton, {}, rows->visualItemRect(rows->item(0)).center());

    EXPECT_EQ(called, QStringList{card->uniqueIdentifier()});
    EXPECT_EQ(card->parentItemId(), ItemIds::Top);
    EXPECT_EQ(card->displayOrder(), 2);
    EXPECT_TRUE(m_cards.contains(card) && m_shown.contains(card)) << "the card stays on the board";
    EXPECT_FALSE(context()->hasChanges());
}

TEST_F(CardMoveTest, failedSaveWarnsAndKeepsTheMoveInMemory)
{
    ProjectItem* target = addFolder(ItemIds::Top, QStringLiteral("Target"), 1);
    ProjectItem* card = addItem(ItemIds::Top, ProjectItemTypes::Story, QStringLiteral("Card"), 2);
    ASSERT_NO_FATAL_FAILURE(save());
    loadLists(ItemIds::Top);
    ASSERT_NO_FATAL_FAILURE(refuseItemUpdates());
    int calls = 0;
    makeMove()->moveCard(card, QRect(), [&calls](const QString&) { ++calls; });
    menuDialog()->didSelectRow(0);

    ASSERT_TRUE(Alert::topmost());
    EXPECT_EQ(Alert::topmost()->title(), QStringLiteral("Warning"));
    EXPECT_EQ(card->parentItemId(), target->uniqueIdentifier());
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(m_cards.size(), 1);
    EXPECT_TRUE(context()->hasChanges());
}

class CardChangeTypeTest : public ItemOperationsFixture {};

TEST_F(CardChangeTypeTest, menuOffersEveryOtherCreatableTypeAndChoosingStampsAndSaves)
{
    ProjectItem* folder = addFolder(ItemIds::Top, QStringLiteral("Act"));
    ProjectItem* card = addItem(folder->uniqueIdentifier(), ProjectItemTypes::Story, QStringLiteral("Card"));
    card->setWordCount(120);
    ASSERT_NO_FATAL_FAILURE(save());
    CardProps props;

    QStringList expected;
    for (const CardProp& prop : props.allProps()) {
        if (prop.canCreate() && prop.itemType() != ProjectItemTypes::Folder &&
            prop.itemType() != ProjectItemTypes::Story)
            expected.append(prop.singularLabel());
    }
    QString reported;
    CardChangeType::create(presenter(), context())
        ->changeCardType(card, props, QRect(), [&reported](const QString& itemId) { reported = itemId; });
    ASSERT_TRUE(menuDialog());
    EXPECT_EQ(menuDialog()->title(), QStringLiteral("Change Card Type"));
    ASSERT_EQ(menuLabels(), expected);
    const int ideaRow = int(expected.indexOf(props.propForIntCardType(ProjectItemTypes::Idea).singularLabel()));
    menuDialog()->didSelectRow(ideaRow);

    EXPECT_EQ(card->itemType(), ProjectItemTypes::Idea);
    EXPECT_EQ(card->wordCount(), 120);
    EXPECT_EQ(reported, card->uniqueIdentifier());
    EXPECT_TRUE(isRecent(folder->lastModified()));
    EXPECT_FALSE(context()->hasChanges());
}

TEST_F(CardChangeTypeTest, closingTheMenuChangesNothing)
{
    ProjectItem* card = addItem(ItemIds::Top, ProjectItemTypes::Story, QStringLiteral("Card"));
    ASSERT_NO_FATAL_FAILURE(save());
    int calls = 0;
    CardChangeType::create(presenter(), context())
        ->changeCardType(card, CardProps(), QRect(), [&calls](const QString&) { ++calls; });
    ASSERT_TRUE(menuDialog());
    menuDialog()->done();
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(card->itemType(), ProjectItemTypes::Story);
}
