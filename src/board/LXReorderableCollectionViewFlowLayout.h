#pragma once

#include "platform/InterruptionWatch.h"

#include <QElapsedTimer>
#include <QItemSelection>
#include <QMargins>
#include <QModelIndex>
#include <QObject>
#include <QPoint>
#include <QPointF>
#include <QPointer>
#include <QTimer>
#include <functional>

class FloatingCellView;
class QListView;
class ReorderableDataSource;
class ReorderableDelegate;

// Drag reordering for a grid list view: a press held still for half a second lifts the item under it into a
// floating copy, moving the mouse carries the copy and moves the item through the model as it passes other
// items, the view scrolls by itself while the copy is near an edge, and releasing drops the copy onto the
// item's new place. The layout changes no data of its own: it moves rows of the view's model and tells its
// data source and delegate what happens. Painting delegates ask isHidden() so the dragged item's place stays
// empty while its copy floats, and isHighlighted() to draw the pressed look for the lift picture. Whatever takes
// the press away before its release (a menu or a sheet coming up, Escape, the window going to the back, a move
// that arrives with the button already up) ends it: a press never lifts afterwards, a lifted copy comes down.
// A press that lifted an item is never a click: it leaves the view's selection as it was before the press, and
// the view does not hear its moves or its release.
class LXReorderableCollectionViewFlowLayout : public QObject {
    Q_OBJECT

public:
    enum class ScrollingDirection { Unknown = 0, Up = 1, Down = 2, Left = 3, Right = 4 };

    static constexpr double DefaultScrollingSpeed = 300.0;
    static constexpr int DefaultScrollingTriggerInset = 50;
    static constexpr int MinimumPressDurationMs = 500;
    // How far a press may wander and still become a long press.
    static constexpr int AllowableMovement = 10;
    static constexpr int AnimationMs = 300;
    static constexpr float LiftScale = 1.1f;
    // The display's frame interval that automatic scrolling steps with.
    static constexpr int FrameIntervalMs = 16;

    explicit LXReorderableCollectionViewFlowLayout(QObject* parent = nullptr);
    ~LXReorderableCollectionViewFlowLayout() override;

    // Attaches to a list view (nullptr detaches); the view must scroll per pixel.
    void setCollectionView(QListView* collectionView);
    QListView* collectionView() const;
    void setDataSource(ReorderableDataSource* dataSource) { m_dataSource = dataSource; }
    void setDelegate(ReorderableDelegate* delegate) { m_delegate = delegate; }

    double scrollingSpeed() const { return m_scrollingSpeed; }
    void setScrollingSpeed(double pointsPerSecond) { m_scrollingSpeed = pointsPerSecond; }
    QMargins scrollingTriggerEdgeInsets() const { return m_triggerInsets; }
    void setScrollingTriggerEdgeInsets(const QMargins& insets) { m_triggerInsets = insets; }

    // The dragged item at its current place; invalid when no drag is under way.
    QModelIndex selectedItemIndexPath() const;
    // From the lift until the drop animation has finished.
    bool isDragging() const;
    FloatingCellView* currentView() const;
    QPointF currentViewCenter() const { return m_currentViewCenter; }
    bool isLongPressEnabled() const { return m_longPressEnabled; }
    bool isPanActive() const { return m_panActive; }
    // Unknown while not scrolling.
    ScrollingDirection scrollingDirection() const { return m_scrollDirection; }

    bool isHidden(const QModelIndex& index) const;
    bool isHighlighted(const QModelIndex& index) const;

    // One frame of automatic scrolling lasting frameDuration seconds.
    void handleScroll(double frameDuration);
    // Cancels the pan in progress; a desktop also loses the button release when the window goes to the back,
    // so the drag ends there too rather than staying stuck in the air.
    void handleApplicationWillResignActive();
    // Stops automatic scrolling.
    void invalidatesScrollTimer();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setupCollectionView();
    void onPress(const QPoint& position);
    void onMove(const QPoint& position);
    void onRelease();
    void handleLongPressBegan();
    void lift(const QModelIndex& index);
    void pan(const QPoint& position);
    void invalidateLayoutIfNecessary();
    void updateScrollingForCenter();
    void setupScrollTimerInDirection(ScrollingDirection direction);
    void onScrollTimer();
    void drop();
    void finishDrop(int row);
    void placeCurrentView();
    QPointF contentOffset() const;
    QPointF floatingCenterInViewport() const;
    QPixmap snapshot(const QModelIndex& index, bool highlighted);
    bool scrollsVertically() const;
    void refresh();
    static void animate(QObject* owner, std::function<void(qreal)> step, std::function<void()> done);

    QPointer<QListView> m_collectionView;
    ReorderableDataSource* m_dataSource = nullptr;
    ReorderableDelegate* m_delegate = nullptr;
    double m_scrollingSpeed = DefaultScrollingSpeed;
    QMargins m_triggerInsets{DefaultScrollingTriggerInset, DefaultScrollingTriggerInset, DefaultScrollingTriggerInset,
                             DefaultScrollingTriggerInset};

    QTimer m_pressTimer;
    InterruptionWatch m_interruptions;
    QPoint m_pressPosition;
    QItemSelection m_selectionBeforePress;
    bool m_longPressEnabled = true;
    bool m_longPressActive = false;
    // The press under way lifted an item: its release is no click, even once the item is down again.
    bool m_pressLifted = false;
    bool m_panActive = false;

    int m_selectedRow = -1;
    int m_hiddenRow = -1;
    int m_highlightedRow = -1;
    QPointer<FloatingCellView> m_currentView;
    QPointF m_currentViewCenter;
    QPointF m_panTranslation;

    QTimer m_scrollTimer;
    QElapsedTimer m_frameClock;
    ScrollingDirection m_scrollDirection = ScrollingDirection::Unknown;
};
