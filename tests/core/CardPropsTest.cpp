#include "core/CardProps.h"
#include "core/StoreConstants.h"

#include <gtest/gtest.h>

TEST(CardPropsTest, unknownTypesFallBackToStory)
{
    const CardProps props;
    for (qint64 type : { 9, -1, 5121 })
        EXPECT_EQ(props.propForIntCardType(type).itemType(), ProjectItemTypes::Story) << type;
    EXPECT_EQ(props.propForCardType(QVariant()).itemType(), ProjectItemTypes::Story);
    EXPECT_EQ(props.propForCardType(QStringLiteral("not a number")).itemType(), ProjectItemTypes::Story);
    EXPECT_EQ(props.propForCardType(QVariant(qint64(5))).label(), QStringLiteral("Person"));
}

TEST(CardPropsTest, tableRowsAndOrder)
{
    const CardProps props;
    QList<qint64> order;
    for (const CardProp& prop : props.allProps())
        order.append(prop.itemType());
    EXPECT_EQ(order, (QList<qint64> { 5120, 0, 1, 7, 5, 8, 6, 4, 3, 2 }));

    const CardProp& all = props.propForIntCardType(ProjectItemTypes::AllCards);
    EXPECT_EQ(all.label(), QStringLiteral("Card"));
    EXPECT_FALSE(all.canCreate());
    EXPECT_TRUE(all.cardTypeLabel().isNull());

    const CardProp& folder = props.propForIntCardType(ProjectItemTypes::Folder);
    EXPECT_FALSE(folder.canFilter());
    EXPECT_EQ(folder.cardType(), CardProp::NoGroup);
    EXPECT_TRUE(folder.cardTypeLabel().isNull());

    const CardProp& person = props.propForIntCardType(ProjectItemTypes::Person);
    EXPECT_EQ(person.pluralLabel(), QStringLiteral("People Cards"));
    EXPECT_EQ(person.untitledTitle(), QStringLiteral("Unnamed Person"));
    EXPECT_EQ(props.propForIntCardType(ProjectItemTypes::Event).untitledTitle(), QStringLiteral("Unnamed Event"));
    EXPECT_EQ(person.cardTypeLabel(), QStringLiteral("Supporting"));

    const CardProp& story = props.propForIntCardType(ProjectItemTypes::Story);
    EXPECT_EQ(story.cardColor(), folder.cardColor());
    EXPECT_EQ(story.cardBackgroundName(), QStringLiteral("doc_bg.png"));
    EXPECT_EQ(folder.cardBackgroundName(), QStringLiteral("doc_bg.png"));
    EXPECT_EQ(story.cardTypeLabel(), QStringLiteral("Manuscript"));
    EXPECT_EQ(props.propForIntCardType(ProjectItemTypes::Reminder).cardTypeLabel(), QStringLiteral("Issue"));
    for (const CardProp& prop : props.allProps()) {
        EXPECT_EQ(prop.textColor(), QColor(Qt::white));
        EXPECT_EQ(prop.cardColor().alphaF(), 1.0);
    }
}

TEST(CardPropsTest, editorTableWithholdingStoryLeavesOtherTablesAlone)
{
    CardProps editorProps;
    editorProps.mutablePropForIntCardType(ProjectItemTypes::Story)->setCanCreate(false);
    const CardProps boardProps;
    EXPECT_FALSE(editorProps.propForIntCardType(ProjectItemTypes::Story).canCreate());
    EXPECT_TRUE(boardProps.propForIntCardType(ProjectItemTypes::Story).canCreate());
    EXPECT_TRUE(CardProps().propForIntCardType(ProjectItemTypes::Story).canCreate());
}

TEST(CardPropsTest, emptiedTableStillAnswersStory)
{
    CardProps props;
    props.setAllProps({});
    EXPECT_EQ(props.propForIntCardType(ProjectItemTypes::Idea).itemType(), ProjectItemTypes::Story);
}
