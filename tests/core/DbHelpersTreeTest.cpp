#include "DbHelpersFixture.h"

#include "core/DbHelpers.h"
#include "core/ProjectSetting.h"
#include "core/ProjectStat.h"
#include "core/SettingsHelper.h"
#include "platform/store/FetchedResultsController.h"

namespace {

QStringList paths(const QList<FolderStackItem>& entries)
{
    QStringList result;
    for (const FolderStackItem& entry : entries)
        result.append(entry.folderPath());
    return result;
}

class DbHelpersTreeTest : public DbHelpersFixture {
protected:
    // Book > Chapter > Wing, and Other, all at the top of project P.
    void SetUp() override
    {
        project = addProject(QStringLiteral("P"))->uniqueIdentifier();
        book = addFolder(project, ItemIds::Top, QStringLiteral("Book"), 1);
        chapter = addFolder(project, book->uniqueIdentifier(), QStringLiteral("Chapter"), 1);
        wing = addFolder(project, chapter->uniqueIdentifier(), QStringLiteral("Wing"), 1);
        other = addFolder(project, ItemIds::Top, QStringLiteral("Other"), 2);
        storm = addItem(project, chapter->uniqueIdentifier(), ProjectItemTypes::Story, QStringLiteral("Storm"), 2);
    }

    QList<ManagedObject*> childrenOf(const ProjectItem* folder)
    {
        QList<ManagedObject*> children;
        for (ProjectItem* child : DbHelpers::getFolderItems(context(), project, folder->uniqueIdentifier()))
            children.append(child);
        return children;
    }

    QString project;
    ProjectItem* book = nullptr;
    ProjectItem* chapter = nullptr;
    ProjectItem* wing = nullptr;
    ProjectItem* other = nullptr;
    ProjectItem* storm = nullptr;
};

TEST_F(DbHelpersTreeTest, movingAFolderNeverOffersItselfItsInsideOrItsParent)
{
    const auto forChapter = DbHelpers::getPossibleTargetFolders(context(), project, chapter, book->uniqueIdentifier());
    EXPECT_EQ(paths(forChapter), QStringList({"Other"}));
    // A move into the folder itself or anywhere under it would cut the folder off from the top.
    EXPECT_TRUE(DbHelpers::isDescendentFolder(context(), book, book));
    EXPECT_TRUE(DbHelpers::isDescendentFolder(context(), book, wing));
    EXPECT_FALSE(DbHelpers::isDescendentFolder(context(), chapter, book));

    const auto forCard = DbHelpers::getPossibleTargetFolders(context(), project, storm, chapter->uniqueIdentifier());
    EXPECT_EQ(paths(forCard), QStringList({"Book", "Book > Chapter > Wing", "Other"}));
    EXPECT_EQ(forCard[1].folderRecord(), wing);
    EXPECT_EQ(forCard[1].folderParentId(), chapter->uniqueIdentifier());

    const QString empty = addProject(QStringLiteral("Empty"), 2)->uniqueIdentifier();
    EXPECT_TRUE(DbHelpers::getPossibleTargetFolders(context(), empty, nullptr, ItemIds::Top).isEmpty());
}

TEST_F(DbHelpersTreeTest, folderNotReachingTheTopIsNotListed)
{
    addFolder(project, QStringLiteral("GONE"), QStringLiteral("Lost"));
    const auto all = DbHelpers::getPossibleTargetFolders(context(), project, nullptr, ItemIds::Top);
    EXPECT_EQ(paths(all), QStringList({"Book", "Book > Chapter", "Book > Chapter > Wing", "Other"}));
}

TEST_F(DbHelpersTreeTest, pathListsAncestorsFirstAndStopsAtAMissingParent)
{
    EXPECT_EQ(DbHelpers::pathForItem(context(), storm->uniqueIdentifier()), QStringLiteral("Book > Chapter > Storm"));
    EXPECT_EQ(DbHelpers::pathForItem(context(), ItemIds::Top), QString());
    book->setParentItemId(QStringLiteral("GONE"));
    EXPECT_EQ(DbHelpers::pathForItem(context(), storm->uniqueIdentifier()), QStringLiteral("Book > Chapter > Storm"));
}

TEST_F(DbHelpersTreeTest, cardStatsCountStoryWordsOnly)
{
    storm->setWordCount(100);
    storm->setCharCount(500);
    ProjectItem* second = addItem(project, wing->uniqueIdentifier(), ProjectItemTypes::Story, QStringLiteral("Two"));
    second->setWordCount(50);
    second->setCharCount(250);
    addItem(project, chapter->uniqueIdentifier(), ProjectItemTypes::Idea, QStringLiteral("Idea"), 3)->setWordCount(7);

    const CardStats stats = DbHelpers::getCardStats(context(), project, book->uniqueIdentifier());
    EXPECT_EQ(stats, (CardStats{3, 2, 150, 750}));
    EXPECT_TRUE(DbHelpers::hasManuscriptCards(context(), project, ItemIds::Top));
    EXPECT_FALSE(DbHelpers::hasManuscriptCards(context(), project, other->uniqueIdentifier()));
}

TEST_F(DbHelpersTreeTest, deletingACardRemovesEveryDocumentOfIt)
{
    addDocument(storm);
    addDocument(storm);
    ASSERT_NO_FATAL_FAILURE(save());
    DbHelpers::deleteItem(context(), storm->uniqueIdentifier());
    ASSERT_NO_FATAL_FAILURE(save());
    EXPECT_EQ(countOf<ProjectItemDocument>(ProjectItemDocument::ParentItemIdKey, storm->uniqueIdentifier()), 0);
    EXPECT_EQ(DbHelpers::getItem(context(), storm->uniqueIdentifier()), nullptr);
}

TEST_F(DbHelpersTreeTest, deleteProjectLeavesNoOrphans)
{
    const QString keep = addProject(QStringLiteral("Keep"), 2)->uniqueIdentifier();
    addDocument(addItem(keep, ItemIds::Top, ProjectItemTypes::Story, QStringLiteral("Kept")));
    SettingsHelper::setValue(context(), keep, SettingsHelper::WordTargetKey, QStringLiteral("5"), true);

    addDocument(storm);
    ProjectItem* orphan = addItem(project, QStringLiteral("GONE"), ProjectItemTypes::Story, QStringLiteral("Orphan"));
    addDocument(orphan);
    ProjectItem* loopA = addFolder(project, QStringLiteral("B"), QStringLiteral("LoopA"));
    ProjectItem* loopB = addFolder(project, loopA->uniqueIdentifier(), QStringLiteral("LoopB"));
    loopA->setParentItemId(loopB->uniqueIdentifier());
    auto* stat = context()->insertNew<ProjectStat>();
    stat->setProjectId(project);
    stat->setStartTime(QDateTime::currentDateTime());
    SettingsHelper::setValue(context(), project, SettingsHelper::WordTargetKey, QStringLiteral("9"), true);
    ASSERT_NO_FATAL_FAILURE(save());

    DbHelpers::deleteProject(context(), project);
    ASSERT_NO_FATAL_FAILURE(save());
    m_store.reopen();
    EXPECT_EQ(countOf<ProjectItem>(ProjectItem::ProjectIdKey, project), 0);
    EXPECT_EQ(countOf<ProjectItemDocument>(ProjectItemDocument::ProjectIdKey, project), 0);
    EXPECT_EQ(countOf<ProjectStat>(ProjectStat::ProjectIdKey, project), 0);
    EXPECT_EQ(countOf<ProjectSetting>(ProjectSetting::ProjectIdKey, project), 0);
    EXPECT_EQ(DbHelpers::getProject(context(), project), nullptr);

    EXPECT_NE(DbHelpers::getProject(context(), keep), nullptr);
    EXPECT_EQ(countOf<ProjectItem>(ProjectItem::ProjectIdKey, keep), 1);
    EXPECT_EQ(countOf<ProjectItemDocument>(ProjectItemDocument::ProjectIdKey, keep), 1);
    EXPECT_EQ(SettingsHelper::getWordTarget(context(), keep), 5);
}

TEST_F(DbHelpersTreeTest, deleteProjectRemovesDocumentsWhoseCardIsAlreadyGone)
{
    ProjectItem* gone = addItem(project, ItemIds::Top, ProjectItemTypes::Story, QStringLiteral("Gone"));
    const QString documentId = addDocument(gone)->uniqueIdentifier();
    ASSERT_NO_FATAL_FAILURE(save());
    context()->deleteObject(gone);
    ASSERT_NO_FATAL_FAILURE(save());
    ASSERT_EQ(countOf<ProjectItemDocument>(ProjectItemDocument::UniqueIdentifierKey, documentId), 1);

    DbHelpers::deleteProject(context(), project);
    ASSERT_NO_FATAL_FAILURE(save());
    m_store.reopen();
    EXPECT_EQ(countOf<ProjectItemDocument>(ProjectItemDocument::UniqueIdentifierKey, documentId), 0);
    EXPECT_EQ(countOf<ProjectItemDocument>(ProjectItemDocument::ProjectIdKey, project), 0);
}

TEST_F(DbHelpersTreeTest, deleteFolderTakesEverythingBelowIt)
{
    addDocument(storm);
    DbHelpers::deleteFolder(context(), project, book->uniqueIdentifier());
    ASSERT_NO_FATAL_FAILURE(save());
    EXPECT_EQ(titles(DbHelpers::getFolderItems(context(), project, ItemIds::Top)), QStringList({"Other"}));
    EXPECT_EQ(countOf<ProjectItemDocument>(ProjectItemDocument::ProjectIdKey, project), 0);
}

// Two machines each moved one folder into the other: every walk must still end.
TEST_F(DbHelpersTreeTest, folderCycleDoesNotHangAnyWalk)
{
    ProjectItem* a = addFolder(project, QStringLiteral("pending"), QStringLiteral("A"));
    ProjectItem* b = addFolder(project, a->uniqueIdentifier(), QStringLiteral("B"));
    a->setParentItemId(b->uniqueIdentifier());
    ProjectItem* card = addItem(project, b->uniqueIdentifier(), ProjectItemTypes::Story, QStringLiteral("Card"));
    ProjectItem* self = addFolder(project, QStringLiteral("pending"), QStringLiteral("Self"));
    self->setParentItemId(self->uniqueIdentifier());
    const QString aId = a->uniqueIdentifier();

    EXPECT_EQ(DbHelpers::pathForItem(context(), card->uniqueIdentifier()), QStringLiteral("A > B > Card"));
    EXPECT_EQ(DbHelpers::pathForItem(context(), self->uniqueIdentifier()), QStringLiteral("Self"));
    EXPECT_FALSE(DbHelpers::isDescendentFolder(context(), other, a));
    EXPECT_EQ(DbHelpers::getCardStats(context(), project, aId).totalCardCount, 1);
    EXPECT_TRUE(DbHelpers::hasManuscriptCards(context(), project, aId));
    EXPECT_FALSE(DbHelpers::hasManuscriptCards(context(), project, self->uniqueIdentifier()));
    EXPECT_FALSE(DbHelpers::folderHasItems(context(), project, aId, CardFilter::OpenIssues, {}, {}));
    EXPECT_FALSE(DbHelpers::folderHasQueryItems(context(), project, aId, QStringLiteral("terms contains ' zz'")));
    EXPECT_EQ(DbHelpers::getPossibleTargetFolders(context(), project, nullptr, ItemIds::Top).size(), 4);
    DbHelpers::updateModDatePath(context(), card);
    EXPECT_GT(DbHelpers::getProject(context(), project)->lastModified(), QDateTime::currentDateTime().addSecs(-60));
    DbHelpers::deleteFolder(context(), project, aId);
    EXPECT_EQ(DbHelpers::getItem(context(), card->uniqueIdentifier()), nullptr);
    EXPECT_EQ(DbHelpers::getItem(context(), b->uniqueIdentifier()), nullptr);
}

TEST_F(DbHelpersTreeTest, stampOfACardTwoFoldersDeepReachesTheProject)
{
    ASSERT_NO_FATAL_FAILURE(save());
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    DbHelpers::updateModDatePath(context(), storm);
    for (ProjectItem* stamped : {storm, chapter, book})
        EXPECT_GT(stamped->lastModified(), before) << stamped->title().toStdString();
    EXPECT_LT(other->lastModified(), before);
    EXPECT_LT(wing->lastModified(), before);
    EXPECT_GT(DbHelpers::getProject(context(), project)->lastModified(), before);
}

TEST_F(DbHelpersTreeTest, renumberingLeavesOutTheSkippedIdAndStampsOnlyChanges)
{
    ProjectItem* third = addItem(project, chapter->uniqueIdentifier(), ProjectItemTypes::Idea, QStringLiteral("C"), 3);
    ProjectItem* fourth = addItem(project, chapter->uniqueIdentifier(), ProjectItemTypes::Idea, QStringLiteral("D"), 4);
    ASSERT_NO_FATAL_FAILURE(save());
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    // Wing 1, Storm 2, C 3, D 4: Storm leaves the folder.
    DbHelpers::reorderCards(childrenOf(chapter), {}, -1, -1, storm->uniqueIdentifier());
    EXPECT_EQ(wing->displayOrder(), 1);
    EXPECT_EQ(third->displayOrder(), 2);
    EXPECT_EQ(fourth->displayOrder(), 3);
    EXPECT_EQ(storm->displayOrder(), 2);
    EXPECT_LT(wing->lastModified(), before);
    EXPECT_GT(third->lastModified(), before);
    EXPECT_GT(fourth->lastModified(), before);
}

TEST_F(DbHelpersTreeTest, renumberingSkipsDeletedRecordsAndMirrorsTheFilteredList)
{
    ProjectItem* third = addItem(project, chapter->uniqueIdentifier(), ProjectItemTypes::Idea, QStringLiteral("C"), 3);
    ASSERT_NO_FATAL_FAILURE(save());
    QList<ManagedObject*> cards = childrenOf(chapter);
    context()->deleteObject(wing);
    const QList<ManagedObject*> filtered{third};
    DbHelpers::reorderCards(cards, filtered, -1, -1);
    EXPECT_EQ(storm->displayOrder(), 1);
    EXPECT_EQ(third->displayOrder(), 2);
}

TEST_F(DbHelpersTreeTest, renumberingAFolderUsesItsFullChildList)
{
    ProjectItem* third = addItem(project, chapter->uniqueIdentifier(), ProjectItemTypes::Idea, QStringLiteral("C"), 3);
    ProjectItem* fourth = addItem(project, chapter->uniqueIdentifier(), ProjectItemTypes::Idea, QStringLiteral("D"), 4);
    ASSERT_NO_FATAL_FAILURE(save());
    DbHelpers::renumberFolderItems(context(), project, chapter->uniqueIdentifier(), third->uniqueIdentifier());
    QList<qint64> orders;
    for (ProjectItem* child : {wing, storm, fourth})
        orders.append(child->displayOrder());
    EXPECT_EQ(orders, QList<qint64>({1, 2, 3}));
}

// Moves the card at from to to among five cards A to E numbered 1 to 5 in Other, and answers each card's number
// by title, in the order A to E.
class DbHelpersReorderTest : public DbHelpersTreeTest {
protected:
    QList<qint64> ordersAfterMove(int from, int to, bool throughController)
    {
        QList<ProjectItem*> cards;
        for (const QString& title : {"A", "B", "C", "D", "E"})
            cards.append(addItem(project, other->uniqueIdentifier(), ProjectItemTypes::Story, title, cards.size() + 1));
        save();
        if (throughController) {
            FetchRequest request = ProjectItem::fetchRequest();
            request.setPredicate(QStringLiteral("parentItemId == %@"), {other->uniqueIdentifier()});
            request.setSortDescriptors({{ProjectItem::DisplayOrderKey, true}});
            FetchedResultsController controller(request, context());
            EXPECT_FALSE(controller.performFetch());
            DbHelpers::reorderCards(&controller, from, to);
        } else {
            DbHelpers::reorderCards(childrenOf(other), {}, from, to);
        }
        QList<qint64> orders;
        for (const ProjectItem* card : cards)
            orders.append(card->displayOrder());
        return orders;
    }
};

TEST_F(DbHelpersReorderTest, cardMovedDownTakesTheTargetPlaceAndTheCardsBetweenMoveUp)
{
    // A B C D E with A dropped on D's place reads B C D A E.
    EXPECT_EQ(ordersAfterMove(0, 3, false), QList<qint64>({4, 1, 2, 3, 5}));
}

TEST_F(DbHelpersReorderTest, cardMovedUpTakesTheTargetPlaceAndTheCardsBetweenMoveDown)
{
    // A B C D E with D dropped on A's place reads D A B C E.
    EXPECT_EQ(ordersAfterMove(3, 0, false), QList<qint64>({2, 3, 4, 1, 5}));
}

TEST_F(DbHelpersReorderTest, controllerRowsMoveLikeTheList)
{
    EXPECT_EQ(ordersAfterMove(0, 3, true), QList<qint64>({4, 1, 2, 3, 5}));
}

TEST_F(DbHelpersReorderTest, cardMovedToTheLastRowEndsTheList)
{
    EXPECT_EQ(ordersAfterMove(0, 4, false), QList<qint64>({5, 1, 2, 3, 4}));
}

TEST_F(DbHelpersReorderTest, targetOnePastTheEndMovesNothing)
{
    EXPECT_EQ(ordersAfterMove(0, 5, false), QList<qint64>({1, 2, 3, 4, 5}));
}

TEST_F(DbHelpersTreeTest, projectListRenumbersFromOneThroughItsController)
{
    const QList<qint64> stored{3, 7, 8};
    for (qint64 order : stored)
        addProject(QStringLiteral("N%1").arg(order), order);
    ASSERT_NO_FATAL_FAILURE(save());
    FetchRequest request = Project::fetchRequest();
    request.setSortDescriptors({{Project::DisplayOrderKey, true}});
    FetchedResultsController controller(request, context());
    ASSERT_FALSE(controller.performFetch());
    DbHelpers::reorderCards(&controller, std::nullopt, 0);
    QList<qint64> orders;
    for (Project* listed : DbHelpers::getProjects(context()))
        orders.append(listed->displayOrder());
    EXPECT_EQ(orders, QList<qint64>({1, 2, 3, 4}));
    EXPECT_EQ(DbHelpers::fetchedItemCount(&controller), 4);
}

} // namespace
