#pragma once

#include <QList>
#include <QPersistentModelIndex>
#include <QPointer>

class QListView;

// The board's drill-down history: the row of the folder cell the writer entered at each level, so that on
// the way back the board scrolls to the folder it came out of.
class CardViewHistoryManager {
public:
    struct Entry {
        int section = 0;
        int row = 0;
    };

    // There is no manager without the board's grid.
    explicit CardViewHistoryManager(QListView* collectionView);

    void pushWithSelected(int row, int section = 0);
    // Scrolls the grid to its top-left corner.
    void reset();
    // Takes the last entry and, when its row is still inside the grid, scrolls to it centred vertically.
    void pop();

    const QList<Entry>& stack() const { return m_stack; }

private:
    QList<Entry> m_stack;
    QPointer<QListView> m_collectionView;
};
