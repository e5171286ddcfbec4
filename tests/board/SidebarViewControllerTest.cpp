#include "board/SidebarViewController.h"
#include "board/ProjectSplitViewController.h"
#include "board/PvCardViewController.h"
#include "board/SidebarBadgeDelegate.h"
#include "core/AppDelegate.h"
#include "core/Project.h"
#include "core/ProjectItem.h"
#include "core/StoreConstants.h"
#include "platform/Alert.h"
#include "platform/Application.h"
#include "platform/Delays.h"
#include "platform/ProgressHud.h"
#include "platform/UserDefaults.h"
#include "platform/Uuid.h"
#include "platform/store/ManagedObjectContext.h"

#include "TestWait.h"
#include <QApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

using Filters = FilterManager::Filters;

// A launched application with a project of a folder, three Location cards and two Story cards, opened in a
// split view of the sidebar beside the board.
class SidebarViewControllerTest : public ::testing::Test {
protected:
    SidebarViewControllerTest()
        : app(std::make_unique<AppDelegate>(dir.filePath(QStringLiteral("CardStore.sqlite")))),
          running(*qobject_cast<QApplication*>(QCoreApplication::instance()), *app)
    {
        Delays::setFactor(0);
        app->didFinishLaunching();
        QTest::qWait(20);
        UserDefaults::standard().removeObject(PvCardViewController::PrefItemFilter);
        seed();
        sidebar = new SidebarViewController(app->managedObjectContext(), project);
        board = new PvCardViewController;
        board->setCurrentProjectId(project);
        board->setCurrentFolderId(ItemIds::Top);
        split = new ProjectSplitViewController(sidebar, board);
        split->resize(1200, 700);
        split->show();
        ViewController::transitionAppearance(board, true, false);
        QTest::qWait(20);
    }
    ~SidebarViewControllerTest() override
    {
        ViewController::transitionAppearance(board, false, false);
        delete split;
        for (Alert* alert : Alert::presented())
            alert->trigger(1);
        app.reset();
        ProgressHud::reset();
        Delays::setFactor(1);
    }
    void add(qint64 type, const QString& title, qint64 order)
    {
        auto* item = app->managedObjectContext()->insertNew<ProjectItem>();
        item->setUniqueIdentifier(Uuid::uuidString());
        item->setProjectId(project);
        item->setParentItemId(ItemIds::Top);
        item->setItemType(type);
        item->setTitle(title);
        item->setDisplayOrder(order);
    }
    void seed()
    {
        auto* record = app->managedObjectContext()->insertNew<Project>();
        record->setUniqueIdentifier(project);
        record->setProjectTitle(QStringLiteral("Harbour"));
        add(ProjectItemTypes::Folder, QStringLiteral("Folder"), 1);
        for (int i = 0; i < 3; ++i)
            add(ProjectItemTypes::Location, QStringLiteral("Place %1").arg(i), i + 2);
        add(ProjectItemTypes::Story, QStringLiteral("Story A"), 6);
        add(ProjectItemTypes::Story, QStringLiteral("Story B"), 7);
        app->managedObjectContext()->save();
    }
    QString count(Filters filter) const
    {
        return sidebar->rowItem(filter)->data(0, SidebarBadgeDelegate::CountRole).toString();
    }
    void click(Filters filter)
    {
        QTreeWidget* view = sidebar->collectionView();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualItemRect(sidebar->rowItem(filter)).center());
    }

    QTemporaryDir dir;
    std::unique_ptr<AppDelegate> app;
    Application running;
    QString project = QStringLiteral("HARBOUR");
    SidebarViewController* sidebar = nullptr;
    PvCardViewController* board = nullptr;
    ProjectSplitViewController* split = nullptr;
};

TEST_F(SidebarViewControllerTest, countsCoverCardsButNotFolders)
{
    EXPECT_EQ(count(Filters::allCards), QStringLiteral("5"));
    EXPECT_EQ(count(Filters::locationCards), QStringLiteral("3"));
    EXPECT_EQ(count(Filters::storyCards), QStringLiteral("2"));
    EXPECT_EQ(count(Filters::peopleCards), QStringLiteral("0"));
    EXPECT_TRUE(count(Filters::cardsWithTag).isNull());
    EXPECT_EQ(sidebar->collectionView()->topLevelItem(1)->text(0), QStringLiteral("Recent"));
}

TEST_F(SidebarViewControllerTest, clickingLocationFiltersTheBoard)
{
    QSignalSpy reloaded(board, &PvCardViewController::boardReloaded);
    click(Filters::locationCards);
    ASSERT_TRUE(waitFor([&] { return reloaded.count() >= 1; }));
    EXPECT_EQ(board->itemFilter(), ProjectItemTypes::Location);
    EXPECT_EQ(sidebar->filterType(), ProjectItemTypes::Location);
    EXPECT_EQ(board->filteredCards().size(), 3);
    board->clearFilter();
    EXPECT_EQ(sidebar->collectionView()->currentItem(), sidebar->rowItem(Filters::allCards));
}

TEST_F(SidebarViewControllerTest, tagRowLeavesTheFilterUntilATagIsChosen)
{
    click(Filters::cardsWithTag);
    QTest::qWait(20);
    EXPECT_EQ(board->itemFilter(), CardFilter::AllCards);
    for (Alert* alert : Alert::presented())
        alert->trigger(1);
}

TEST_F(SidebarViewControllerTest, unknownCodeSelectsAllCards)
{
    sidebar->select(9999);
    EXPECT_EQ(sidebar->collectionView()->currentItem(), sidebar->rowItem(Filters::allCards));
    sidebar->select(CardFilter::Last7Days);
    EXPECT_EQ(sidebar->collectionView()->currentItem(), sidebar->rowItem(Filters::recent7Days));
}

TEST_F(SidebarViewControllerTest, withoutASplitViewSelectionsAreIgnored)
{
    SidebarViewController alone(app->managedObjectContext(), project);
    alone.resize(250, 600);
    alone.show();
    QTreeWidget* view = alone.collectionView();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualItemRect(alone.rowItem(Filters::locationCards)).center());
    EXPECT_EQ(board->itemFilter(), CardFilter::AllCards);
}

} // namespace

namespace {

TEST_F(SidebarViewControllerTest, screenshotsInBothAppearances)
{
    if (!qEnvironmentVariableIsSet("PLOTVANE_BOARD_SHOT"))
        GTEST_SKIP() << "screenshots only on request";
    split->grab().save(QStringLiteral("/tmp/board-sidebar-light.png"));
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    dark.setColor(QPalette::Window, QColor(0x1e, 0x1e, 0x20));
    dark.setColor(QPalette::Base, QColor(0x16, 0x16, 0x18));
    dark.setColor(QPalette::Text, Qt::white);
    dark.setColor(QPalette::WindowText, Qt::white);
    QApplication::setPalette(dark);
    QSignalSpy reloaded(board, &PvCardViewController::boardReloaded);
    board->setItemFilter(ProjectItemTypes::Location);
    ASSERT_TRUE(waitFor([&] { return reloaded.count() >= 1; }));
    QTest::qWait(20);
    split->grab().save(QStringLiteral("/tmp/board-sidebar-dark.png"));
    QApplication::setPalette(light);
}

} // namespace
