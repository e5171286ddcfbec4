#pragma once

#include <QWidget>

class QLabel;

// A row of the menu dialog: a fixed-size icon beside the row's text.
class DialogMenuCellView : public QWidget {
    Q_OBJECT

public:
    explicit DialogMenuCellView(QWidget* parent = nullptr);

    QLabel* itemLabelView() const { return m_itemLabelView; }
    QLabel* itemImageView() const { return m_itemImageView; }

private:
    QLabel* m_itemLabelView;
    QLabel* m_itemImageView;
};
