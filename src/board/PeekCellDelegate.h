#pragma once

#include <QStyledItemDelegate>
#include <functional>
#include <memory>

class PeekCellView;
class PeekListModel;
class ProjectItem;

// Paints the peek list: a header row as the folder's path, a card row through one reused PeekCellView that
// the panel fills for the card. Sizes come from the row kind alone, so laying out thousands of rows reads
// no card from the store.
class PeekCellDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using Configure = std::function<void(PeekCellView*, ProjectItem*)>;

    PeekCellDelegate(PeekListModel* model, Configure configure, QObject* parent = nullptr);
    ~PeekCellDelegate() override;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The cell the card rows are painted with; for tests.
    PeekCellView* cell() const { return m_cell.get(); }
    int headerHeight() const;
    int cardHeight() const;

private:
    void paintHeader(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;
    void paintCard(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;

    PeekListModel* m_model;
    Configure m_configure;
    std::unique_ptr<PeekCellView> m_cell;
};
