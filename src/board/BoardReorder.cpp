#include "BoardReorder.h"

#include "PvCardViewController.h"
#include "core/DbHelpers.h"
#include "core/ProjectItem.h"

BoardReorder::BoardReorder(PvCardViewController* board) : m_board(board)
{
}

void BoardReorder::begin()
{
    if (m_active)
        return;
    m_active = true;
    m_projectId = m_board->currentProjectId();
    m_folderId = m_board->currentFolderId();
    // A search narrows the board's own list of the folder; the numbers belong to every child, so the drag
    // works on the store's full list.
    m_fullList = m_board->isSearching() ? DbHelpers::getFolderItems(m_board->context(), m_projectId, m_folderId)
                                        : m_board->cards();
}

void BoardReorder::moveNextTo(QList<ProjectItem*>& list, ProjectItem* moved, ProjectItem* target)
{
    const qsizetype at = list.indexOf(target);
    const qsizetype from = list.indexOf(moved);
    if (at < 0 || from < 0 || at == from)
        return;
    // Moving back the item lands just before the target, moving forward just after it.
    list.move(from, at);
}

void BoardReorder::moveItem(int from, int to)
{
    begin();
    QList<ProjectItem*>& shown = m_board->mutableFilteredCards();
    if (from < 0 || to < 0 || from >= shown.size() || to >= shown.size() || from == to)
        return;
    ProjectItem* moved = shown.at(from);
    ProjectItem* target = shown.at(to);
    shown.move(from, to);
    if (!m_board->sameLists())
        moveNextTo(m_board->mutableCards(), moved, target);
    moveNextTo(m_fullList, moved, target);
}

int BoardReorder::renumber(const QList<ProjectItem*>& items)
{
    int changed = 0;
    for (qsizetype place = 0; place < items.size(); ++place) {
        ProjectItem* item = items.at(place);
        if (item->displayOrder() == place + 1)
            continue;
        item->setDisplayOrder(place + 1);
        ++changed;
    }
    return changed;
}

void BoardReorder::finishReorder()
{
    if (m_active) {
        renumber(m_fullList);
        m_fullList.clear();
        m_active = false;
    }
    DbHelpers::updateProjectModDate(m_board->context(), m_board->currentProjectId());
    // Saved at the drop: a crash right after a drag keeps the order the writer made.
    DbHelpers::saveManagedObjectContext(m_board->context(), m_board);
}

void BoardReorder::collectionViewItemAtIndexPathWillMoveToIndexPath(QListView*, const QModelIndex& from,
                                                                    const QModelIndex& to)
{
    moveItem(from.row(), to.row());
}

void BoardReorder::collectionViewLayoutWillBeginDraggingItemAtIndexPath(QListView*,
                                                                        LXReorderableCollectionViewFlowLayout*,
                                                                        const QModelIndex&)
{
    m_board->setDragging(true);
}

void BoardReorder::collectionViewLayoutDidEndDraggingItemAtIndexPath(QListView*, LXReorderableCollectionViewFlowLayout*,
                                                                     const QModelIndex&)
{
    finishReorder();
    m_board->setDragging(false);
}
