#include "CardCellButtons.h"

#include "CardCellDelegate.h"
#include "PvCardViewController.h"

#include <QListView>
#include <QMouseEvent>

CardCellButtons::CardCellButtons(PvCardViewController* board, QListView* collectionView, CardCellDelegate* delegate)
    : QObject(board), m_board(board), m_collectionView(collectionView), m_viewport(collectionView->viewport()),
      m_delegate(delegate)
{
    collectionView->viewport()->installEventFilter(this);
    // Moves without a button pressed reach the filter too, for the hover tint.
    collectionView->viewport()->setMouseTracking(true);
}

int CardCellButtons::buttonAt(const QPoint& position) const
{
    const QModelIndex index = m_collectionView->indexAt(position);
    if (!index.isValid())
        return 0;
    return int(m_delegate->buttonAt(m_collectionView->visualRect(index), position));
}

bool CardCellButtons::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_viewport)
        return false;
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseMove) {
        const auto* move = static_cast<QMouseEvent*>(event);
        hover(move->position().toPoint());
        // The press is the button's as far as the pointer carries it: the view must not select the cells it passes.
        return m_pressedButton != 0 && (move->buttons() & Qt::LeftButton);
    }
    if (type == QEvent::Leave)
        hover(QPoint(-1, -1));
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease && type != QEvent::MouseButtonDblClick)
        return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton)
        return false;
    const QPoint position = mouse->position().toPoint();
    if (type == QEvent::MouseButtonRelease) {
        if (!m_pressedButton)
            return false;
        release(position);
        return true;
    }
    m_pressedButton = buttonAt(position);
    m_pressPosition = position;
    return m_pressedButton != 0;
}

void CardCellButtons::hover(const QPoint& position)
{
    const auto button = CardCellDelegate::Button(buttonAt(position));
    const QModelIndex index =
        button == CardCellDelegate::Button::None ? QModelIndex() : m_collectionView->indexAt(position);
    const QModelIndex before = m_delegate->hoveredIndex();
    // Moves within one button, or over no button at all, repaint nothing.
    if (index == before && button == m_delegate->hoveredButton())
        return;
    m_delegate->setHoveredButton(index, button);
    for (const QModelIndex& changed : {before, index}) {
        if (changed.isValid())
            m_collectionView->viewport()->update(m_collectionView->visualRect(changed));
    }
}

void CardCellButtons::release(const QPoint& position)
{
    const int pressed = m_pressedButton;
    m_pressedButton = 0;
    const QModelIndex index = m_collectionView->indexAt(position);
    // A press that slid onto another cell or off the button does nothing.
    if (!index.isValid() || m_collectionView->indexAt(m_pressPosition) != index || buttonAt(position) != pressed)
        return;
    if (pressed == int(CardCellDelegate::Button::Menu))
        m_board->menuButtonClicked(index.row());
    else
        m_board->notesButtonClicked(index.row());
}
