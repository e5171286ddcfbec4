#pragma once

#include <QStyledItemDelegate>

// Draws a sidebar row's count as a small rounded badge at the row's right end; a row without a count, or
// with 0, draws none. A selected row's symbol takes the highlighted text's colour, as its title does.
class SidebarBadgeDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    // The role holding the count text of a row.
    static constexpr int CountRole = Qt::UserRole + 10;
    // Whether a row's image is a system symbol (a template, drawn in one colour) rather than a picture.
    static constexpr int SymbolRole = Qt::UserRole + 11;
    static constexpr int BadgeHeight = 16;
    static constexpr int FontSize = 11;

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};
