#include "CardProps.h"

#include "StoreConstants.h"

namespace {

using Row = CardProp::Row;
namespace Types = ProjectItemTypes;

// clang-format off
constexpr Row Rows[] = {
    {Types::AllCards, "Card", "Card", "All Cards", "Untitled Card", 0, 0, 0,
     "card.png", "card_topleft.png", "view-pim-notes", "card_bg.png", false, true, CardProp::NoGroup},
    {Types::Folder, "Folder", "Folder", "Folders", "Untitled Folder", 0, 0.6, 0.8,
     "folder.png", "folder_topleft.png", "folder", "doc_bg.png", true, false, CardProp::NoGroup},
    {Types::Story, "Story", "Story Card", "Story Cards", "Untitled Story Card", 0, 0.6, 0.8,
     "text.png", "text_topleft.png", "story-editor", "doc_bg.png", true, true, CardProp::Manuscript},
    {Types::Location, "Location", "Location Card", "Location Cards", "Untitled Location", 0.23, 0.6, 0.12,
     "location.png", "location_topleft.png", "mark-location", "location_bg.png", true, true, CardProp::Supporting},
    {Types::Person, "Person", "Person Card", "People Cards", "Unnamed Person", 0.6, 0.8, 0,
     "person.png", "person_topleft.png", "im-user", "person_bg.png", true, true, CardProp::Supporting},
    {Types::Event, "Event", "Event Card", "Event Cards", "Unnamed Event", 0.298, 0.278, 0.76,
     "event.png", "event_topleft.png", "view-calendar-day", "event_bg.png", true, true, CardProp::Supporting},
    {Types::Thing, "Thing", "Thing Card", "Thing Cards", "Untitled Thing", 1.0, 0.28, 0,
     "prop.png", "prop_topleft.png", "tools", "umbrella_bg.png", true, true, CardProp::Supporting},
    {Types::Idea, "Idea", "Idea Card", "Idea Cards", "Untitled Idea", 1.0, 0.73, 0.2,
     "idea.png", "idea_topleft.png", "games-hint", "bulb_bg.png", true, true, CardProp::Issue},
    {Types::Question, "Question", "Question Card", "Question Cards", "Untitled Question", 0.67, 0.4, 0.8,
     "question.png", "question_topleft.png", "help-contextual", "question_bg.png", true, true, CardProp::Issue},
    {Types::Reminder, "Reminder", "Reminder Card", "Reminder Cards", "Untitled Reminder", 0.8, 0, 0,
     "reminder.png", "reminder_topleft.png", "appointment-reminder", "bell_bg.png", true, true, CardProp::Issue},
};
// clang-format on
constexpr qsizetype StoryRow = 2;

}  // namespace

CardProps::CardProps()
    : m_allProps(defaultProps())
{
}

const QList<CardProp>& CardProps::defaultProps()
{
    static const QList<CardProp> props = [] {
        QList<CardProp> rows;
        for (const Row& row : Rows)
            rows.append(CardProp(row));
        return rows;
    }();
    return props;
}

const CardProp& CardProps::propForCardType(const QVariant& cardType) const
{
    bool ok = false;
    const qint64 type = cardType.toLongLong(&ok);
    return propForIntCardType(ok ? type : Types::Story);
}

const CardProp& CardProps::propForIntCardType(qint64 cardType) const
{
    if (const CardProp* entry = entryForIntCardType(cardType))
        return *entry;
    if (const CardProp* story = entryForIntCardType(Types::Story))
        return *story;
    // A table whose rows were replaced without a Story row still answers with the fixed one.
    return defaultProps().at(StoryRow);
}

const CardProp* CardProps::entryForIntCardType(qint64 cardType) const
{
    for (const CardProp& prop : m_allProps) {
        if (prop.itemType() == cardType)
            return &prop;
    }
    return nullptr;
}

CardProp* CardProps::mutablePropForIntCardType(qint64 cardType)
{
    for (CardProp& prop : m_allProps) {
        if (prop.itemType() == cardType)
            return &prop;
    }
    return nullptr;
}
