#include "board/PvCardViewController.h"
#include "board/CardGridMetrics.h"
#include "board/CardListModel.h"
#include "core/AppDelegate.h"
#include "core/Project.h"
#include "core/ProjectItem.h"
#include "core/StoreConstants.h"
#include "core/ToolbarDelegate.h"
#include "platform/Alert.h"
#include "platform/Application.h"
#include "platform/Delays.h"
#include "platform/ProgressHud.h"
#include "platform/Toolbar.h"
#include "platform/UserDefaults.h"
#include "platform/Uuid.h"
#include "platform/store/ManagedObjectContext.h"

#include "TestWait.h"
#include <QApplication>
#include <QLabel>
#include <QListView>
#include <QMainWindow>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The application launched on a fresh store with one project of a dozen cards, and its board on screen.
class PvCardViewControllerTest : public ::testing::Test {
protected:
    PvCardViewControllerTest()
        : app(std::make_unique<AppDelegate>(dir.filePath(QStringLiteral("CardStore.sqlite")))),
          running(*qobject_cast<QApplication*>(QCoreApplication::instance()), *app)
    {
        Delays::setFactor(0);
        app->didFinishLaunching();
        // The project list puts its own toolbar item in once the launch settles.
        EXPECT_TRUE(
            waitFor([&] { return app->toolbar()->indexOfItemWithIdentifier(ToolbarDelegate::newProject) == 0; }));
        UserDefaults::standard().removeObject(PvCardViewController::PrefItemFilter);
        UserDefaults::standard().removeObject(PvCardViewController::PrefItemFilterParm);
        seed();
        board = new PvCardViewController;
        board->setCurrentProjectId(project);
        board->setCurrentFolderId(ItemIds::Top);
        board->resize(1040, 700);
    }
    ~PvCardViewControllerTest() override
    {
        if (board->isOnScreen())
            ViewController::transitionAppearance(board, false, false);
        delete board;
        for (Alert* alert : Alert::presented())
            alert->trigger(1);
        app.reset();
        ProgressHud::reset();
        Delays::setFactor(1);
    }

    ManagedObjectContext* context() const { return app->managedObjectContext(); }
    ProjectItem* add(qint64 type, const QString& title, qint64 order, const QString& parent = ItemIds::Top)
    {
        auto* item = context()->insertNew<ProjectItem>();
        item->setUniqueIdentifier(Uuid::uuidString());
        item->setProjectId(project);
        item->setParentItemId(parent);
        item->setItemType(type);
        item->setTitle(title);
        item->setTerms(QStringLiteral(" ") + title.toLower());
        item->setDisplayOrder(order);
        item->setSummary(QStringLiteral("A few words about %1 to fill the card.").arg(title.toLower()));
        item->setWordCount(order * 37);
        item->setCharCount(order * 211);
        return item;
    }
    void seed()
    {
        auto* record = context()->insertNew<Project>();
        record->setUniqueIdentifier(project);
        record->setProjectTitle(QStringLiteral("Harbour"));
        record->setDisplayOrder(1);
        const qint64 types[] = {ProjectItemTypes::Story, ProjectItemTypes::Person,  ProjectItemTypes::Location,
                                ProjectItemTypes::Idea,  ProjectItemTypes::Event,   ProjectItemTypes::Question,
                                ProjectItemTypes::Thing, ProjectItemTypes::Reminder};
        ProjectItem* folder = add(ProjectItemTypes::Folder, QStringLiteral("Part One"), 1);
        add(ProjectItemTypes::Story, QStringLiteral("Inside"), 1, folder->uniqueIdentifier());
        const QStringList names = {"Arrival", "Mara", "Lighthouse", "Storm idea", "The wreck", "Who lit it",
                                   "Lantern", "Call", "Departure",  "Old Tom",    "Fog",       "Tide"};
        for (int i = 0; i < names.size(); ++i) {
            ProjectItem* card = add(types[i % 8], names[i], i + 2);
            if (i % 3 == 0)
                card->setTag(QStringLiteral("done"));
            if (i % 4 == 1)
                card->setNotes(QStringLiteral("note"));
        }
        context()->save();
    }
    void appear()
    {
        ViewController::transitionAppearance(board, true, false);
        QTest::qWait(10);
    }
    void settle()
    {
        QSignalSpy reloaded(board, &PvCardViewController::boardReloaded);
        ASSERT_TRUE(waitFor([&] { return reloaded.count() >= 1; }));
    }
    QStringList shownTitles() const
    {
        QStringList list;
        for (int row = 0; row < board->model()->rowCount(); ++row)
            list << board->model()->index(row).data(CardListModel::TitleRole).toString();
        return list;
    }

    QTemporaryDir dir;
    std::unique_ptr<AppDelegate> app;
    Application running;
    QString project = QStringLiteral("HARBOUR");
    PvCardViewController* board = nullptr;
};

TEST_F(PvCardViewControllerTest, toolbarItemsComeAndGoByIdentifier)
{
    const QStringList before = app->toolbar()->itemIdentifiers();
    appear();
    const QStringList shown = app->toolbar()->itemIdentifiers();
    ASSERT_GE(shown.size(), 6);
    EXPECT_EQ(shown.mid(0, 6), QStringList({ToolbarDelegate::cardViewHome, ToolbarDelegate::cardViewSidebar,
                                            Toolbar::FlexibleSpaceItemIdentifier, ToolbarDelegate::search,
                                            ToolbarDelegate::newCard, ToolbarDelegate::newFolder}));
    EXPECT_EQ(app->cardViewController, board);
    // An item another screen put first must survive the board's leaving.
    app->toolbar()->insertItemWithItemIdentifier(ToolbarDelegate::compiledBack, 0);
    ViewController::transitionAppearance(board, false, false);
    QStringList expected = before;
    expected.prepend(ToolbarDelegate::compiledBack);
    EXPECT_EQ(app->toolbar()->itemIdentifiers(), expected);
    EXPECT_FALSE(app->search);
}

TEST_F(PvCardViewControllerTest, typedSearchNarrowsAndBlankSearchRestores)
{
    appear();
    EXPECT_EQ(board->model()->rowCount(), 13);
    ASSERT_TRUE(app->search);
    app->search(QStringLiteral("light"));
    settle();
    EXPECT_EQ(shownTitles(), QStringList({"Lighthouse"}));
    app->search(QStringLiteral("inside"));
    settle();
    EXPECT_EQ(shownTitles(), QStringList({"Part One"}));
    app->search(QStringLiteral("zzz"));
    settle();
    EXPECT_TRUE(board->emptyStateLabel()->isVisibleTo(board));
    EXPECT_EQ(board->emptyStateLabel()->text(), QStringLiteral("No cards match your search"));
    app->search(QStringLiteral("   "));
    settle();
    EXPECT_EQ(board->model()->rowCount(), 13);
    EXPECT_TRUE(board->itemQueryText().isNull());
}

TEST_F(PvCardViewControllerTest, filterIsRememberedAndNamedInTheHeader)
{
    appear();
    EXPECT_FALSE(board->headerView()->isVisibleTo(board));
    board->setItemFilter(CardFilter::Tagged, QStringLiteral("done"));
    settle();
    EXPECT_EQ(board->model()->rowCount(), 4);
    EXPECT_TRUE(board->headerView()->isVisibleTo(board));
    EXPECT_EQ(board->headerLabel()->text(), QStringLiteral("Cards with Done tag"));
    EXPECT_EQ(UserDefaults::standard().integerForKey(PvCardViewController::PrefItemFilter), CardFilter::Tagged);
    board->clearFilter();
    settle();
    EXPECT_EQ(board->model()->rowCount(), 13);
    EXPECT_FALSE(UserDefaults::standard().value(PvCardViewController::PrefItemFilterParm).isValid());
}

TEST_F(PvCardViewControllerTest, remoteReloadWaitsForTheDragToEnd)
{
    appear();
    board->setDragging(true);
    add(ProjectItemTypes::Story, QStringLiteral("Late"), 40);
    context()->save();
    const qint64 saved = context()->lastHistoryToken();
    ASSERT_TRUE(waitFor([&] { return board->historyToken() == saved; })) << "the notice reached the board";
    runEventsFor(2 * PvCardViewController::RemoteReloadDelayMs);
    EXPECT_EQ(board->model()->rowCount(), 13);
    EXPECT_TRUE(board->reloadPending());
    board->setDragging(false);
    settle();
    EXPECT_EQ(board->model()->rowCount(), 14);
}

TEST_F(PvCardViewControllerTest, largeCellsFollowTheWidth)
{
    UserDefaults::standard().setValue(PvCardViewController::PrefCompactCards, false);
    board->show();
    appear();
    QTest::qWait(20);
    // The cells get the viewport's width plus the half spacing around it.
    const int width = board->collectionView()->viewport()->width() + 20;
    const auto grid = CardGridMetrics::compute(width, false, true);
    EXPECT_EQ(board->collectionView()->gridSize(), QSize(grid.cellWidth + 20, grid.cellHeight + 20));
    // Every planned column really fits: the last cell of the first row sits beside the first.
    QListView* view = board->collectionView();
    EXPECT_EQ(view->visualRect(board->model()->index(grid.columns - 1)).top(),
              view->visualRect(board->model()->index(0)).top());
    board->resize(1400, 700);
    QTest::qWait(20);
    EXPECT_EQ(view->visualRect(board->model()->index(3)).top(), view->visualRect(board->model()->index(0)).top());
    board->resize(1040, 700);
    QTest::qWait(20);
    if (qEnvironmentVariableIsSet("PLOTVANE_BOARD_SHOT")) {
        board->grab().save(QStringLiteral("/tmp/board.png"));
        board->setCompactCards(true);
        board->grab().save(QStringLiteral("/tmp/board-compact.png"));
    }
}

} // namespace
