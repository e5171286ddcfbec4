#pragma once

#include <QList>
#include <QString>

class ProjectItem;

// The card board's two item lists of the folder on show, as an operation edits them in place: every item
// of the folder and those shown under the filter or search. Either may be null, and both may be the same
// list when nothing filters the board.
class BoardItems {
public:
    BoardItems() = default;
    BoardItems(QList<ProjectItem*>* cards, QList<ProjectItem*>* filteredCards);

    QList<ProjectItem*>* cards() const { return m_cards; }
    QList<ProjectItem*>* filteredCards() const { return m_filteredCards; }

    // Takes every entry of the item out of both lists, found by identifier, never by a row that may be stale.
    void remove(const QString& itemId) const;

private:
    QList<ProjectItem*>* m_cards = nullptr;
    QList<ProjectItem*>* m_filteredCards = nullptr;
};
