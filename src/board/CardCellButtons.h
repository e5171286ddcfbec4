#pragma once

#include <QObject>
#include <QPoint>

class CardCellDelegate;
class PvCardViewController;
class QListView;

// The menu and notes buttons drawn in the board's cells. A press on a button belongs to the button alone:
// neither the press, the moves it makes nor its release selects, opens or lifts a cell, and the release acts
// only when it ends on the button pressed. The button under the pointer is tinted for as long as the pointer stays on it.
class CardCellButtons : public QObject {
    Q_OBJECT

public:
    CardCellButtons(PvCardViewController* board, QListView* collectionView, CardCellDelegate* delegate);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The button at position: 0 none, otherwise the delegate's button.
    int buttonAt(const QPoint& position) const;
    void release(const QPoint& position);
    // The pointer is at position (nowhere for a null one): the button under it takes the hover tint.
    void hover(const QPoint& position);

    PvCardViewController* m_board;
    QListView* m_collectionView;
    // Compared before the view is touched: the filter also sees events while the view is being destroyed.
    QObject* m_viewport;
    CardCellDelegate* m_delegate;
    QPoint m_pressPosition;
    int m_pressedButton = 0;
};
