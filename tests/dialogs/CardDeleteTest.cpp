#include "ItemOperationsFixture.h"

#include "core/ProjectSetting.h"
#include "dialogs/CardDelete.h"
#include "dialogs/ProjectDelete.h"
#include "platform/store/FetchedResultsController.h"

class CardDeleteTest : public ItemOperationsFixture {
protected:
    template <class T> qint64 countWithProject()
    {
        FetchRequest request = T::fetchRequest();
        request.setPredicate(QStringLiteral("projectId == %@"), {projectId()});
        return context()->count(request);
    }
};

TEST_F(CardDeleteTest, cancelDeletesNothingAndCallsNothing)
{
    ProjectItem* card = addItem(ItemIds::Top, ProjectItemTypes::Story, QStringLiteral("Card"));
    ASSERT_NO_FATAL_FAILURE(save());
    QList<ProjectItem*> cards{card};
    int calls = 0;
    CardDelete::create(presenter(), context(), projectId(), &cards, &cards)->deleteCard(card, [&calls](const QString&) {
        ++calls;
    });
    Alert* alert = Alert::topmost();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->title(), QStringLiteral("Delete Card"));
    EXPECT_EQ(alert->message(),
              QStringLiteral("Are you sure you want to permanently delete this card?  This cannot be undone."));
    EXPECT_EQ(alert->actionTitles(), QStringList({"Delete", "Cancel"}));
    EXPECT_EQ(alert->actionStyle(0), AlertActionStyle::Destructive);
    alert->trigger(1);

    EXPECT_EQ(calls, 0);
    EXPECT_FALSE(card->isDeleted());
    EXPECT_EQ(cards.size(), 1);
    EXPECT_FALSE(context()->hasChanges());
}

TEST_F(CardDeleteTest, deletingTheMiddleCardRenumbersTheRestAndReportsTheItem)
{
    ProjectItem* folder = addFolder(ItemIds::Top, QStringLiteral("Act"));
    const QString folderId = folder->uniqueIdentifier();
    ProjectItem* first = addItem(folderId, ProjectItemTypes::Story, QStringLiteral("a"), 1);
    ProjectItem* middle = addItem(folderId, ProjectItemTypes::Story, QStringLiteral("b"), 2);
    ProjectItem* last = addItem(folderId, ProjectItemTypes::Story, QStringLiteral("c"), 3);
    addDocument(middle, QByteArrayLiteral("body"));
    ASSERT_NO_FATAL_FAILURE(save());
    QList<ProjectItem*> cards{first, middle, last};
    QList<ProjectItem*> shown{last, middle};
    const QString middleId = middle->uniqueIdentifier();

    QString reported;
    CardDelete::create(presenter(), context(), projectId(), &cards, &shown)
        ->deleteCard(middle, [&reported](const QString& itemId) { reported = itemId; });
    ASSERT_NE(Alert::topmost(), nullptr);
    Alert::topmost()->trigger(0);

    EXPECT_EQ(reported, middleId);
    EXPECT_EQ(cards, QList<ProjectItem*>({first, last}));
    EXPECT_EQ(shown, QList<ProjectItem*>({last}));
    EXPECT_EQ(folderOrders(folderId), QStringList({"a:1", "c:2"}));
    EXPECT_EQ(DbHelpers::getItemDocument(context(), middleId), nullptr);
    EXPECT_TRUE(isRecent(folder->lastModified()));
    EXPECT_TRUE(isRecent(m_project->lastModified()));
    EXPECT_FALSE(context()->hasChanges());
}

TEST_F(CardDeleteTest, deletingAFolderLeavesNothingBelowItAtAnyDepth)
{
    ProjectItem* folder = addFolder(ItemIds::Top, QStringLiteral("Act"), 1);
    ProjectItem* sub = addFolder(folder->uniqueIdentifier(), QStringLiteral("Scene"), 1);
    ProjectItem* deep = addItem(sub->uniqueIdentifier(), ProjectItemTypes::Story, QStringLiteral("Deep"), 1);
    addDocument(deep, QByteArrayLiteral("deep body"));
    addItem(folder->uniqueIdentifier(), ProjectItemTypes::Idea, QStringLiteral("Shallow"), 2);
    ProjectItem* kept = addItem(ItemIds::Top, ProjectItemTypes::Story, QStringLiteral("Kept"), 2);
    ASSERT_NO_FATAL_FAILURE(save());
    QList<ProjectItem*> cards{folder, kept};
    const QString deepId = deep->uniqueIdentifier();

    CardDelete::create(presenter(), context(), projectId(), &cards, &cards)->deleteCard(folder, {});
    Alert* alert = Alert::topmost();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->title(), QStringLiteral("Delete Folder"));
    EXPECT_EQ(alert->message(), QStringLiteral("Are you sure you want to permanently delete this folder and all items "
                                               "and subfolders it contains?  This cannot be undone."));
    alert->trigger(0);

    m_store.reopen();
    FetchRequest items = ProjectItem::fetchRequest();
    items.setPredicate(QStringLiteral("projectId == %@"), {projectId()});
    const QList<ManagedObject*> left = context()->fetch(items);
    ASSERT_EQ(left.size(), 1);
    EXPECT_EQ(left.first()->value(ProjectItem::TitleKey).toString(), QStringLiteral("Kept"));
    EXPECT_EQ(left.first()->value(ProjectItem::DisplayOrderKey).toLongLong(), 1);
    EXPECT_EQ(countWithProject<ProjectItemDocument>(), 0);
    EXPECT_EQ(DbHelpers::getItem(context(), deepId), nullptr);
}

TEST_F(CardDeleteTest, deletingAProjectLeavesNothingOfItAndRenumbersTheList)
{
    ProjectItem* folder = addFolder(ItemIds::Top, QStringLiteral("Act"));
    ProjectItem* card = addItem(folder->uniqueIdentifier(), ProjectItemTypes::Story, QStringLiteral("Card"));
    addDocument(card, QByteArrayLiteral("body"));
    auto* setting = context()->insertNew<ProjectSetting>();
    setting->setValue(ProjectSetting::ProjectIdKey, projectId());
    setting->setValue(ProjectSetting::NameKey, QStringLiteral("WordsPerPage"));
    setting->setValue(ProjectSetting::ValueKey, QStringLiteral("250"));
    auto* other = context()->insertNew<Project>();
    other->setUniqueIdentifier(Uuid::uuidString());
    other->setProjectTitle(QStringLiteral("Other"));
    other->setDisplayOrder(2);
    m_project->setDisplayOrder(1);
    ASSERT_NO_FATAL_FAILURE(save());
    FetchRequest projects = Project::fetchRequest();
    projects.setSortDescriptors({SortDescriptor{Project::DisplayOrderKey, true}});
    FetchedResultsController list(projects, context());
    ASSERT_FALSE(list.performFetch());

    ProjectDelete::create(presenter(), context(), &list)->deleteProject(m_project);
    Alert* alert = Alert::topmost();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->objectName(), QStringLiteral("deleteProjectAlert"));
    EXPECT_EQ(alert->title(), QStringLiteral("Delete Project"));
    EXPECT_EQ(alert->message(), QStringLiteral("Are you sure you want to permanently delete this project and all "
                                               "items it contains?  This cannot be undone."));
    alert->trigger(0);
    EXPECT_FALSE(context()->hasChanges());

    m_store.reopen();
    EXPECT_EQ(countWithProject<ProjectItem>(), 0);
    EXPECT_EQ(countWithProject<ProjectItemDocument>(), 0);
    EXPECT_EQ(countWithProject<ProjectSetting>(), 0);
    const QList<Project*> remaining = DbHelpers::getProjects(context());
    ASSERT_EQ(remaining.size(), 1);
    EXPECT_EQ(remaining.first()->projectTitle(), QStringLiteral("Other"));
    EXPECT_EQ(remaining.first()->displayOrder(), 1);
}
