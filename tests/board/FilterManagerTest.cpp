#include "core/DbHelpersFixture.h"

#include "board/FilterManager.h"

namespace {

using Filters = FilterManager::Filters;

class FilterManagerTest : public DbHelpersFixture {
protected:
    void SetUp() override { project = addProject(QStringLiteral("P"))->uniqueIdentifier(); }

    ProjectItem* card(qint64 type, const QString& parent = ItemIds::Top)
    {
        const int order = ++made;
        return addItem(project, parent, type, QStringLiteral("Card %1").arg(order), order);
    }

    FilterManager manager() { return FilterManager(context(), project); }

    QString project;
    int made = 0;
};

TEST_F(FilterManagerTest, emptyProjectCountsZeroForEveryKey)
{
    ASSERT_NO_FATAL_FAILURE(save());
    const FilterManager::Counts types = manager().cardTypeCounts();
    EXPECT_EQ(types.size(), 15);
    for (quint64 value : types)
        EXPECT_EQ(value, 0u);
    const FilterManager::Counts recent = manager().recentCounts();
    const FilterManager::Counts other = manager().otherFilterCounts();
    EXPECT_EQ(recent.size() + other.size(), 5);
    for (quint64 value : recent)
        EXPECT_EQ(value, 0u);
    for (quint64 value : other)
        EXPECT_EQ(value, 0u);
}

TEST_F(FilterManagerTest, foldersNeverCountAndNestedCardsDo)
{
    ProjectItem* outer = addFolder(project, ItemIds::Top, QStringLiteral("A"), 1);
    addFolder(project, outer->uniqueIdentifier(), QStringLiteral("B"), 1);
    addFolder(project, ItemIds::Top, QStringLiteral("C"), 2);
    card(ProjectItemTypes::Story);
    card(ProjectItemTypes::Story, outer->uniqueIdentifier());
    // Another project's card stays out of this project's counts.
    addItem(addProject(QStringLiteral("Other"))->uniqueIdentifier(), ItemIds::Top, ProjectItemTypes::Story,
            QStringLiteral("Elsewhere"));
    ASSERT_NO_FATAL_FAILURE(save());
    const FilterManager::Counts counts = manager().cardTypeCounts();
    EXPECT_EQ(counts[Filters::allCards], 2u);
    EXPECT_EQ(counts[Filters::storyCards], 2u);
    EXPECT_EQ(counts[Filters::peopleCards], 0u);
}

TEST_F(FilterManagerTest, sidebarRowsCountTheirOwnTypeNotTheRowIndex)
{
    // Row 2 is Location (item type 7), not Reminder (item type 2).
    card(ProjectItemTypes::Location);
    card(ProjectItemTypes::Reminder);
    card(ProjectItemTypes::Reminder);
    card(ProjectItemTypes::Event);
    ASSERT_NO_FATAL_FAILURE(save());
    const FilterManager::Counts counts = manager().cardTypeCounts();
    EXPECT_EQ(counts[Filters::locationCards], 1u);
    EXPECT_EQ(counts[Filters::reminderCards], 2u);
    EXPECT_EQ(counts[Filters::eventCards], 1u);
    EXPECT_EQ(counts[Filters::allCards], 4u);
}

TEST_F(FilterManagerTest, openIssuesSkipDoneAndNonIssueTypes)
{
    card(ProjectItemTypes::Question)->setTag(QStringLiteral("done"));
    card(ProjectItemTypes::Idea);
    card(ProjectItemTypes::Reminder)->setTag(QStringLiteral("inprogress"));
    card(ProjectItemTypes::Story);
    card(ProjectItemTypes::Story)->setTag(QStringLiteral("warning"));
    ASSERT_NO_FATAL_FAILURE(save());
    const FilterManager::Counts counts = manager().otherFilterCounts();
    EXPECT_EQ(counts[Filters::openIssueCards], 2u);
    EXPECT_FALSE(counts.contains(Filters::cardsWithTag));
}

TEST_F(FilterManagerTest, emptyNotesDoNotCountAsNotes)
{
    card(ProjectItemTypes::Story)->setNotes(QString(""));
    card(ProjectItemTypes::Story)->setNotes(QStringLiteral("keep"));
    card(ProjectItemTypes::Story);
    ASSERT_NO_FATAL_FAILURE(save());
    EXPECT_EQ(manager().otherFilterCounts()[Filters::cardsWithNotes], 1u);
}

TEST_F(FilterManagerTest, recentCountsFollowLastModified)
{
    card(ProjectItemTypes::Story)->setLastModified(QDateTime::currentDateTime().addSecs(-25 * 3600));
    card(ProjectItemTypes::Story)->setLastModified(QDateTime::currentDateTime().addSecs(-3600));
    card(ProjectItemTypes::Story)->setLastModified(QDateTime::currentDateTime().addDays(-20));
    ASSERT_NO_FATAL_FAILURE(save());
    const FilterManager::Counts counts = manager().recentCounts();
    EXPECT_EQ(counts[Filters::recent24Hours], 1u);
    EXPECT_EQ(counts[Filters::recent7Days], 2u);
    EXPECT_EQ(counts[Filters::recent30Days], 3u);
}

TEST_F(FilterManagerTest, boardCodesRoundTrip)
{
    EXPECT_EQ(FilterManager::allCases().size(), 15);
    for (Filters filter : FilterManager::allCases())
        EXPECT_EQ(FilterManager::filterForBoardCode(FilterManager::boardFilterCode(filter)), filter);
    EXPECT_EQ(FilterManager::boardFilterCode(Filters::peopleCards), ProjectItemTypes::Person);
    EXPECT_EQ(FilterManager::title(Filters::cardsWithTag), QStringLiteral("Cards with Tag..."));
    EXPECT_FALSE(FilterManager::filterForBoardCode(ProjectItemTypes::Folder));
}

} // namespace
