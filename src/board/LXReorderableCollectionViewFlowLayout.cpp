#include "LXReorderableCollectionViewFlowLayout.h"

#include "FloatingCellView.h"
#include "ReorderableDataSource.h"
#include "ReorderableDelegate.h"
#include "platform/Delays.h"

#include <QAbstractItemModel>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QListView>
#include <QMouseEvent>
#include <QScrollBar>
#include <QVariantAnimation>
#include <cmath>

LXReorderableCollectionViewFlowLayout::LXReorderableCollectionViewFlowLayout(QObject* parent) : QObject(parent)
{
    m_pressTimer.setSingleShot(true);
    m_pressTimer.setInterval(MinimumPressDurationMs);
    connect(&m_pressTimer, &QTimer::timeout, this, &LXReorderableCollectionViewFlowLayout::handleLongPressBegan);
    m_scrollTimer.setInterval(FrameIntervalMs);
    m_scrollTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_scrollTimer, &QTimer::timeout, this, &LXReorderableCollectionViewFlowLayout::onScrollTimer);
    connect(&m_interruptions, &InterruptionWatch::interrupted, this,
            &LXReorderableCollectionViewFlowLayout::handleApplicationWillResignActive);
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state != Qt::ApplicationActive)
            handleApplicationWillResignActive();
    });
}

LXReorderableCollectionViewFlowLayout::~LXReorderableCollectionViewFlowLayout()
{
    invalidatesScrollTimer();
    if (m_collectionView)
        m_collectionView->viewport()->removeEventFilter(this);
}

void LXReorderableCollectionViewFlowLayout::setCollectionView(QListView* collectionView)
{
    if (collectionView == m_collectionView)
        return;
    if (m_collectionView)
        m_collectionView->viewport()->removeEventFilter(this);
    m_collectionView = collectionView;
    if (m_collectionView)
        setupCollectionView();
    else
        invalidatesScrollTimer();
}

void LXReorderableCollectionViewFlowLayout::setupCollectionView()
{
    m_collectionView->viewport()->installEventFilter(this);
    // The view's own item dragging would fight ours.
    m_collectionView->setDragEnabled(false);
    m_collectionView->setMovement(QListView::Static);
}

QListView* LXReorderableCollectionViewFlowLayout::collectionView() const
{
    return m_collectionView;
}

bool LXReorderableCollectionViewFlowLayout::isDragging() const
{
    return !m_currentView.isNull();
}

FloatingCellView* LXReorderableCollectionViewFlowLayout::currentView() const
{
    return m_currentView;
}

QModelIndex LXReorderableCollectionViewFlowLayout::selectedItemIndexPath() const
{
    if (!m_collectionView || !m_collectionView->model() || m_selectedRow < 0)
        return {};
    return m_collectionView->model()->index(m_selectedRow, 0);
}

bool LXReorderableCollectionViewFlowLayout::isHidden(const QModelIndex& index) const
{
    return m_hiddenRow >= 0 && index.row() == m_hiddenRow;
}

bool LXReorderableCollectionViewFlowLayout::isHighlighted(const QModelIndex& index) const
{
    return m_highlightedRow >= 0 && index.row() == m_highlightedRow;
}

bool LXReorderableCollectionViewFlowLayout::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_collectionView || watched != m_collectionView->viewport())
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton)
            onPress(mouse->position().toPoint());
        break;
    }
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        // The release went to someone else (a menu that grabbed the pointer, another window): the press is over.
        const bool held = mouse->buttons() & Qt::LeftButton;
        if (!held)
            handleApplicationWillResignActive();
        onMove(mouse->position().toPoint());
        // While an item is carried, and after it came down with the button still held, the view must not start
        // a selection of its own.
        if (held && m_pressLifted)
            return true;
        break;
    }
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            break;
        const bool wasLongPress = m_pressLifted;
        m_pressLifted = false;
        onRelease();
        // The release of a press that lifted an item is no click, however the carrying ended (a drop, Escape, a
        // menu, the window going to the back): the project under it must not open.
        if (wasLongPress)
            return true;
        break;
    }
    case QEvent::MouseButtonDblClick:
        if (m_longPressActive)
            return true;
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void LXReorderableCollectionViewFlowLayout::onPress(const QPoint& position)
{
    // A fresh press: the release of an earlier lift has come, or went somewhere the layout never heard of.
    if (!m_longPressActive)
        m_pressLifted = false;
    if (!m_longPressEnabled || m_longPressActive)
        return;
    m_pressPosition = position;
    // Taken before the view hears of the press and selects the item under it.
    if (QItemSelectionModel* selection = m_collectionView->selectionModel())
        m_selectionBeforePress = selection->selection();
    m_pressTimer.start();
    m_interruptions.start(m_collectionView);
}


void LXReorderableCollectionViewFlowLayout::onMove(const QPoint& position)
{
    if (m_pressTimer.isActive() && (position - m_pressPosition).manhattanLength() > AllowableMovement)
        m_pressTimer.stop();
    if (m_panActive)
        pan(position);
}

void LXReorderableCollectionViewFlowLayout::onRelease()
{
    m_pressTimer.stop();
    m_interruptions.stop();
    if (!m_longPressActive)
        return;
    m_longPressActive = false;
    m_panActive = false;
    invalidatesScrollTimer();
    drop();
}

void LXReorderableCollectionViewFlowLayout::handleLongPressBegan()
{
    if (!m_collectionView || !m_collectionView->model())
        return;
    const QModelIndex index = m_collectionView->indexAt(m_pressPosition);
    // A press over the gaps between items lifts nothing: there is no item to carry.
    if (!index.isValid())
        return;
    if (m_dataSource && !m_dataSource->collectionViewCanMoveItemAtIndexPath(m_collectionView, index))
        return;
    m_longPressActive = true;
    m_pressLifted = true;
    // A long press is no tap: it leaves the view's selection as it found it.
    if (QItemSelectionModel* selection = m_collectionView->selectionModel())
        selection->select(m_selectionBeforePress, QItemSelectionModel::ClearAndSelect);
    m_panActive = true;
    m_panTranslation = {};
    lift(index);
}

void LXReorderableCollectionViewFlowLayout::lift(const QModelIndex& index)
{
    QListView* view = m_collectionView;
    // The pictures are taken before the item is hidden, as the cell looks at the moment it is picked up.
    const QPixmap highlighted = snapshot(index, true);
    const QPixmap normal = snapshot(index, false);
    m_selectedRow = index.row();
    if (m_delegate)
        m_delegate->collectionViewLayoutWillBeginDraggingItemAtIndexPath(view, this, index);

    const QRect frame = view->visualRect(index);
    auto* floating = new FloatingCellView(normal, highlighted, view->viewport());
    m_currentView = floating;
    m_currentViewCenter = QPointF(frame.center()) + contentOffset();
    placeCurrentView();
    floating->show();
    floating->raise();

    QPointer<LXReorderableCollectionViewFlowLayout> self(this);
    QPointer<FloatingCellView> guard(floating);
    const int row = index.row();
    animate(
        floating,
        [guard](qreal t) {
            if (!guard)
                return;
            guard->setScale(1.0 + (qreal(LiftScale) - 1.0) * t);
            guard->setHighlightedOpacity(1.0 - t);
            guard->setNormalOpacity(t);
        },
        [self, guard, row] {
            if (!self || !guard)
                return;
            guard->removeHighlighted();
            if (self->m_delegate && self->m_collectionView && self->m_collectionView->model())
                self->m_delegate->collectionViewLayoutDidBeginDraggingItemAtIndexPath(
                    self->m_collectionView, self, self->m_collectionView->model()->index(row, 0));
        });
    m_hiddenRow = m_selectedRow;
    refresh();
}

void LXReorderableCollectionViewFlowLayout::pan(const QPoint& position)
{
    if (m_selectedRow < 0 || !m_currentView)
        return;
    m_panTranslation = QPointF(position - m_pressPosition);
    placeCurrentView();
    invalidateLayoutIfNecessary();
    updateScrollingForCenter();
}

void LXReorderableCollectionViewFlowLayout::invalidateLayoutIfNecessary()
{
    QListView* view = m_collectionView;
    if (!view || !view->model() || m_selectedRow < 0)
        return;
    const QModelIndex target = view->indexAt(floatingCenterInViewport().toPoint());
    const QModelIndex current = view->model()->index(m_selectedRow, 0);
    if (!target.isValid() || target.row() == m_selectedRow)
        return;
    if (m_dataSource && !m_dataSource->collectionViewItemAtIndexPathCanMoveToIndexPath(view, current, target))
        return;
    const int from = m_selectedRow;
    const int to = target.row();
    m_selectedRow = to;
    if (m_dataSource)
        m_dataSource->collectionViewItemAtIndexPathWillMoveToIndexPath(view, current, target);
    // Qt names the destination as the row to insert before, counted before the move.
    view->model()->moveRow(QModelIndex(), from, QModelIndex(), to > from ? to + 1 : to);
    m_hiddenRow = to;
    refresh();
    if (m_dataSource)
        m_dataSource->collectionViewItemAtIndexPathDidMoveToIndexPath(view, view->model()->index(from, 0),
                                                                      view->model()->index(to, 0));
}

void LXReorderableCollectionViewFlowLayout::updateScrollingForCenter()
{
    QListView* view = m_collectionView;
    if (!view)
        return;
    const QPointF center = floatingCenterInViewport();
    const QRect bounds = view->viewport()->rect();
    if (scrollsVertically()) {
        if (center.y() < bounds.top() + m_triggerInsets.top())
            setupScrollTimerInDirection(ScrollingDirection::Up);
        else if (center.y() > bounds.bottom() + 1 - m_triggerInsets.bottom())
            setupScrollTimerInDirection(ScrollingDirection::Down);
        else
            invalidatesScrollTimer();
    } else {
        if (center.x() < bounds.left() + m_triggerInsets.left())
            setupScrollTimerInDirection(ScrollingDirection::Left);
        else if (center.x() > bounds.right() + 1 - m_triggerInsets.right())
            setupScrollTimerInDirection(ScrollingDirection::Right);
        else
            invalidatesScrollTimer();
    }
}

void LXReorderableCollectionViewFlowLayout::setupScrollTimerInDirection(ScrollingDirection direction)
{
    if (m_scrollTimer.isActive() && m_scrollDirection == direction)
        return;
    invalidatesScrollTimer();
    m_scrollDirection = direction;
    m_frameClock.restart();
    m_scrollTimer.start();
}

void LXReorderableCollectionViewFlowLayout::invalidatesScrollTimer()
{
    m_scrollTimer.stop();
    m_scrollDirection = ScrollingDirection::Unknown;
}

void LXReorderableCollectionViewFlowLayout::onScrollTimer()
{
    // The step follows the time that really passed, so the speed does not depend on the frame rate.
    const double seconds = m_frameClock.isValid() ? m_frameClock.restart() / 1000.0 : FrameIntervalMs / 1000.0;
    handleScroll(seconds);
}

void LXReorderableCollectionViewFlowLayout::handleScroll(double frameDuration)
{
    QListView* view = m_collectionView;
    if (!view || m_scrollDirection == ScrollingDirection::Unknown)
        return;
    // Ties to even, the default rounding mode.
    const double distance = std::nearbyint(m_scrollingSpeed * frameDuration);
    QScrollBar* vertical = view->verticalScrollBar();
    QScrollBar* horizontal = view->horizontalScrollBar();
    const double offsetX = horizontal->value();
    const double offsetY = vertical->value();
    double dx = 0;
    double dy = 0;
    switch (m_scrollDirection) {
    case ScrollingDirection::Up:
        dy = offsetY - distance <= vertical->minimum() ? vertical->minimum() - offsetY : -distance;
        break;
    case ScrollingDirection::Down: {
        const double maxY = vertical->maximum();
        dy = offsetY + distance >= maxY ? maxY - offsetY : distance;
        break;
    }
    case ScrollingDirection::Left:
        dx = offsetX - distance <= horizontal->minimum() ? horizontal->minimum() - offsetX : -distance;
        break;
    case ScrollingDirection::Right: {
        const double maxX = horizontal->maximum();
        dx = offsetX + distance >= maxX ? maxX - offsetX : distance;
        break;
    }
    case ScrollingDirection::Unknown:
        break;
    }
    m_currentViewCenter += QPointF(dx, dy);
    horizontal->setValue(int(offsetX + dx));
    vertical->setValue(int(offsetY + dy));
    placeCurrentView();
    // With the mouse held still the items keep passing under the floating copy; it takes its place among them.
    invalidateLayoutIfNecessary();
}

void LXReorderableCollectionViewFlowLayout::handleApplicationWillResignActive()
{
    m_pressTimer.stop();
    if (m_panActive) {
        m_panActive = false;
        invalidatesScrollTimer();
    }
    m_interruptions.stop();
    if (m_longPressActive) {
        m_longPressActive = false;
        drop();
    }
}

void LXReorderableCollectionViewFlowLayout::drop()
{
    QListView* view = m_collectionView;
    if (!view || !view->model() || m_selectedRow < 0)
        return;
    const int row = m_selectedRow;
    const QModelIndex index = view->model()->index(row, 0);
    if (m_delegate)
        m_delegate->collectionViewLayoutWillEndDraggingItemAtIndexPath(view, this, index);
    m_selectedRow = -1;
    const QPointF start = floatingCenterInViewport();
    m_currentViewCenter = {};
    m_panTranslation = {};
    const QPointF target = QRectF(view->visualRect(index)).center();
    m_longPressEnabled = false;

    QPointer<FloatingCellView> floating(m_currentView);
    QPointer<LXReorderableCollectionViewFlowLayout> self(this);
    const qreal startScale = floating ? floating->scale() : 1.0;
    // The animation belongs to the layout: the long press must come back even if the copy went early.
    animate(
        this,
        [floating, start, target, startScale](qreal t) {
            if (!floating)
                return;
            floating->setScale(startScale + (1.0 - startScale) * t);
            floating->setCenter(start + (target - start) * t);
        },
        [self, row] {
            if (self)
                self->finishDrop(row);
        });
}

void LXReorderableCollectionViewFlowLayout::finishDrop(int row)
{
    m_longPressEnabled = true;
    if (m_currentView) {
        m_currentView->hide();
        m_currentView->deleteLater();
    }
    m_currentView = nullptr;
    m_hiddenRow = -1;
    refresh();
    if (m_delegate && m_collectionView && m_collectionView->model())
        m_delegate->collectionViewLayoutDidEndDraggingItemAtIndexPath(m_collectionView, this,
                                                                      m_collectionView->model()->index(row, 0));
}

void LXReorderableCollectionViewFlowLayout::placeCurrentView()
{
    if (m_currentView)
        m_currentView->setCenter(floatingCenterInViewport());
}

QPointF LXReorderableCollectionViewFlowLayout::contentOffset() const
{
    if (!m_collectionView)
        return {};
    return {double(m_collectionView->horizontalScrollBar()->value()),
            double(m_collectionView->verticalScrollBar()->value())};
}

QPointF LXReorderableCollectionViewFlowLayout::floatingCenterInViewport() const
{
    return m_currentViewCenter + m_panTranslation - contentOffset();
}

QPixmap LXReorderableCollectionViewFlowLayout::snapshot(const QModelIndex& index, bool highlighted)
{
    m_highlightedRow = highlighted ? index.row() : -1;
    const QPixmap picture = m_collectionView->viewport()->grab(m_collectionView->visualRect(index));
    m_highlightedRow = -1;
    return picture;
}

bool LXReorderableCollectionViewFlowLayout::scrollsVertically() const
{
    // A wrapping flow of rows grows downwards; a wrapping flow of columns grows sideways.
    return m_collectionView->flow() == QListView::LeftToRight ? m_collectionView->isWrapping()
                                                              : !m_collectionView->isWrapping();
}

void LXReorderableCollectionViewFlowLayout::refresh()
{
    if (m_collectionView)
        m_collectionView->viewport()->update();
}

void LXReorderableCollectionViewFlowLayout::animate(QObject* owner, std::function<void(qreal)> step,
                                                    std::function<void()> done)
{
    const int duration = Delays::scaled(AnimationMs);
    if (duration <= 0) {
        step(1.0);
        done();
        return;
    }
    auto* animation = new QVariantAnimation(owner);
    animation->setStartValue(0.0);
    animation->setEndValue(1.0);
    animation->setDuration(duration);
    animation->setEasingCurve(QEasingCurve::OutCubic);
    QObject::connect(animation, &QVariantAnimation::valueChanged, owner,
                     [step](const QVariant& value) { step(value.toReal()); });
    // finished is connected to the animation itself, so it still arrives when owner goes first.
    QObject::connect(animation, &QVariantAnimation::finished, animation, [done] { done(); });
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}
