#include "board/NewCardFormats.h"
#include "core/CardProps.h"

#include <gtest/gtest.h>

namespace {

QStringList titles(const QList<KUVDocFormat>& section)
{
    QStringList list;
    for (const KUVDocFormat& format : section)
        list << format.formatTitle;
    return list;
}

TEST(NewCardFormatsTest, creatableTypesInThreeGroupsWithoutFolderOrAllCards)
{
    const QList<QList<KUVDocFormat>> sections = NewCardFormats::cardPropsToPickerArray(CardProps());
    ASSERT_EQ(sections.size(), 3);
    EXPECT_EQ(titles(sections.at(0)), QStringList({"Story"}));
    EXPECT_EQ(titles(sections.at(1)), QStringList({"Idea", "Question", "Reminder"}));
    EXPECT_EQ(titles(sections.at(2)), QStringList({"Location", "Person", "Event", "Thing"}));
    EXPECT_EQ(sections.at(0).first().cardTag, 1);
    EXPECT_EQ(sections.at(1).first().cardTag, 4);
    EXPECT_EQ(sections.at(2).last().cardTag, 6);
    EXPECT_EQ(sections.at(1).first().cardTypeLabel, QStringLiteral("Issue"));
}

TEST(NewCardFormatsTest, aTypeThatCannotBeCreatedIsLeftOut)
{
    CardProps props;
    for (CardProp& prop : props.allProps()) {
        if (prop.itemType() == 1)
            prop.setCanCreate(false);
    }
    const QList<QList<KUVDocFormat>> sections = NewCardFormats::cardPropsToPickerArray(props);
    ASSERT_EQ(sections.size(), 2) << "an empty group leaves no empty section";
    EXPECT_EQ(titles(sections.at(0)), QStringList({"Idea", "Question", "Reminder"}));
}

} // namespace
