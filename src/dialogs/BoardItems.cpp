#include "BoardItems.h"

#include "core/ProjectItem.h"

namespace {

void removeFrom(QList<ProjectItem*>* list, const QString& itemId)
{
    if (!list)
        return;
    list->removeIf([&itemId](const ProjectItem* entry) { return entry && entry->uniqueIdentifier() == itemId; });
}

} // namespace

BoardItems::BoardItems(QList<ProjectItem*>* cards, QList<ProjectItem*>* filteredCards)
    : m_cards(cards), m_filteredCards(filteredCards)
{
}

void BoardItems::remove(const QString& itemId) const
{
    if (itemId.isEmpty())
        return;
    removeFrom(m_filteredCards, itemId);
    if (m_cards != m_filteredCards)
        removeFrom(m_cards, itemId);
}
