#include "board/BoardReorder.h"
#include "BoardTestFixture.h"
#include "StoredRows.h"
#include "board/CardCellDelegate.h"
#include "board/LXReorderableCollectionViewFlowLayout.h"

#include <QPainter>
#include <QStyleOptionViewItem>

namespace {

class BoardReorderTest : public BoardTestFixture {
protected:
    // A real drag: press, hold until the item lifts, carry it over the target's centre, release. whileLifted runs
    // once the item is up, before it moves.
    void drag(int from, int to, const std::function<void()>& whileLifted = {})
    {
        QWidget* viewport = board->collectionView()->viewport();
        QTest::mousePress(viewport, Qt::LeftButton, {}, centerOf(from));
        ASSERT_TRUE(waitFor([&] { return board->reorderableLayout()->isDragging(); }));
        if (whileLifted)
            whileLifted();
        const QPoint start = centerOf(from);
        const QPoint end = centerOf(to);
        for (int step = 1; step <= 4; ++step)
            QTest::mouseMove(viewport, start + (end - start) * step / 4);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, end);
        ASSERT_TRUE(waitFor([&] { return !board->reorderableLayout()->isDragging(); }));
    }
    // The root's titles in their display order as the store file holds them, read as another program would.
    QStringList titlesOnDisk() const
    {
        return storedRows(dir.filePath(QStringLiteral("CardStore.sqlite")),
                          "SELECT title FROM ProjectItem WHERE parentItemId = '_top' ORDER BY displayOrder");
    }
    QStringList storedTitles(const QString& folderId = ItemIds::Top) const
    {
        QStringList titles;
        for (ProjectItem* child : DbHelpers::getFolderItems(context(), project, folderId))
            titles << child->title();
        return titles;
    }
    // Records changed per entity by the saves since token.
    QMap<QString, int> changesSince(qint64 token) const
    {
        QMap<QString, int> counts;
        for (const HistoryTransaction& transaction : context()->fetchHistoryAfterToken(token).transactions) {
            for (const HistoryChange& change : transaction.changes)
                ++counts[change.entityName];
        }
        return counts;
    }
    void tagWithSea(const QStringList& titles)
    {
        for (const QString& title : titles)
            item(title)->setTerms(QStringLiteral(" %1 sea").arg(title.toLower()));
        context()->save();
    }
};

TEST_F(BoardReorderTest, dropSavesTheNewOrderWritingOnlyTheRowsThatMoved)
{
    ASSERT_NO_FATAL_FAILURE(appear());
    const qint64 token = context()->lastHistoryToken();
    // Arrival (row 1) is carried onto Storm idea's place (row 4).
    ASSERT_NO_FATAL_FAILURE(drag(1, 4));
    const QStringList expected = {"Part One", "Mara", "Lighthouse", "Storm idea", "Arrival", "The wreck"};
    EXPECT_EQ(shownTitles().mid(0, 6), expected);
    EXPECT_EQ(storedTitles().mid(0, 6), expected);
    EXPECT_TRUE(uniqueAndGapless(storedOrders(ItemIds::Top)));
    EXPECT_FALSE(context()->hasChanges()) << "a crash right after the drop keeps the order";
    const QMap<QString, int> changes = changesSince(token);
    EXPECT_EQ(changes.value(QStringLiteral("ProjectItem")), 4);
    EXPECT_EQ(changes.value(QStringLiteral("Project")), 1);
}

TEST_F(BoardReorderTest, liftedCardsPlaceIsLeftEmptyUnderItsFloatingCopy)
{
    ASSERT_NO_FATAL_FAILURE(appear());
    QListView* view = board->collectionView();
    QWidget* viewport = view->viewport();
    const QRect place = view->visualRect(board->model()->index(1));
    // What the board's cell drawing puts down for row, on a transparent sheet the size of a cell.
    const auto pixelsDrawn = [&](int row) {
        QImage image(place.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        QStyleOptionViewItem option;
        option.initFrom(view);
        option.rect = image.rect();
        view->itemDelegate()->paint(&painter, option, board->model()->index(row));
        painter.end();
        int drawn = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                drawn += qAlpha(image.pixel(x, y)) != 0;
        }
        return drawn;
    };
    ASSERT_GT(pixelsDrawn(1), 0);
    QTest::mousePress(viewport, Qt::LeftButton, {}, place.center());
    ASSERT_TRUE(waitFor([&] { return board->reorderableLayout()->isDragging(); }));
    EXPECT_EQ(pixelsDrawn(1), 0) << "the carried card's place stays empty";
    EXPECT_GT(pixelsDrawn(2), 0) << "its neighbours are drawn as ever";
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, place.center());
    ASSERT_TRUE(waitFor([&] { return !board->reorderableLayout()->isDragging(); }));
}

// Escape with the button still held brings the card down where it was carried; the release that follows is no
// click on the card that now lies under it, and the next short click opens as ever.
TEST_F(BoardReorderTest, escapedLiftKeepsTheCarriedOrderAndItsReleaseOpensNothing)
{
    ASSERT_NO_FATAL_FAILURE(appear());
    QWidget* viewport = board->collectionView()->viewport();
    QSignalSpy selected(board->collectionView(), &QListView::clicked);
    // Arrival (row 1) is carried onto Mara's place (row 2).
    QTest::mousePress(viewport, Qt::LeftButton, {}, centerOf(1));
    ASSERT_TRUE(waitFor([&] { return board->reorderableLayout()->isDragging(); }));
    QTest::mouseMove(viewport, centerOf(2));
    QTest::keyClick(board->collectionView(), Qt::Key_Escape);
    ASSERT_TRUE(waitFor([&] { return !board->reorderableLayout()->isDragging(); }));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, centerOf(2));
    runEventsFor(50);

    EXPECT_EQ(selected.count(), 0);
    EXPECT_TRUE(board->collectionView()->selectionModel()->selectedIndexes().isEmpty());
    EXPECT_TRUE(opening->opened.isEmpty()) << "no editor for the card under the release";
    EXPECT_EQ(board->currentFolderId(), ItemIds::Top);
    const QStringList carried = {"Part One", "Mara", "Arrival", "Lighthouse"};
    EXPECT_EQ(shownTitles().mid(0, 4), carried);
    EXPECT_EQ(titlesOnDisk().mid(0, 4), carried) << "the copy came down where it was carried, and stays there";

    clickRow(2);
    EXPECT_EQ(selected.count(), 1);
    EXPECT_EQ(opening->opened, QStringList({item(QStringLiteral("Arrival"))->uniqueIdentifier()}));
}

// A change stored while a card is carried waits for the drop: the board never reloads under the floating card.
TEST_F(BoardReorderTest, changeStoredDuringALiftIsShownOnlyAfterTheDrop)
{
    ASSERT_NO_FATAL_FAILURE(appear());
    QWidget* viewport = board->collectionView()->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, {}, centerOf(1));
    ASSERT_TRUE(waitFor([&] { return board->reorderableLayout()->isDragging(); }));
    add(ProjectItemTypes::Story, QStringLiteral("Late"), 40);
    context()->save();
    const qint64 saved = context()->lastHistoryToken();
    ASSERT_TRUE(waitFor([&] { return board->historyToken() == saved; })) << "the notice reached the board";
    runEventsFor(2 * PvCardViewController::RemoteReloadDelayMs);
    EXPECT_TRUE(board->reloadPending());
    EXPECT_FALSE(shownTitles().contains(QStringLiteral("Late")));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, centerOf(1));
    EXPECT_TRUE(waitFor([&] { return shownTitles().contains(QStringLiteral("Late")); }));
}

// A press on a cell's own button belongs to the button, however long it is held and wherever it goes.
TEST_F(BoardReorderTest, longPressOnACellsButtonsLiftsNothingAndReordersNothing)
{
    ASSERT_NO_FATAL_FAILURE(appear());
    QListView* view = board->collectionView();
    QWidget* viewport = view->viewport();
    auto* delegate = qobject_cast<CardCellDelegate*>(view->itemDelegate());
    ASSERT_NE(delegate, nullptr);
    const QStringList before = titlesOnDisk();
    ASSERT_EQ(before.mid(0, 4), QStringList({"Part One", "Arrival", "Mara", "Lighthouse"}));
    const QRect cell = view->visualRect(board->model()->index(1));
    for (const QRect& button : {delegate->notesButtonRect(cell), delegate->menuButtonRect(cell)}) {
        SCOPED_TRACE(button == delegate->notesButtonRect(cell) ? "notes" : "settings");
        const QPoint start = button.center();
        const QPoint end = centerOf(3);
        QTest::mousePress(viewport, Qt::LeftButton, {}, start);
        runEventsFor(LXReorderableCollectionViewFlowLayout::MinimumPressDurationMs + 100);
        EXPECT_FALSE(board->reorderableLayout()->isDragging());
        for (int step = 1; step <= 4; ++step)
            QTest::mouseMove(viewport, start + (end - start) * step / 4);
        EXPECT_FALSE(board->reorderableLayout()->isDragging()) << "no floating cell follows the pointer";
        EXPECT_EQ(board->reorderableLayout()->currentView(), nullptr);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, end);
        runEventsFor(50);
        EXPECT_FALSE(board->reorderableLayout()->isDragging());
        EXPECT_EQ(shownTitles().mid(0, 4), before.mid(0, 4));
        EXPECT_TRUE(view->selectionModel()->selectedIndexes().isEmpty()) << "the cells passed over are not selected";
        EXPECT_FALSE(context()->hasChanges());
        EXPECT_EQ(titlesOnDisk(), before);
        EXPECT_TRUE(opening->opened.isEmpty());
        EXPECT_EQ(board->presentedViewController(), nullptr) << "the press slid off its button: nothing opens";
    }
}

TEST_F(BoardReorderTest, dragUnderASearchNumbersTheWholeFolder)
{
    tagWithSea({"Mara", "Fog", "Tide"});
    ASSERT_NO_FATAL_FAILURE(appear());
    ASSERT_NO_FATAL_FAILURE(waitForReload([&] { board->search(QStringLiteral("sea")); }));
    ASSERT_EQ(shownTitles(), QStringList({"Mara", "Fog", "Tide"}));
    ASSERT_NO_FATAL_FAILURE(drag(2, 0));
    EXPECT_EQ(shownTitles(), QStringList({"Tide", "Mara", "Fog"}));
    EXPECT_TRUE(uniqueAndGapless(storedOrders(ItemIds::Top)));
    EXPECT_EQ(storedTitles(),
              QStringList({"Part One", "Arrival", "Tide", "Mara", "Lighthouse", "Storm idea", "The wreck", "Who lit it",
                           "Lantern", "Call", "Departure", "Old Tom", "Fog"}));
    ASSERT_NO_FATAL_FAILURE(waitForReload([&] { board->search(QString()); }));
    EXPECT_EQ(shownTitles(), storedTitles());
}

// Another device files a shown card away while the writer carries one: the folder's order never holds it.
TEST_F(BoardReorderTest, cardFiledElsewhereDuringALiftUnderASearchIsPassedOver)
{
    tagWithSea({"Mara", "Fog", "Tide"});
    ASSERT_NO_FATAL_FAILURE(appear());
    ASSERT_NO_FATAL_FAILURE(waitForReload([&] { board->search(QStringLiteral("sea")); }));
    ASSERT_EQ(shownTitles(), QStringList({"Mara", "Fog", "Tide"}));
    const auto carry = [&](int from, const QString& filed, int to) {
        ASSERT_NO_FATAL_FAILURE(drag(from, to, [&] {
            item(filed)->setParentItemId(partOne);
            EXPECT_FALSE(context()->save());
        }));
        ASSERT_TRUE(waitFor([&] { return !shownTitles().contains(filed); }));
    };
    // Tide is carried over Fog and on onto Mara, who has gone: only the step past Fog counts.
    ASSERT_NO_FATAL_FAILURE(carry(2, QStringLiteral("Mara"), 0));
    EXPECT_EQ(storedTitles().join(u", "), QStringLiteral("Part One, Arrival, Lighthouse, Storm idea, The wreck, "
                                                         "Who lit it, Lantern, Call, Departure, Old Tom, Tide, Fog"));
    EXPECT_TRUE(uniqueAndGapless(storedOrders(ItemIds::Top)));
    // The carried card itself is filed away under the writer's hand: the others keep their order. Mara's words
    // now show through her folder.
    ASSERT_EQ(shownTitles(), QStringList({"Part One", "Tide", "Fog"}));
    ASSERT_NO_FATAL_FAILURE(carry(1, QStringLiteral("Tide"), 2));
    EXPECT_EQ(storedTitles().join(u", "), QStringLiteral("Part One, Arrival, Lighthouse, Storm idea, The wreck, "
                                                         "Who lit it, Lantern, Call, Departure, Old Tom, Fog"));
    EXPECT_TRUE(uniqueAndGapless(storedOrders(ItemIds::Top)));
    EXPECT_EQ(item(QStringLiteral("Mara"))->parentItemId(), partOne);
}

TEST_F(BoardReorderTest, dragUnderAFilterKeepsHiddenItemsInPlace)
{
    ASSERT_NO_FATAL_FAILURE(appear());
    ASSERT_NO_FATAL_FAILURE(waitForReload([&] { board->setItemFilter(ProjectItemTypes::Person); }));
    ASSERT_EQ(shownTitles(), QStringList({"Mara", "Old Tom"}));
    ASSERT_NO_FATAL_FAILURE(drag(1, 0));
    EXPECT_EQ(shownTitles(), QStringList({"Old Tom", "Mara"}));
    EXPECT_EQ(storedTitles(), QStringList({"Part One", "Arrival", "Old Tom", "Mara", "Lighthouse", "Storm idea",
                                           "The wreck", "Who lit it", "Lantern", "Call", "Departure", "Fog", "Tide"}));
    EXPECT_TRUE(uniqueAndGapless(storedOrders(ItemIds::Top)));
    // The folder's whole list, which the board hands an editor for its peek panel, follows the drop too.
    QStringList folderList;
    for (ProjectItem* card : board->cards())
        folderList << card->title();
    EXPECT_EQ(folderList.join(u", "), storedTitles().join(u", "));
}

TEST_F(BoardReorderTest, foldersMoveForwardLikeCards)
{
    ASSERT_NO_FATAL_FAILURE(appear());
    ASSERT_NO_FATAL_FAILURE(drag(0, 2));
    EXPECT_EQ(storedTitles().mid(0, 3), QStringList({"Arrival", "Mara", "Part One"}));
    EXPECT_TRUE(uniqueAndGapless(storedOrders(ItemIds::Top)));
}

TEST_F(BoardReorderTest, dragBackToItsOwnPlaceStampsOnlyTheProject)
{
    ASSERT_NO_FATAL_FAILURE(appear());
    const QStringList before = storedTitles();
    const qint64 token = context()->lastHistoryToken();
    // A step to or from a row past the last moves nothing either.
    const QList<ProjectItem*> cards = board->cards();
    const int rows = board->model()->rowCount();
    board->reorder().moveItem(0, rows);
    board->reorder().moveItem(rows, 0);
    EXPECT_EQ(board->cards(), cards);
    ASSERT_NO_FATAL_FAILURE(drag(3, 3));
    EXPECT_EQ(storedTitles(), before);
    const QMap<QString, int> changes = changesSince(token);
    EXPECT_EQ(changes.value(QStringLiteral("ProjectItem")), 0);
    EXPECT_EQ(changes.value(QStringLiteral("Project")), 1);
}

TEST_F(BoardReorderTest, renumberTouchesOnlyItemsOutOfPlace)
{
    ASSERT_NO_FATAL_FAILURE(appear());
    QList<ProjectItem*> items = board->cards();
    ASSERT_GE(items.size(), 4);
    items.move(3, 2);
    EXPECT_EQ(BoardReorder::renumber(items), 2);
    EXPECT_EQ(BoardReorder::renumber(items), 0);
}

} // namespace
