#include "CardViewHistoryManager.h"

#include <QListView>
#include <QScrollBar>

CardViewHistoryManager::CardViewHistoryManager(QListView* collectionView) : m_collectionView(collectionView)
{
    Q_ASSERT(collectionView);
}

void CardViewHistoryManager::pushWithSelected(int row, int section)
{
    m_stack.append({section, row});
}

void CardViewHistoryManager::reset()
{
    if (!m_collectionView)
        return;
    m_collectionView->horizontalScrollBar()->setValue(0);
    m_collectionView->verticalScrollBar()->setValue(0);
}

void CardViewHistoryManager::pop()
{
    if (m_stack.isEmpty())
        return;
    const Entry entry = m_stack.takeLast();
    if (!m_collectionView || !m_collectionView->model())
        return;
    // The folder left may hold fewer items now (deleted, or filtered away); then there is nothing to show.
    if (entry.row >= m_collectionView->model()->rowCount())
        return;
    m_collectionView->scrollTo(m_collectionView->model()->index(entry.row, 0), QAbstractItemView::PositionAtCenter);
}
