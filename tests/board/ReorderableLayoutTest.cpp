#include "board/FloatingCellView.h"
#include "board/LXReorderableCollectionViewFlowLayout.h"
#include "board/ReorderableDataSource.h"
#include "board/ReorderableDelegate.h"
#include "platform/Delays.h"

#include "TestWait.h"
#include <QApplication>
#include <QDialog>
#include <QListView>
#include <QMenu>
#include <QPixmap>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStringListModel>
#include <QTest>
#include <QToolTip>
#include <QVariantAnimation>
#include <gtest/gtest.h>
#include <memory>

namespace {

using Direction = LXReorderableCollectionViewFlowLayout::ScrollingDirection;

// Records what the layout tells its data source and delegate, and refuses what a test asks it to.
class Recorder : public ReorderableDataSource, public ReorderableDelegate {
public:
    bool collectionViewCanMoveItemAtIndexPath(QListView*, const QModelIndex& index) override
    {
        return index.row() != refusedItem;
    }
    bool collectionViewItemAtIndexPathCanMoveToIndexPath(QListView*, const QModelIndex&, const QModelIndex& to) override
    {
        return to.row() != refusedPlace;
    }
    void collectionViewItemAtIndexPathWillMoveToIndexPath(QListView*, const QModelIndex& from,
                                                          const QModelIndex& to) override
    {
        calls << QStringLiteral("willMove %1>%2").arg(from.row()).arg(to.row());
    }
    void collectionViewLayoutWillBeginDraggingItemAtIndexPath(QListView*, LXReorderableCollectionViewFlowLayout*,
                                                              const QModelIndex& index) override
    {
        calls << QStringLiteral("willBegin %1").arg(index.row());
    }
    void collectionViewLayoutDidBeginDraggingItemAtIndexPath(QListView*, LXReorderableCollectionViewFlowLayout*,
                                                             const QModelIndex& index) override
    {
        calls << QStringLiteral("didBegin %1").arg(index.row());
    }
    void collectionViewLayoutWillEndDraggingItemAtIndexPath(QListView*, LXReorderableCollectionViewFlowLayout*,
                                                            const QModelIndex& index) override
    {
        calls << QStringLiteral("willEnd %1").arg(index.row());
    }
    void collectionViewLayoutDidEndDraggingItemAtIndexPath(QListView*, LXReorderableCollectionViewFlowLayout*,
                                                           const QModelIndex& index) override
    {
        calls << QStringLiteral("didEnd %1").arg(index.row());
    }

    int refusedItem = -1;
    int refusedPlace = -1;
    QStringList calls;
};

// A grid of 60 cells, five to a row, in a view short enough to scroll.
class ReorderableLayoutTest : public ::testing::Test {
protected:
    ReorderableLayoutTest()
    {
        Delays::setFactor(0);
        QStringList items;
        for (int i = 0; i < 60; ++i)
            items << QString::number(i);
        model.setStringList(items);
        view.setViewMode(QListView::IconMode);
        view.setFlow(QListView::LeftToRight);
        view.setWrapping(true);
        view.setResizeMode(QListView::Adjust);
        view.setUniformItemSizes(true);
        view.setGridSize(QSize(100, 100));
        view.setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
        view.setModel(&model);
        view.resize(520, 400);
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
        layout.setCollectionView(&view);
        layout.setDataSource(&recorder);
        layout.setDelegate(&recorder);
    }
    ~ReorderableLayoutTest() override { Delays::setFactor(1); }

    QWidget* viewport() const { return view.viewport(); }
    QPoint centerOf(int row) const { return view.visualRect(model.index(row)).center(); }
    QStringList firstItems(int count) const { return model.stringList().mid(0, count); }
    // Holds a press on row until the drag begins; a refused row is held past the press duration instead.
    void lift(int row)
    {
        QTest::mousePress(viewport(), Qt::LeftButton, {}, centerOf(row));
        if (row == recorder.refusedItem)
            runEventsFor(LXReorderableCollectionViewFlowLayout::MinimumPressDurationMs + 100);
        else
            EXPECT_TRUE(waitFor([this] { return layout.isDragging(); })) << "row " << row << " never lifted";
    }

    QStringListModel model;
    QListView view;
    Recorder recorder;
    LXReorderableCollectionViewFlowLayout layout;
};

TEST_F(ReorderableLayoutTest, heldPressLiftsAScaledCopyAndHidesTheItsPlace)
{
    QTest::mouseClick(viewport(), Qt::LeftButton, {}, centerOf(4));
    ASSERT_EQ(view.selectionModel()->selectedIndexes(), QModelIndexList({model.index(4)}));
    lift(1);
    EXPECT_EQ(view.selectionModel()->selectedIndexes(), QModelIndexList({model.index(4)}))
        << "a long press is no tap: the item it lifted is not selected";
    ASSERT_TRUE(layout.isDragging());
    EXPECT_EQ(layout.selectedItemIndexPath().row(), 1);
    EXPECT_TRUE(layout.isHidden(model.index(1)));
    EXPECT_FALSE(layout.isHidden(model.index(0)));
    EXPECT_FLOAT_EQ(float(layout.currentView()->scale()), 1.1f);
    EXPECT_TRUE(layout.currentView()->isVisible()) << "the lifted copy is on screen over the grid";
    EXPECT_FALSE(layout.currentView()->hasHighlighted()) << "the highlighted copy fades out and goes";
    EXPECT_EQ(recorder.calls, QStringList({"willBegin 1", "didBegin 1"}));
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, centerOf(1));
    EXPECT_FALSE(layout.isDragging());
    EXPECT_FALSE(layout.isHidden(model.index(1)));
    EXPECT_EQ(view.selectionModel()->selectedIndexes(), QModelIndexList({model.index(4)}));

    // The release got lost and the next press comes while the copy is still up: the release that brings it down
    // belongs to the lift, and is no click.
    QSignalSpy clicked(&view, &QListView::clicked);
    lift(2);
    QTest::mousePress(viewport(), Qt::LeftButton, {}, centerOf(2));
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, centerOf(2));
    EXPECT_FALSE(layout.isDragging());
    EXPECT_EQ(clicked.count(), 0);
}

TEST_F(ReorderableLayoutTest, pressThatMovesOrEndsEarlyIsNoLongPress)
{
    // Held for less than the press duration, then as long as a lift would take after the release.
    QTest::mousePress(viewport(), Qt::LeftButton, {}, centerOf(0));
    runEventsFor(100);
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, centerOf(0));
    runEventsFor(600);
    EXPECT_FALSE(layout.isDragging());

    QTest::mousePress(viewport(), Qt::LeftButton, {}, centerOf(0));
    QTest::mouseMove(viewport(), centerOf(0) + QPoint(30, 0));
    runEventsFor(600);
    EXPECT_FALSE(layout.isDragging()) << "a press that wandered off is a selection, not a lift";
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, centerOf(0));

    // Only the primary button carries a card; another one held as long lifts nothing.
    QTest::mousePress(viewport(), Qt::RightButton, {}, centerOf(0));
    runEventsFor(600);
    EXPECT_FALSE(layout.isDragging());
    QTest::mouseRelease(viewport(), Qt::RightButton, {}, centerOf(0));
    EXPECT_TRUE(recorder.calls.isEmpty());
}

TEST_F(ReorderableLayoutTest, pressThatWandersExactlyTheAllowedDistanceStillLifts)
{
    // Six across and four down: a hand's tremor of ten points, measured along the axes.
    const QPoint allowed = centerOf(0) + QPoint(6, 4);
    QTest::mousePress(viewport(), Qt::LeftButton, {}, centerOf(0));
    QTest::mouseMove(viewport(), allowed);
    EXPECT_TRUE(waitFor([&] { return layout.isDragging(); }));
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, allowed);
}

TEST_F(ReorderableLayoutTest, pressThatWandersOnePointFurtherIsNoLongPress)
{
    const QPoint beyond = centerOf(0) + QPoint(6, 5);
    QTest::mousePress(viewport(), Qt::LeftButton, {}, centerOf(0));
    QTest::mouseMove(viewport(), beyond);
    runEventsFor(LXReorderableCollectionViewFlowLayout::MinimumPressDurationMs + 200);
    EXPECT_FALSE(layout.isDragging());
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, beyond);
    EXPECT_TRUE(recorder.calls.isEmpty());
}

TEST_F(ReorderableLayoutTest, draggingMovesTheRowLiveAndTheDropReportsItsNewPlace)
{
    lift(7);
    QTest::mouseMove(viewport(), centerOf(2));
    EXPECT_EQ(firstItems(4), QStringList({"0", "1", "7", "2"}));
    EXPECT_EQ(layout.selectedItemIndexPath().row(), 2);
    EXPECT_TRUE(layout.isHidden(model.index(2)));
    QTest::mouseMove(viewport(), centerOf(0));
    EXPECT_EQ(firstItems(3), QStringList({"7", "0", "1"}));
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, centerOf(0));
    EXPECT_EQ(recorder.calls,
              QStringList({"willBegin 7", "didBegin 7", "willMove 7>2", "willMove 2>0", "willEnd 0", "didEnd 0"}));
    EXPECT_TRUE(layout.isLongPressEnabled());
}

TEST_F(ReorderableLayoutTest, refusedItemStartsNoDragAndARefusedPlaceKeepsTheItem)
{
    recorder.refusedItem = 3;
    lift(3);
    EXPECT_FALSE(layout.isDragging());
    QTest::mouseMove(viewport(), centerOf(0));
    EXPECT_EQ(firstItems(4), QStringList({"0", "1", "2", "3"})) << "no pan without a selected item";
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, centerOf(0));

    recorder.refusedPlace = 0;
    lift(4);
    QTest::mouseMove(viewport(), centerOf(0));
    EXPECT_EQ(model.stringList().at(0), QStringLiteral("0"));
    EXPECT_EQ(layout.selectedItemIndexPath().row(), 4);
    QTest::mouseMove(viewport(), centerOf(4) + QPoint(3, 3));
    EXPECT_FALSE(recorder.calls.join(' ').contains("willMove")) << "over its own place nothing moves";
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, centerOf(4));
}

TEST_F(ReorderableLayoutTest, edgeBandsScrollFivePointsPerSixtiethAndStopAtTheEnds)
{
    lift(6);
    QScrollBar* bar = view.verticalScrollBar();
    ASSERT_GT(bar->maximum(), 100);
    QTest::mouseMove(viewport(), QPoint(centerOf(6).x(), viewport()->height() - 20));
    EXPECT_EQ(layout.scrollingDirection(), Direction::Down);
    const int before = bar->value();
    const QPointF centerBefore = layout.currentViewCenter();
    layout.handleScroll(1.0 / 60.0);
    EXPECT_EQ(bar->value(), before + 5);
    EXPECT_EQ(layout.currentViewCenter() - centerBefore, QPointF(0, 5)) << "the copy travels with the content";
    for (int frame = 0; frame < 400 && bar->value() < bar->maximum(); ++frame)
        layout.handleScroll(1.0 / 60.0);
    ASSERT_EQ(bar->value(), bar->maximum());
    const QPointF atEnd = layout.currentViewCenter();
    layout.handleScroll(1.0 / 60.0);
    EXPECT_EQ(layout.currentViewCenter(), atEnd) << "never past the end";

    QTest::mouseMove(viewport(), QPoint(centerOf(6).x(), viewport()->height() / 2));
    EXPECT_EQ(layout.scrollingDirection(), Direction::Unknown) << "the middle stops scrolling";

    QTest::mouseMove(viewport(), QPoint(60, 10));
    EXPECT_EQ(layout.scrollingDirection(), Direction::Up);
    for (int frame = 0; frame < 400 && bar->value() > 0; ++frame)
        layout.handleScroll(1.0 / 60.0);
    ASSERT_EQ(bar->value(), 0);
    const QPointF atTop = layout.currentViewCenter();
    layout.handleScroll(1.0 / 60.0);
    EXPECT_EQ(layout.currentViewCenter(), atTop) << "never above the top";
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, QPoint(60, 10));
    EXPECT_EQ(layout.scrollingDirection(), Direction::Unknown);
}

TEST_F(ReorderableLayoutTest, copyHeldStillInTheBandTakesEachPlaceTheScrollBringsUnderIt)
{
    // Scrolled so that the fifth row's middle column stands 20 points above the bottom, inside the band.
    QScrollBar* bar = view.verticalScrollBar();
    bar->setValue(centerOf(22).y() - (viewport()->height() - 20));
    const QPoint held = centerOf(22);
    lift(7);
    QTest::mouseMove(viewport(), held);
    ASSERT_EQ(layout.scrollingDirection(), Direction::Down);
    ASSERT_EQ(layout.selectedItemIndexPath().row(), 22);
    // One grid row of 100 points, five at a frame, with the mouse still.
    for (int frame = 0; frame < 20; ++frame)
        layout.handleScroll(1.0 / 60.0);
    EXPECT_EQ(view.indexAt(held).row(), 27);
    EXPECT_EQ(layout.selectedItemIndexPath().row(), 27);
    EXPECT_EQ(model.stringList().at(27), QStringLiteral("7"));
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, held);
}

TEST_F(ReorderableLayoutTest, edgeBandsBeginExactlyTheirInsetFromTheEdge)
{
    lift(6);
    const int inset = LXReorderableCollectionViewFlowLayout::DefaultScrollingTriggerInset;
    const int x = centerOf(6).x();
    const int height = viewport()->height();
    // The copy's centre follows the pointer exactly, for it was picked up at its centre.
    QTest::mouseMove(viewport(), QPoint(x, inset));
    EXPECT_EQ(layout.scrollingDirection(), Direction::Unknown) << "the band's inner edge is outside it";
    QTest::mouseMove(viewport(), QPoint(x, inset - 1));
    EXPECT_EQ(layout.scrollingDirection(), Direction::Up);
    QTest::mouseMove(viewport(), QPoint(x, height - inset));
    EXPECT_EQ(layout.scrollingDirection(), Direction::Unknown);
    QTest::mouseMove(viewport(), QPoint(x, height - inset + 1));
    EXPECT_EQ(layout.scrollingDirection(), Direction::Down);
    // Held there, the view scrolls by itself, frame after frame, until the drop.
    QScrollBar* bar = view.verticalScrollBar();
    EXPECT_TRUE(waitFor([&] { return bar->value() > 0; })) << "the band scrolls on its own clock";
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, QPoint(x, height - inset + 1));
    const int dropped = bar->value();
    runEventsFor(100);
    EXPECT_EQ(bar->value(), dropped) << "the drop stops the scrolling";
}

TEST_F(ReorderableLayoutTest, columnsScrollSidewaysAtTheLeftAndRightBands)
{
    // Four cells to a column in a view 520 wide: fifteen columns reach far past the right edge.
    view.setFlow(QListView::TopToBottom);
    view.setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    view.doItemsLayout();
    QScrollBar* bar = view.horizontalScrollBar();
    ASSERT_TRUE(waitFor([&] { return bar->maximum() > 100; }));
    lift(1);
    const int inset = LXReorderableCollectionViewFlowLayout::DefaultScrollingTriggerInset;
    QTest::mouseMove(viewport(), QPoint(viewport()->width() - inset, centerOf(1).y()));
    EXPECT_EQ(layout.scrollingDirection(), Direction::Unknown) << "the band's inner edge is outside it";
    QTest::mouseMove(viewport(), QPoint(viewport()->width() - 20, centerOf(1).y()));
    EXPECT_EQ(layout.scrollingDirection(), Direction::Right);
    const QPointF centerBefore = layout.currentViewCenter();
    layout.handleScroll(1.0 / 60.0);
    EXPECT_EQ(bar->value(), 5);
    EXPECT_EQ(layout.currentViewCenter() - centerBefore, QPointF(5, 0)) << "the copy travels with the content";

    QTest::mouseMove(viewport(), QPoint(10, centerOf(1).y()));
    EXPECT_EQ(layout.scrollingDirection(), Direction::Left);
    layout.handleScroll(1.0 / 60.0);
    EXPECT_EQ(bar->value(), 0);
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, QPoint(10, centerOf(1).y()));
    EXPECT_EQ(layout.scrollingDirection(), Direction::Unknown);
}

TEST_F(ReorderableLayoutTest, goingToTheBackCancelsThePanAndEndsTheDrag)
{
    lift(2);
    QTest::mouseMove(viewport(), QPoint(centerOf(2).x(), viewport()->height() - 10));
    EXPECT_EQ(layout.scrollingDirection(), Direction::Down);
    layout.handleApplicationWillResignActive();
    EXPECT_EQ(layout.scrollingDirection(), Direction::Unknown);
    EXPECT_FALSE(layout.isPanActive());
    EXPECT_FALSE(layout.isDragging()) << "the release may never come once the window is in the back";
    EXPECT_TRUE(recorder.calls.contains(QStringLiteral("didEnd 2")));
    // A release arriving afterwards ends nothing twice.
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, centerOf(2));
    EXPECT_EQ(recorder.calls.count(QStringLiteral("didEnd 2")), 1);
}

TEST_F(ReorderableLayoutTest, menuComingUpDuringThePressMeansItNeverLifts)
{
    QTest::mousePress(viewport(), Qt::LeftButton, {}, centerOf(1));
    QMenu menu;
    menu.addAction(QStringLiteral("Rename"));
    menu.popup(view.mapToGlobal(centerOf(1)));
    ASSERT_TRUE(waitFor([&] { return menu.isVisible(); }));
    // The menu takes the release; the layout never hears of it. (Given to the menu, the release also ends the
    // press for QTest, which would otherwise hold the button down through every later test of the process.)
    QTest::mouseRelease(&menu, Qt::LeftButton, {}, menu.mapFromGlobal(view.mapToGlobal(centerOf(1))));
    menu.close();
    runEventsFor(LXReorderableCollectionViewFlowLayout::MinimumPressDurationMs + 100);
    EXPECT_FALSE(layout.isDragging());
    EXPECT_TRUE(recorder.calls.isEmpty());
}

TEST_F(ReorderableLayoutTest, tipComingUpDuringThePressTakesNothingAway)
{
    QTest::mousePress(viewport(), Qt::LeftButton, {}, centerOf(1));
    QToolTip::showText(view.mapToGlobal(centerOf(1)), QStringLiteral("1"), &view);
    ASSERT_TRUE(waitFor([&] { return layout.isDragging(); }));
    QToolTip::hideText();
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, centerOf(1));
}

// Whatever takes the press away from the view brings the lifted copy down where it was carried to, once.
TEST_F(ReorderableLayoutTest, liftedCopyComesDownWhenTheReleaseCanNoLongerArrive)
{
    QSignalSpy clicked(&view, &QListView::clicked);
    const auto expectDroppedAt = [&](int row, const char* cause) {
        EXPECT_FALSE(layout.isDragging()) << cause;
        EXPECT_FALSE(layout.isPanActive()) << cause;
        EXPECT_TRUE(recorder.calls.endsWith(QStringLiteral("didEnd %1").arg(row))) << cause;
        for (int shown = 0; shown < 6; ++shown)
            EXPECT_FALSE(layout.isHidden(model.index(shown))) << cause << ": row " << shown;
        // A release arriving afterwards neither ends anything twice nor lifts anew, nor is it a click on the item
        // that was carried under it.
        const qsizetype calls = recorder.calls.size();
        QTest::mouseRelease(viewport(), Qt::LeftButton, {}, centerOf(row));
        runEventsFor(LXReorderableCollectionViewFlowLayout::MinimumPressDurationMs + 100);
        EXPECT_EQ(recorder.calls.size(), calls) << cause;
        EXPECT_EQ(clicked.count(), 0) << cause;
        // The next short press is a click as ever.
        QTest::mouseClick(viewport(), Qt::LeftButton, {}, centerOf(5));
        EXPECT_EQ(clicked.count(), 1) << cause;
        clicked.clear();
        recorder.calls.clear();
    };

    lift(1);
    QTest::mouseMove(viewport(), centerOf(3));
    ASSERT_EQ(firstItems(5), QStringList({"0", "2", "3", "1", "4"}));
    QDialog sheet(&view);
    sheet.setWindowModality(Qt::WindowModal);
    sheet.show();
    expectDroppedAt(3, "a sheet came up");
    EXPECT_EQ(firstItems(5), QStringList({"0", "2", "3", "1", "4"})) << "the copy comes down where it was carried";
    sheet.hide();

    lift(2);
    QMenu menu;
    menu.addAction(QStringLiteral("Delete"));
    menu.popup(view.mapToGlobal(centerOf(2)));
    expectDroppedAt(2, "a menu came up");
    menu.close();

    lift(0);
    QTest::keyClick(&view, Qt::Key_Escape);
    expectDroppedAt(0, "Escape");

    lift(4);
    QEvent deactivate(QEvent::WindowDeactivate);
    QWidget otherWindow;
    otherWindow.show();
    QApplication::sendEvent(&otherWindow, &deactivate);
    EXPECT_TRUE(layout.isDragging()) << "another window going to the back takes nothing from this one";
    QApplication::sendEvent(&view, &deactivate);
    expectDroppedAt(4, "the window went to the back");

    // Only a view that tracks the mouse hears of moves with no button held.
    viewport()->setMouseTracking(true);
    lift(0);
    QMouseEvent glide(QEvent::MouseMove, QPointF(centerOf(2)), QPointF(view.mapToGlobal(centerOf(2))), Qt::NoButton,
                      Qt::NoButton, {});
    QApplication::sendEvent(viewport(), &glide);
    expectDroppedAt(0, "a move came with the button up");
    EXPECT_EQ(firstItems(5), QStringList({"0", "2", "3", "1", "4"})) << "a move with the button up carries nothing";

    // A menu took the release for good: no late release ever comes. The next short click, on another cell, is
    // that cell's one click.
    lift(1);
    QMenu taker;
    taker.addAction(QStringLiteral("Rename"));
    taker.popup(view.mapToGlobal(centerOf(1)));
    ASSERT_TRUE(waitFor([&] { return !layout.isDragging(); }));
    taker.close();
    QTest::mouseClick(viewport(), Qt::LeftButton, {}, centerOf(7));
    ASSERT_EQ(clicked.count(), 1) << "the click after a lift whose release never came";
    EXPECT_EQ(clicked.first().first().value<QModelIndex>().row(), 7);
}

TEST_F(ReorderableLayoutTest, dropAnimationKeepsTheLongPressOffUntilItEnds)
{
    Delays::setFactor(1);
    lift(1);
    ASSERT_TRUE(waitFor([&] { return recorder.calls.contains(QStringLiteral("didBegin 1")); }));
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, centerOf(1));
    EXPECT_FALSE(layout.isLongPressEnabled());
    EXPECT_TRUE(layout.isDragging());
    const auto* coming = layout.findChild<QVariantAnimation*>();
    ASSERT_NE(coming, nullptr);
    EXPECT_EQ(coming->duration(), LXReorderableCollectionViewFlowLayout::AnimationMs) << "the copy comes down in 0.3 s";
    // A press made while the copy comes down is no long press, however long it is then held.
    QTest::mousePress(viewport(), Qt::LeftButton, {}, centerOf(3));
    ASSERT_TRUE(waitFor([&] { return layout.isLongPressEnabled(); }));
    EXPECT_FALSE(layout.isDragging());
    EXPECT_EQ(recorder.calls.last(), QStringLiteral("didEnd 1"));
    runEventsFor(LXReorderableCollectionViewFlowLayout::MinimumPressDurationMs + 100);
    EXPECT_FALSE(layout.isDragging()) << "the press that came during the drop lifted row 3";
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, centerOf(3));
}

// The lift's own animation may outlive the layout that started it; it then finds no layout to tell.
TEST_F(ReorderableLayoutTest, layoutGoneDuringTheLiftLeavesItsAnimationNothingToReach)
{
    layout.setCollectionView(nullptr);
    Delays::setFactor(1);
    auto going = std::make_unique<LXReorderableCollectionViewFlowLayout>();
    going->setCollectionView(&view);
    going->setDelegate(&recorder);
    QTest::mousePress(viewport(), Qt::LeftButton, {}, centerOf(1));
    ASSERT_TRUE(waitFor([&] { return going->isDragging(); }));
    going.reset();
    runEventsFor(LXReorderableCollectionViewFlowLayout::AnimationMs + 100);
    // What this asks is that nothing above crashed: the animation ran to its end after its layout had gone.
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, centerOf(1));
}

// A caller may take the model or the view away while a copy rises or comes down: the animation's end then tells
// no one, and touches neither.
TEST_F(ReorderableLayoutTest, modelOrViewTakenAwayDuringAnAnimationIsToldNothing)
{
    layout.setCollectionView(nullptr);
    Delays::setFactor(1);
    {
        LXReorderableCollectionViewFlowLayout rising;
        rising.setCollectionView(&view);
        rising.setDelegate(&recorder);
        QTest::mousePress(viewport(), Qt::LeftButton, {}, centerOf(1));
        ASSERT_TRUE(waitFor([&] { return rising.isDragging(); }));
        view.setModel(nullptr);
        runEventsFor(LXReorderableCollectionViewFlowLayout::AnimationMs + 100);
        EXPECT_FALSE(recorder.calls.contains(QStringLiteral("didBegin 1")));
        QTest::mouseRelease(viewport(), Qt::LeftButton, {}, centerOf(1));
    }
    view.setModel(&model);
    recorder.calls.clear();
    LXReorderableCollectionViewFlowLayout landing;
    landing.setCollectionView(&view);
    landing.setDelegate(&recorder);
    QTest::mousePress(viewport(), Qt::LeftButton, {}, centerOf(2));
    ASSERT_TRUE(waitFor([&] { return recorder.calls.contains(QStringLiteral("didBegin 2")); }));
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, centerOf(2));
    ASSERT_TRUE(landing.isDragging());
    landing.setCollectionView(nullptr);
    ASSERT_TRUE(waitFor([&] { return !landing.isDragging(); }));
    EXPECT_FALSE(recorder.calls.contains(QStringLiteral("didEnd 2")));
}

TEST(FloatingCellViewTest, liftedTileHasEveryRingOfItsShadowRightBesideIt)
{
    QPixmap tile(100, 100);
    tile.fill(Qt::gray);
    FloatingCellView view(tile, QPixmap(), nullptr);
    view.setNormalOpacity(1);
    // Fully lifted.
    view.setScale(1.1);
    QImage shown(view.size(), QImage::Format_ARGB32_Premultiplied);
    shown.fill(Qt::transparent);
    view.render(&shown, QPoint(), QRegion(), QWidget::DrawChildren);
    const int middle = shown.height() / 2;
    int edge = shown.width() - 1;
    while (edge > 0 && shown.pixelColor(edge, middle) != QColor(Qt::gray))
        --edge;
    ASSERT_GT(edge, shown.width() / 2);
    // The rings lie one over another out to the innermost, which ends within a pixel and a bit of the tile.
    const int beside = qAlpha(shown.pixel(edge + 1, middle));
    const int next = qAlpha(shown.pixel(edge + 2, middle));
    EXPECT_GT(next, 0);
    EXPECT_GT(beside, next);
}

} // namespace
