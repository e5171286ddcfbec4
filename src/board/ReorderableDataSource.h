#pragma once

#include <QModelIndex>

class QListView;

// What the reorderable layout asks of the collection view's data source. Every member has a default, so a
// data source answers only what it cares about; the data source keeps its own order from these calls.
class ReorderableDataSource {
public:
    virtual ~ReorderableDataSource() = default;

    // Asked when a long press begins over an item; false refuses the drag.
    virtual bool collectionViewCanMoveItemAtIndexPath(QListView* collectionView, const QModelIndex& indexPath)
    {
        Q_UNUSED(collectionView)
        Q_UNUSED(indexPath)
        return true;
    }
    // Asked when the dragged item is over another item; false refuses that place.
    virtual bool collectionViewItemAtIndexPathCanMoveToIndexPath(QListView* collectionView, const QModelIndex& from,
                                                                 const QModelIndex& to)
    {
        Q_UNUSED(collectionView)
        Q_UNUSED(from)
        Q_UNUSED(to)
        return true;
    }
    // Just before the item moves from one place to the other.
    virtual void collectionViewItemAtIndexPathWillMoveToIndexPath(QListView* collectionView, const QModelIndex& from,
                                                                  const QModelIndex& to)
    {
        Q_UNUSED(collectionView)
        Q_UNUSED(from)
        Q_UNUSED(to)
    }
    // After the model has moved the row.
    virtual void collectionViewItemAtIndexPathDidMoveToIndexPath(QListView* collectionView, const QModelIndex& from,
                                                                 const QModelIndex& to)
    {
        Q_UNUSED(collectionView)
        Q_UNUSED(from)
        Q_UNUSED(to)
    }
};
