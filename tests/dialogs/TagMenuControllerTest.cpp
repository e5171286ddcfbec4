#include "core/DbHelpersFixture.h"

#include "core/CardProps.h"
#include "core/DbHelpers.h"
#include "dialogs/TagMenuController.h"

namespace {

QStringList titlesOf(const QStringList& ids)
{
    QStringList result;
    for (const QString& id : ids)
        result.append(TagMenuController::getTitle(id));
    return result;
}

TEST(TagMenuControllerTest, offerListsFollowTheCardTypeGroup)
{
    const CardProps props;
    EXPECT_EQ(titlesOf(TagMenuController::offeredTags(ProjectItemTypes::Idea, &props)),
              QStringList({"None", "In Progress", "Done"}));
    const QStringList person = TagMenuController::offeredTags(ProjectItemTypes::Person, &props);
    ASSERT_EQ(person.size(), 7);
    EXPECT_EQ(person.last(), QStringLiteral("sent"));
    const QStringList story = TagMenuController::offeredTags(ProjectItemTypes::Story, &props);
    ASSERT_EQ(story.size(), 12);
    EXPECT_EQ(TagMenuController::getTitle(story.last()), QStringLiteral("5th Draft"));
    // A folder falls back to the Story row.
    EXPECT_EQ(TagMenuController::offeredTags(ProjectItemTypes::Folder, &props), story);
    const QStringList noTable = TagMenuController::offeredTags(ProjectItemTypes::Idea, nullptr);
    EXPECT_EQ(noTable.size(), 11);
    EXPECT_FALSE(noTable.contains(TagMenuController::ClearTag));
}

TEST(TagMenuControllerTest, unknownIdsHaveNoTitleOrSymbol)
{
    EXPECT_EQ(TagMenuController::tagIds().size(), 17);
    EXPECT_EQ(TagMenuController::getTitle(QStringLiteral("warning")), QStringLiteral("Problem"));
    EXPECT_EQ(TagMenuController::getTag(QStringLiteral("draft-10")), QStringLiteral("10.circle.fill"));
    EXPECT_TRUE(TagMenuController::getTitle(QStringLiteral("red")).isNull());
    EXPECT_TRUE(TagMenuController::getTag(QString()).isNull());
}

TEST(TagMenuControllerTest, rowsHandTheirOwnIdWhateverTheMenuPasses)
{
    const CardProps props;
    QStringList chosen;
    const QList<DialogMenuItem> items = TagMenuController::menuItems(
        ProjectItemTypes::Question, &props, [&chosen](const QString& id) { chosen.append(id); });
    ASSERT_EQ(items.size(), 3);
    items[0].action()(QStringLiteral("done"));
    items[2].action()(std::nullopt);
    EXPECT_EQ(chosen, QStringList({TagMenuController::ClearTag, QStringLiteral("done")}));
    EXPECT_EQ(items[1].label(), QStringLiteral("In Progress"));
}

class TagApplyTest : public DbHelpersFixture {};

TEST_F(TagApplyTest, clearTagStoresNoTag)
{
    const QString project = addProject(QStringLiteral("P"))->uniqueIdentifier();
    ProjectItem* card = addItem(project, ItemIds::Top, ProjectItemTypes::Question, QStringLiteral("Q"));
    TagMenuController::applyTag(card, QStringLiteral("done"));
    ASSERT_NO_FATAL_FAILURE(save());
    EXPECT_EQ(card->tag(), QStringLiteral("done"));
    TagMenuController::applyTag(card, TagMenuController::ClearTag);
    ASSERT_NO_FATAL_FAILURE(save());
    EXPECT_TRUE(card->tag().isNull());
    // Once cleared the card is an open issue again and no "$clear" tag is left to filter on.
    EXPECT_EQ(DbHelpers::getProjectItemsCount(context(), project, CardFilter::AllCards,
                                              QStringLiteral("tag == '$clear'"), {}),
              0u);
    EXPECT_EQ(
        DbHelpers::getProjectItemsCount(context(), project, CardFilter::AllCards, QStringLiteral("tag == nil"), {}),
        1u);
}

} // namespace
