#pragma once

#include <QModelIndex>

class LXReorderableCollectionViewFlowLayout;
class QListView;

// What the reorderable layout tells the collection view's delegate about a drag; every member defaults to nothing.
class ReorderableDelegate {
public:
    virtual ~ReorderableDelegate() = default;

    // A drag was accepted; the floating copy is not made yet.
    virtual void collectionViewLayoutWillBeginDraggingItemAtIndexPath(QListView* collectionView,
                                                                      LXReorderableCollectionViewFlowLayout* layout,
                                                                      const QModelIndex& indexPath)
    {
        Q_UNUSED(collectionView)
        Q_UNUSED(layout)
        Q_UNUSED(indexPath)
    }
    // The lift animation has finished.
    virtual void collectionViewLayoutDidBeginDraggingItemAtIndexPath(QListView* collectionView,
                                                                     LXReorderableCollectionViewFlowLayout* layout,
                                                                     const QModelIndex& indexPath)
    {
        Q_UNUSED(collectionView)
        Q_UNUSED(layout)
        Q_UNUSED(indexPath)
    }
    // The press ended or was cancelled; the drop animation starts.
    virtual void collectionViewLayoutWillEndDraggingItemAtIndexPath(QListView* collectionView,
                                                                    LXReorderableCollectionViewFlowLayout* layout,
                                                                    const QModelIndex& indexPath)
    {
        Q_UNUSED(collectionView)
        Q_UNUSED(layout)
        Q_UNUSED(indexPath)
    }
    // The drop animation has finished and the floating copy is gone.
    virtual void collectionViewLayoutDidEndDraggingItemAtIndexPath(QListView* collectionView,
                                                                   LXReorderableCollectionViewFlowLayout* layout,
                                                                   const QModelIndex& indexPath)
    {
        Q_UNUSED(collectionView)
        Q_UNUSED(layout)
        Q_UNUSED(indexPath)
    }
};
