#pragma once

#include <QWidget>

class QLabel;

// A row of the floating menu: icon beside text.
class SEKDialogMenuCellView : public QWidget {
    Q_OBJECT

public:
    explicit SEKDialogMenuCellView(QWidget* parent = nullptr);

    QLabel* itemLabelView() const { return m_itemLabelView; }
    QLabel* itemImageView() const { return m_itemImageView; }

private:
    QLabel* m_itemLabelView;
    QLabel* m_itemImageView;
};
