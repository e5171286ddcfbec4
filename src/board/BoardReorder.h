#pragma once

#include "ReorderableDataSource.h"
#include "ReorderableDelegate.h"

#include <QList>

class ProjectItem;
class PvCardViewController;

// The board's answers to the reorderable layout. Each step of a drag moves the item in the shown list and,
// next to the item it passed, in the folder's full child list as the store holds it, so items hidden by a
// filter or a search keep their places and no two siblings ever share a number. The drop numbers the full
// list 1, 2, 3 …, stamps the project and saves at once, writing only the rows whose number changed.
class BoardReorder : public ReorderableDataSource, public ReorderableDelegate {
public:
    explicit BoardReorder(PvCardViewController* board);

    // One step of a drag: the item at row from takes row to.
    void moveItem(int from, int to);
    // The drop: renumber, stamp the project, save.
    void finishReorder();
    bool isReordering() const { return m_active; }

    void collectionViewItemAtIndexPathWillMoveToIndexPath(QListView* collectionView, const QModelIndex& from,
                                                          const QModelIndex& to) override;
    void collectionViewLayoutWillBeginDraggingItemAtIndexPath(QListView* collectionView,
                                                              LXReorderableCollectionViewFlowLayout* layout,
                                                              const QModelIndex& indexPath) override;
    void collectionViewLayoutDidEndDraggingItemAtIndexPath(QListView* collectionView,
                                                           LXReorderableCollectionViewFlowLayout* layout,
                                                           const QModelIndex& indexPath) override;

    // Sets displayOrder p + 1 on the item at place p wherever it differs; answers how many changed.
    static int renumber(const QList<ProjectItem*>& items);

private:
    void begin();
    static void moveNextTo(QList<ProjectItem*>& list, ProjectItem* moved, ProjectItem* target);

    PvCardViewController* m_board;
    bool m_active = false;
    // The folder's full child list while a drag is under way, in the order the drag has made.
    QList<ProjectItem*> m_fullList;
    QString m_projectId;
    QString m_folderId;
};
