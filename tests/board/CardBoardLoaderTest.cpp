#include "core/DbHelpersFixture.h"

#include "board/CardBoardLoader.h"
#include "core/CardProps.h"
#include "core/Indexer.h"

namespace {

class CardBoardLoaderTest : public DbHelpersFixture {
protected:
    void SetUp() override
    {
        project = addProject(QStringLiteral("P"))->uniqueIdentifier();
        full = addFolder(project, ItemIds::Top, QStringLiteral("Full"), 1);
        addItem(project, full->uniqueIdentifier(), ProjectItemTypes::Idea, QStringLiteral("Inner idea"), 1);
        addFolder(project, ItemIds::Top, QStringLiteral("Empty"), 2);
        addItem(project, ItemIds::Top, ProjectItemTypes::Story, QStringLiteral("Dragon story"), 3);
        addItem(project, ItemIds::Top, ProjectItemTypes::Idea, QStringLiteral("Dragon idea"), 4)
            ->setTag(QStringLiteral("done"));
        addItem(project, ItemIds::Top, ProjectItemTypes::Question, QStringLiteral("Open question"), 5);
        ASSERT_NO_FATAL_FAILURE(save());
    }

    CardBoardLoader::Result load(qint64 filter, const QString& parm = {}, const QString& search = {})
    {
        const QString query = search.isEmpty() ? QString() : Indexer::predicate(QStringLiteral("terms"), search);
        return CardBoardLoader::loadCards({context(), project, ItemIds::Top, filter, parm, query});
    }

    QString project;
    ProjectItem* full = nullptr;
};

TEST_F(CardBoardLoaderTest, allCardsShowsEveryChildInOrder)
{
    const auto result = load(CardFilter::AllCards);
    EXPECT_EQ(titles(result.filteredCards),
              QStringList({"Full", "Empty", "Dragon story", "Dragon idea", "Open question"}));
    EXPECT_EQ(result.filteredCards, result.cards);
}

TEST_F(CardBoardLoaderTest, filterHidesFoldersWithNothingPassing)
{
    EXPECT_EQ(titles(load(CardFilter::OpenIssues).filteredCards), QStringList({"Full", "Open question"}));
    EXPECT_EQ(titles(load(ProjectItemTypes::Story).filteredCards), QStringList({"Dragon story"}));
    EXPECT_EQ(titles(load(CardFilter::Tagged, QStringLiteral("done")).filteredCards), QStringList({"Dragon idea"}));
    // The unfiltered folder list stays whole for operations that renumber or append.
    EXPECT_EQ(load(ProjectItemTypes::Story).cards.size(), 5);
}

TEST_F(CardBoardLoaderTest, searchAndFilterNarrowTogether)
{
    EXPECT_EQ(titles(load(CardFilter::AllCards, {}, QStringLiteral("dragon")).filteredCards),
              QStringList({"Dragon story", "Dragon idea"}));
    EXPECT_EQ(titles(load(ProjectItemTypes::Idea, {}, QStringLiteral("dragon")).filteredCards),
              QStringList({"Dragon idea"}));
    EXPECT_EQ(titles(load(CardFilter::AllCards, {}, QStringLiteral("inner")).filteredCards), QStringList({"Full"}));
}

TEST_F(CardBoardLoaderTest, gappedDisplayOrdersAreRenumberedOnlyWithoutSearch)
{
    full->setDisplayOrder(40);
    ASSERT_NO_FATAL_FAILURE(save());
    load(CardFilter::AllCards, {}, QStringLiteral("dragon"));
    EXPECT_EQ(full->displayOrder(), 40);
    const auto result = load(CardFilter::AllCards);
    EXPECT_FALSE(context()->hasChanges());
    for (qsizetype i = 0; i < result.cards.size(); ++i)
        EXPECT_EQ(result.cards.at(i)->displayOrder(), i + 1);
    EXPECT_EQ(result.cards.last(), full);
}

TEST_F(CardBoardLoaderTest, headerAndEmptyStateTexts)
{
    const CardProps props;
    EXPECT_TRUE(CardBoardLoader::headerText(CardFilter::AllCards, {}, props).isEmpty());
    EXPECT_FALSE(CardBoardLoader::showsHeader(CardFilter::AllCards));
    EXPECT_EQ(CardBoardLoader::headerText(CardFilter::Tagged, QStringLiteral("warning"), props),
              QStringLiteral("Cards with Problem tag"));
    EXPECT_TRUE(CardBoardLoader::headerText(CardFilter::Tagged, QStringLiteral("red"), props).isEmpty());
    EXPECT_EQ(CardBoardLoader::headerText(CardFilter::Last7Days, {}, props),
              QStringLiteral("Modified in the last 7 days"));
    EXPECT_EQ(CardBoardLoader::headerText(ProjectItemTypes::Person, {}, props),
              props.propForIntCardType(ProjectItemTypes::Person).pluralLabel());
    EXPECT_EQ(CardBoardLoader::emptyStateText(CardFilter::OpenIssues, true),
              QStringLiteral("No cards match your search"));
    EXPECT_EQ(CardBoardLoader::emptyStateText(CardFilter::OpenIssues, false),
              QStringLiteral("No cards match your selected filter"));
    EXPECT_EQ(CardBoardLoader::emptyStateText(CardFilter::AllCards, false), QStringLiteral("Click  to add a new card"));
}

TEST_F(CardBoardLoaderTest, deletedFolderOrProjectIsNoticed)
{
    EXPECT_TRUE(CardBoardLoader::currentFolderExists(context(), project, ItemIds::Top));
    EXPECT_TRUE(CardBoardLoader::currentFolderExists(context(), project, full->uniqueIdentifier()));
    // A folder of another project is not this board's folder.
    EXPECT_FALSE(CardBoardLoader::currentFolderExists(context(), QStringLiteral("other"), full->uniqueIdentifier()));
    EXPECT_FALSE(CardBoardLoader::currentFolderExists(context(), QStringLiteral("gone"), ItemIds::Top));
    EXPECT_FALSE(CardBoardLoader::currentFolderExists(nullptr, project, ItemIds::Top));
}

} // namespace
