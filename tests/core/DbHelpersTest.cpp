#include "DbHelpersFixture.h"

#include "core/DbHelpers.h"
#include "core/Indexer.h"
#include "platform/Alert.h"

#include <QPointer>
#include <QWidget>
#include <sqlite3.h>

namespace {

const QString Done = QStringLiteral("done");

class DbHelpersTest : public DbHelpersFixture {
protected:
    // One folder and one card per filter case at the top of a project.
    void SetUp() override
    {
        project = addProject(QStringLiteral("P"))->uniqueIdentifier();
        addFolder(project, ItemIds::Top, QStringLiteral("Folder"), 1);
        addItem(project, ItemIds::Top, ProjectItemTypes::Reminder, QStringLiteral("Reminder"), 2);
        addItem(project, ItemIds::Top, ProjectItemTypes::Question, QStringLiteral("Question"), 3)->setTag(Done);
        addItem(project, ItemIds::Top, ProjectItemTypes::Idea, QStringLiteral("Idea"), 4)
            ->setTag(QStringLiteral("red"));
        addItem(project, ItemIds::Top, ProjectItemTypes::Story, QStringLiteral("Noted"), 5)
            ->setNotes(QStringLiteral("remember"));
        addItem(project, ItemIds::Top, ProjectItemTypes::Story, QStringLiteral("Blank"), 6)->setNotes(QString(""));
        addItem(project, ItemIds::Top, ProjectItemTypes::Person, QStringLiteral("Person"), 7)->setTag(Done);
        recent = addItem(project, ItemIds::Top, ProjectItemTypes::Location, QStringLiteral("Location"), 8);
        recent->setLastModified(QDateTime::currentDateTime().addSecs(-25 * 3600));
        ASSERT_NO_FATAL_FAILURE(save());
    }

    QStringList listing(qint64 filter, const QString& parm = {}, const QString& query = {},
                        const std::optional<QDateTime>& since = std::nullopt)
    {
        return titles(DbHelpers::getFolderItems(context(), project, ItemIds::Top, filter, parm, query, since));
    }

    QString project;
    ProjectItem* recent = nullptr;
};

TEST_F(DbHelpersTest, everyFilterAdmitsFoldersAndOnlyItsCards)
{
    EXPECT_EQ(listing(CardFilter::AllCards).size(), 8);
    EXPECT_EQ(listing(CardFilter::OpenIssues), QStringList({"Folder", "Reminder", "Idea"}));
    EXPECT_EQ(listing(CardFilter::WithNotes), QStringList({"Folder", "Noted"}));
    EXPECT_EQ(listing(CardFilter::Tagged, Done), QStringList({"Folder", "Question", "Person"}));
    EXPECT_EQ(listing(ProjectItemTypes::Location), QStringList({"Folder", "Location"}));
    // The recent-change codes work from the code alone, as the date they stand for.
    EXPECT_EQ(listing(CardFilter::Last24Hours), QStringList());
    EXPECT_EQ(listing(CardFilter::Last7Days), QStringList({"Location"}));
    EXPECT_EQ(listing(CardFilter::Last30Days), QStringList({"Location"}));
    for (qint64 filter : {CardFilter::OpenIssues, CardFilter::WithNotes, CardFilter::Tagged})
        EXPECT_EQ(DbHelpers::getFolderItemsCount(context(), project, ItemIds::Top, filter, Done, {}),
                  quint64(listing(filter, Done).size()));
}

TEST_F(DbHelpersTest, startDateListingIgnoresFilterAndQuery)
{
    const QDateTime since = QDateTime::currentDateTime().addDays(-2);
    const QString query = Indexer::predicate(QStringLiteral("terms"), QStringLiteral("nothing"));
    EXPECT_EQ(listing(CardFilter::OpenIssues, {}, query, since), QStringList({"Location"}));
}

TEST_F(DbHelpersTest, queryKeepsFoldersWhateverTheirTerms)
{
    const QString query = Indexer::predicate(QStringLiteral("terms"), QStringLiteral("Idea"));
    EXPECT_EQ(listing(CardFilter::AllCards, {}, query), QStringList({"Folder", "Idea"}));
    EXPECT_EQ(titles(DbHelpers::getCardsForQuery(context(), project, query)), QStringList({"Idea"}));
}

TEST_F(DbHelpersTest, emptyFragmentsAddNoCondition)
{
    EXPECT_TRUE(DbHelpers::predicateForQuery({}).isEmpty());
    EXPECT_TRUE(DbHelpers::predicateForQuery(QStringLiteral("  ")).isEmpty());
    EXPECT_EQ(listing(CardFilter::AllCards, {}, QStringLiteral(" ")).size(), 8);
    EXPECT_EQ(DbHelpers::getCardsForQuery(context(), project, {}).size(), 7);
    EXPECT_EQ(DbHelpers::getProjectItemsCount(context(), project, CardFilter::AllCards, {}, {}), 7u);
}

TEST_F(DbHelpersTest, projectCountsTakeTypeFragmentAndDate)
{
    EXPECT_EQ(DbHelpers::getProjectItemsCount(context(), project, ProjectItemTypes::Story, {}, {}), 2u);
    EXPECT_EQ(DbHelpers::getProjectItemsCount(context(), project, CardFilter::AllCards,
                                              QStringLiteral("notes != nil AND notes != ''"), {}),
              1u);
    EXPECT_EQ(DbHelpers::getProjectItemsCount(context(), project, CardFilter::AllCards, {}, {},
                                              DbHelpers::dateForRecentFilter(CardFilter::Last7Days)),
              1u);
    // A fragment that is no predicate of its own counts nothing rather than everything.
    EXPECT_EQ(DbHelpers::getProjectItemsCount(context(), project, CardFilter::AllCards,
                                              QStringLiteral("notes != nil) OR (itemType != 0"), {}),
              0u);
}

TEST_F(DbHelpersTest, recentFilterDates)
{
    EXPECT_FALSE(DbHelpers::dateForRecentFilter(CardFilter::AllCards));
    EXPECT_FALSE(DbHelpers::dateForRecentFilter(CardFilter::OpenIssues));
    const auto day = DbHelpers::dateForRecentFilter(CardFilter::Last24Hours);
    ASSERT_TRUE(day);
    EXPECT_NEAR(day->secsTo(QDateTime::currentDateTime()), 24 * 3600, 5);
}

TEST_F(DbHelpersTest, folderCardItemsLeaveOutOnlyTheExcludedCard)
{
    const QList<ProjectItem*> cards = DbHelpers::getFolderCardItems(context(), project, ItemIds::Top);
    ASSERT_EQ(cards.size(), 7);
    EXPECT_FALSE(titles(cards).contains(QStringLiteral("Folder")));
    const QStringList others =
        titles(DbHelpers::getFolderCardItems(context(), project, ItemIds::Top, cards[1]->uniqueIdentifier()));
    EXPECT_EQ(others.size(), 6);
    EXPECT_FALSE(others.contains(cards[1]->title()));
}

TEST_F(DbHelpersTest, folderHasItemsFindsACardTwoLevelsDown)
{
    ProjectItem* outer = addFolder(project, ItemIds::Top, QStringLiteral("Outer"), 9);
    ProjectItem* inner = addFolder(project, outer->uniqueIdentifier(), QStringLiteral("Inner"));
    ProjectItem* empty = addFolder(project, ItemIds::Top, QStringLiteral("Empty"), 10);
    addItem(project, inner->uniqueIdentifier(), ProjectItemTypes::Story, QStringLiteral("Deep"));
    const QString outerId = outer->uniqueIdentifier();

    EXPECT_FALSE(
        DbHelpers::folderHasItems(context(), project, empty->uniqueIdentifier(), CardFilter::AllCards, {}, {}));
    EXPECT_TRUE(DbHelpers::folderHasItems(context(), project, outerId, CardFilter::AllCards, {}, {}));
    EXPECT_FALSE(DbHelpers::folderHasItems(context(), project, outerId, CardFilter::OpenIssues, {}, {}));
    const QString deep = Indexer::predicate(QStringLiteral("terms"), QStringLiteral("dee"));
    const QString other = Indexer::predicate(QStringLiteral("terms"), QStringLiteral("idea"));
    EXPECT_TRUE(DbHelpers::folderHasItems(context(), project, outerId, CardFilter::AllCards, {}, deep));
    EXPECT_TRUE(DbHelpers::folderHasQueryItems(context(), project, outerId, deep));
    EXPECT_FALSE(DbHelpers::folderHasQueryItems(context(), project, outerId, other));
}

// Query words and tags are text a writer typed: none may widen a query past its project.
TEST_F(DbHelpersTest, searchWithQuoteDoesNotCrossProjects)
{
    const QString elsewhere = addProject(QStringLiteral("Q"), 2)->uniqueIdentifier();
    addItem(elsewhere, ItemIds::Top, ProjectItemTypes::Idea, QStringLiteral("x\" or z"))
        ->setTag(QStringLiteral("it's"));
    addItem(project, ItemIds::Top, ProjectItemTypes::Person, QStringLiteral("O'Neil"), 11)
        ->setTag(QStringLiteral("it's"));
    ASSERT_NO_FATAL_FAILURE(save());

    const auto search = [&](const QString& words) {
        return titles(DbHelpers::getCardsForQuery(context(), project, Indexer::predicate("terms", words)));
    };
    EXPECT_EQ(search(QStringLiteral("o'neil")), QStringList({"O'Neil"}));
    EXPECT_EQ(search(QStringLiteral("\"")), QStringList());
    EXPECT_EQ(search(QStringLiteral("x\" OR itemType != \"z")), QStringList());
    EXPECT_EQ(search(QStringLiteral("back\\slash")), QStringList());

    // A fragment that parses alone but holds an OR of its own still stays inside the project.
    const QString wide = QStringLiteral("terms contains ' zzz' OR itemType != 0");
    EXPECT_EQ(DbHelpers::getCardsForQuery(context(), project, wide).size(), 8);
    // One that does not parse alone is refused instead of being spliced into the condition.
    const QString splice = QStringLiteral("terms contains ' z')) OR ((itemType != 0");
    EXPECT_TRUE(DbHelpers::getCardsForQuery(context(), project, splice).isEmpty());
    EXPECT_TRUE(listing(CardFilter::AllCards, {}, splice).isEmpty());
    EXPECT_EQ(DbHelpers::getFolderItemsCount(context(), project, ItemIds::Top, CardFilter::AllCards, {}, splice), 0u);
    EXPECT_FALSE(DbHelpers::folderHasQueryItems(context(), project, ItemIds::Top, splice));
    EXPECT_EQ(DbHelpers::predicateForQuery(splice), QStringLiteral("(itemType == 0)"));

    EXPECT_EQ(listing(CardFilter::Tagged, QStringLiteral("it's")), QStringList({"Folder", "O'Neil"}));
    EXPECT_EQ(listing(CardFilter::Tagged, QStringLiteral("x' or tag != 'y")), QStringList({"Folder"}));
    EXPECT_EQ(listing(CardFilter::Tagged, QStringLiteral("\\")), QStringList({"Folder"}));
}

TEST_F(DbHelpersTest, quotedEscapesBackslashAndQuote)
{
    EXPECT_EQ(DbHelpers::quoted(QStringLiteral("o'ne\\il")), QStringLiteral("'o\\'ne\\\\il'"));
    EXPECT_EQ(DbHelpers::quoted({}), QStringLiteral("''"));
}

class DbHelpersSaveTest : public DbHelpersFixture {
protected:
    // Makes the file refuse every new item, as a full disk or a damaged file would.
    void refuseInserts(bool refuse)
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(m_store.path().toUtf8().constData(), &db), SQLITE_OK);
        const QByteArray sql = refuse ? "CREATE TRIGGER refuse BEFORE INSERT ON ProjectItem "
                                        "BEGIN SELECT RAISE(ABORT, 'disk says no'); END;"
                                      : "DROP TRIGGER refuse";
        EXPECT_EQ(sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }

    void closeAllAlerts()
    {
        for (Alert* alert : Alert::presented())
            alert->trigger(0);
    }
};

TEST_F(DbHelpersSaveTest, failedSaveWithoutPresenterKeepsChangesPending)
{
    ASSERT_NO_FATAL_FAILURE(refuseInserts(true));
    addItem(QStringLiteral("P"), ItemIds::Top, ProjectItemTypes::Story, QStringLiteral("Kept"));
    EXPECT_FALSE(DbHelpers::saveManagedObjectContext(context(), nullptr));
    EXPECT_TRUE(context()->hasChanges());
    EXPECT_TRUE(Alert::presented().isEmpty());

    ASSERT_NO_FATAL_FAILURE(refuseInserts(false));
    EXPECT_TRUE(DbHelpers::saveManagedObjectContext(context(), nullptr));
    EXPECT_FALSE(context()->hasChanges());
    m_store.reopen();
    EXPECT_EQ(countOf<ProjectItem>(ProjectItem::TitleKey, QStringLiteral("Kept")), 1);
}

TEST_F(DbHelpersSaveTest, failedSaveWithPresenterShowsTheWarning)
{
    QWidget window;
    window.show();
    ASSERT_NO_FATAL_FAILURE(refuseInserts(true));
    addItem(QStringLiteral("P"), ItemIds::Top, ProjectItemTypes::Story, QStringLiteral("Kept"));
    EXPECT_FALSE(DbHelpers::saveManagedObjectContext(context(), &window));

    QPointer<Alert> alert = Alert::topmost();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->title(), DbHelpers::SaveErrorTitle);
    EXPECT_TRUE(alert->message().startsWith(QStringLiteral("Error saving: ")));
    EXPECT_TRUE(alert->message().contains(QStringLiteral("disk says no")));
    EXPECT_TRUE(alert->message().endsWith(QLatin1Char('.')));
    EXPECT_EQ(alert->actionTitles(), QStringList({"OK"}));
    EXPECT_TRUE(context()->hasChanges());
    alert->trigger(0);
    EXPECT_EQ(Alert::topmost(), nullptr);
    closeAllAlerts();
}

TEST_F(DbHelpersSaveTest, successfulSaveShowsNothing)
{
    QWidget window;
    addItem(QStringLiteral("P"), ItemIds::Top, ProjectItemTypes::Story, QStringLiteral("Saved"));
    EXPECT_TRUE(DbHelpers::saveManagedObjectContext(context(), &window));
    // Chosen records are stored alone; the rest stays pending.
    ProjectItem* chosen = addItem(QStringLiteral("P"), ItemIds::Top, ProjectItemTypes::Story, QStringLiteral("Chosen"));
    addItem(QStringLiteral("P"), ItemIds::Top, ProjectItemTypes::Story, QStringLiteral("Pending"));
    EXPECT_TRUE(DbHelpers::saveManagedObjects(context(), {chosen}, &window));
    EXPECT_EQ(context()->insertedObjects().size(), 1);
    EXPECT_EQ(Alert::topmost(), nullptr);
    m_store.reopen();
    EXPECT_EQ(countOf<ProjectItem>(ProjectItem::TitleKey, QStringLiteral("Chosen")), 1);
    EXPECT_EQ(countOf<ProjectItem>(ProjectItem::TitleKey, QStringLiteral("Pending")), 0);
}

TEST_F(DbHelpersTest, folderCardCountsLeaveOutFoldersOtherProjectsAndTheExcludedCard)
{
    Project* project = addProject(QStringLiteral("Counted"));
    Project* other = addProject(QStringLiteral("Other"), 2);
    const QString projectId = project->uniqueIdentifier();
    ProjectItem* folder = addFolder(projectId, ItemIds::Top, QStringLiteral("Act"));
    addFolder(projectId, folder->uniqueIdentifier(), QStringLiteral("Scene"));
    addItem(projectId, ItemIds::Top, ProjectItemTypes::Story, QStringLiteral("One"));
    ProjectItem* excluded =
        addItem(projectId, folder->uniqueIdentifier(), ProjectItemTypes::Idea, QStringLiteral("Two"));
    addItem(projectId, folder->uniqueIdentifier(), ProjectItemTypes::Idea, QStringLiteral("Three"));
    addItem(other->uniqueIdentifier(), ItemIds::Top, ProjectItemTypes::Story, QStringLiteral("Elsewhere"));
    ASSERT_NO_FATAL_FAILURE(save());

    const QHash<QString, qint64> all = DbHelpers::getFolderCardCounts(context(), projectId);
    EXPECT_EQ(all, (QHash<QString, qint64>{{ItemIds::Top, 1}, {folder->uniqueIdentifier(), 2}}));
    const QHash<QString, qint64> without =
        DbHelpers::getFolderCardCounts(context(), projectId, excluded->uniqueIdentifier());
    EXPECT_EQ(without.value(folder->uniqueIdentifier()), 1);
    EXPECT_EQ(DbHelpers::getFolderCardCounts(context(), QStringLiteral("' OR projectId != '")).size(), 0);
    EXPECT_EQ(DbHelpers::getFolderCardCounts(context(), projectId, {}, QStringLiteral("terms contains \" thr\"")),
              (QHash<QString, qint64>{{folder->uniqueIdentifier(), 1}}));
    // A fragment that is no whole predicate could reach past the project condition: it counts nothing.
    EXPECT_TRUE(
        DbHelpers::getFolderCardCounts(context(), projectId, {}, QStringLiteral("1 == 1) OR (1 == 1")).isEmpty());
}

} // namespace
