#include "board/EmptyBoardViewController.h"
#include "board/EmptyStateButton.h"
#include "board/EmptyStateView.h"
#include "board/FloatingCellView.h"
#include "board/LXReorderableCollectionViewFlowLayout.h"
#include "board/ProjectCellDelegate.h"
#include "board/ProjectGridMetrics.h"
#include "board/ProjectListModel.h"
#include "board/ProjectSplitViewController.h"
#include "board/ProjectViewController.h"
#include "board/PvCardViewController.h"
#include "core/AppDelegate.h"
#include "core/DbHelpers.h"
#include "core/Helpers.h"
#include "core/Metrics.h"
#include "core/Project.h"
#include "core/ProjectItem.h"
#include "core/ToolbarDelegate.h"
#include "platform/Alert.h"
#include "platform/Application.h"
#include "platform/Delays.h"
#include "platform/NavigationController.h"
#include "platform/NotificationCenter.h"
#include "platform/ProgressHud.h"
#include "platform/Toolbar.h"
#include "platform/store/FetchedResultsController.h"
#include "platform/store/ManagedObjectContext.h"

#include "StoredRows.h"
#include "TestWait.h"
#include "platform/store/PersistentContainer.h"
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QSplitter>
#include <QStandardItemModel>
#include <QStyleOptionViewItem>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

const QDateTime OldStamp = QDateTime(QDate(2020, 1, 1), QTime(12, 0));

// The application launched on a fresh store, with the project list as the window's first screen.
class ProjectListTest : public ::testing::Test {
protected:
    ProjectListTest()
        : app(std::make_unique<AppDelegate>(dir.filePath(QStringLiteral("CardStore.sqlite")))),
          running(*qobject_cast<QApplication*>(QCoreApplication::instance()), *app)
    {
        Delays::setFactor(0);
        app->didFinishLaunching();
        screen = qobject_cast<ProjectViewController*>(app->window()->centralWidget());
        QObject::connect(app->persistentContainer(), &PersistentContainer::remoteChange,
                         [this](qint64 token) { announcedToken = std::max(announcedToken, token); });
    }
    ~ProjectListTest() override
    {
        for (Alert* alert : Alert::presented())
            alert->trigger(1);
        app.reset();
        ProgressHud::reset();
        Delays::setFactor(1);
    }

    ManagedObjectContext* context() const { return app->managedObjectContext(); }
    Project* addProject(const QString& title, qint64 order)
    {
        auto* project = context()->insertNew<Project>();
        project->setUniqueIdentifier(title.toUpper());
        project->setProjectTitle(title);
        project->setDisplayOrder(order);
        project->setLastModified(OldStamp);
        return project;
    }
    // Saves and waits for the list to show the store.
    void saveAndSettle()
    {
        context()->save();
        ASSERT_NO_FATAL_FAILURE(settle());
    }
    // Waits until the notice of the last save has reached the list and a reload started after it has ended,
    // so nothing from earlier saves can arrive once a test starts counting. A reload may save (renumbering),
    // so this goes round until a reload leaves the store as it found it.
    void settle()
    {
        for (int round = 0; round < 5; ++round) {
            const qint64 last = context()->lastHistoryToken();
            // The list itself has read every save so far: no notice of an earlier save is still on its way.
            ASSERT_TRUE(waitFor([&] { return announcedToken >= last && screen->historyToken() >= last; }));
            QSignalSpy reloaded(screen, &ProjectViewController::listReloaded);
            screen->reloadAfterCloudChanges();
            ASSERT_TRUE(waitFor([&] { return reloaded.count() >= 1 && !screen->isReloadScheduled(); }));
            if (context()->lastHistoryToken() == last)
                return;
        }
        FAIL() << "the list kept saving on every reload";
    }
    // Resizes the window until the list's viewport is width wide; tall enough that no scroll bar takes width.
    bool resizeViewportTo(int width)
    {
        QWidget* window = app->window();
        QWidget* viewport = screen->collectionView()->viewport();
        for (int attempt = 0; attempt < 5; ++attempt) {
            window->resize(window->width() + width - viewport->width(), 1400);
            if (waitFor([&] { return viewport->width() == width; }, 5000))
                return true;
        }
        return false;
    }
    // What the store's sync reports: an operation that started, or one that ended.
    void postCloudEvent(bool ended) const
    {
        QVariantMap event;
        if (ended)
            event.insert(ProjectViewController::CloudEventEndDateKey, QDateTime::currentDateTimeUtc());
        NotificationCenter::defaultCenter().post(ProjectViewController::CloudEventNotification,
                                                 app->persistentContainer(),
                                                 {{ProjectViewController::CloudEventKey, event}});
    }
    qint64 transactionCount() const { return context()->fetchHistoryAfterToken(0).transactions.size(); }
    QPoint centerOf(int row) const
    {
        return screen->collectionView()->visualRect(screen->model()->index(row)).center();
    }
    // Each project's title and display order as the store file holds them, read as another program would.
    QString storedOrders() const
    {
        return storedRows(dir.filePath(QStringLiteral("CardStore.sqlite")),
                          "SELECT projectTitle, displayOrder FROM Project ORDER BY projectTitle")
            .join(QLatin1Char(' '));
    }
    // A move with no button held, as the pointer gliding over the list sends it.
    void glideTo(const QPoint& position) const
    {
        QWidget* viewport = screen->collectionView()->viewport();
        QMouseEvent move(QEvent::MouseMove, position, viewport->mapToGlobal(position), Qt::NoButton, Qt::NoButton, {});
        QApplication::sendEvent(viewport, &move);
    }
    QStringList titles() const
    {
        QStringList list;
        for (int row = 0; row < screen->model()->rowCount(); ++row)
            list << screen->model()->index(row).data().toString();
        return list;
    }

    QTemporaryDir dir;
    std::unique_ptr<AppDelegate> app;
    Application running;
    ProjectViewController* screen = nullptr;
    qint64 announcedToken = 0;
};

TEST(ProjectGridMetricsTest, desktopWidthsGiveTheColumnsAndTileSizesOfTheGrid)
{
    const auto wide = ProjectGridMetrics::compute(1024, true);
    EXPECT_EQ(wide.columns, 4);
    EXPECT_EQ(wide.cellWidth, 221);
    EXPECT_EQ(wide.cellHeight, 365);
    // 999 / 4 rounds down to 249, below the narrowest column.
    EXPECT_EQ(ProjectGridMetrics::compute(999, true).columns, 3);
    EXPECT_EQ(ProjectGridMetrics::compute(1000, true).columns, 4);
    EXPECT_EQ(ProjectGridMetrics::compute(800, false).columns, 2);
}

TEST(ProjectGridMetricsTest, columnsChangeExactlyAtTheirBoundaries)
{
    const auto grid = [](int width) {
        const auto result = ProjectGridMetrics::compute(width, true);
        return QList<int>({result.columns, result.cellWidth, result.cellHeight});
    };
    EXPECT_EQ(grid(999), QList<int>({3, 295, 490}));
    EXPECT_EQ(grid(1000), QList<int>({4, 215, 355}));
    // 1500 / 300 is exactly 5 columns; one point more rounds up to 6 of 250.
    EXPECT_EQ(grid(1500), QList<int>({5, 266, 440}));
    EXPECT_EQ(grid(1501), QList<int>({6, 217, 360}));
}

TEST_F(ProjectListTest, modelMovesARowToTheVeryEndButNotPastIt)
{
    QList<ManagedObject*> projects;
    for (const char* title : {"A", "B", "C"})
        projects.append(addProject(title, projects.size() + 1));
    ProjectListModel model;
    model.setProjects(projects);
    const auto order = [&] {
        QStringList list;
        for (int row = 0; row < model.rowCount(); ++row)
            list << model.index(row).data().toString();
        return list;
    };
    // Row 3 is the place after the last row; 4 is none, nor is a source row of 3.
    EXPECT_FALSE(model.moveRows(QModelIndex(), 0, 1, QModelIndex(), 4));
    EXPECT_FALSE(model.moveRows(QModelIndex(), 3, 1, QModelIndex(), 0));
    EXPECT_EQ(order(), QStringList({"A", "B", "C"}));
    EXPECT_TRUE(model.moveRows(QModelIndex(), 0, 1, QModelIndex(), 3));
    EXPECT_EQ(order(), QStringList({"B", "C", "A"}));
    EXPECT_TRUE(model.moveRows(QModelIndex(), 2, 1, QModelIndex(), 0));
    EXPECT_EQ(order(), QStringList({"A", "B", "C"}));
}

TEST_F(ProjectListTest, projectDroppedOnTheLastPlaceIsNumberedLast)
{
    qint64 order = 0;
    for (const char* title : {"A", "B", "C"})
        addProject(title, ++order);
    saveAndSettle();
    ASSERT_EQ(titles(), QStringList({"A", "B", "C"}));
    QListView* view = screen->collectionView();
    screen->collectionViewItemAtIndexPathWillMoveToIndexPath(view, screen->model()->index(0),
                                                             screen->model()->index(2));
    screen->collectionViewLayoutDidEndDraggingItemAtIndexPath(view, nullptr, screen->model()->index(2));
    EXPECT_EQ(titles(), QStringList({"B", "C", "A"}));
    QList<qint64> orders;
    for (const char* id : {"A", "B", "C"})
        orders.append(DbHelpers::getProject(context(), id)->displayOrder());
    EXPECT_EQ(orders, QList<qint64>({3, 1, 2}));
}

TEST(ProjectGridMetricsTest, widthOfZeroOrLessStillGivesOneColumnWithoutDividingByZero)
{
    for (int width : {0, -1, -500, 10}) {
        const auto grid = ProjectGridMetrics::compute(width, true);
        EXPECT_EQ(grid.columns, 1) << width;
        EXPECT_GE(grid.cellWidth, 1) << width;
        EXPECT_GE(grid.cellHeight, 0) << width;
    }
    EXPECT_GE(ProjectGridMetrics::widthForCell(0, 500, true), 1);
}

TEST_F(ProjectListTest, launchShowsTheListAsFirstScreenWithItsToolbarItemAndTitle)
{
    ASSERT_NE(screen, nullptr);
    ASSERT_TRUE(waitFor([&] { return app->toolbar()->indexOfItemWithIdentifier(ToolbarDelegate::newProject) == 0; }));
    EXPECT_EQ(app->window()->windowTitle(), ProjectViewController::WindowTitle);
    // The project menu opens on the press itself, not after a hold.
    EXPECT_EQ(screen->contextButton()->popupMode(), QToolButton::InstantPopup);
    // The bar carrying it is tinted for the appearance, and follows a change of it.
    QWidget* bar = screen->toolbarView();
    ASSERT_EQ(screen->contextButton()->parentWidget(), bar);
    const auto barColour = [bar] {
        return bar->grab().toImage().pixelColor(2, 2);
    };
    EXPECT_EQ(barColour(), QColor(0xFF, 0xFF, 0xFF));
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    dark.setColor(QPalette::Window, QColor(0x1e, 0x1e, 0x20));
    QApplication::setPalette(dark);
    EXPECT_EQ(barColour(), QColor(0x25, 0x25, 0x2A));
    QApplication::setPalette(light);
    EXPECT_EQ(barColour(), QColor(0xFF, 0xFF, 0xFF));
}

TEST_F(ProjectListTest, oneCloudSyncUnderWayShowsTheProgressUntilItEnds)
{
    ASSERT_NO_FATAL_FAILURE(settle());
    ASSERT_TRUE(waitFor([] { return !ProgressHud::isActive(); }));
    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.post(ProjectViewController::CloudEventNotification, app->persistentContainer(),
                {{ProjectViewController::CloudEventKey, QVariantMap{}}});
    EXPECT_EQ(screen->outstandingCloudKitOperations(), 1);
    EXPECT_TRUE(waitFor([] { return ProgressHud::isActive(); })) << "a single sync is enough to show it";
    const QVariantMap ended{{ProjectViewController::CloudEventEndDateKey, QDateTime::currentDateTime()}};
    center.post(ProjectViewController::CloudEventNotification, app->persistentContainer(),
                {{ProjectViewController::CloudEventKey, ended}});
    EXPECT_EQ(screen->outstandingCloudKitOperations(), 0);
    EXPECT_TRUE(waitFor([] { return !ProgressHud::isActive(); }));
}

TEST_F(ProjectListTest, tilesFollowTheGridOfTheListsOwnWidth)
{
    for (int i = 0; i < 5; ++i)
        addProject(QStringLiteral("Project %1").arg(i), i + 1);
    saveAndSettle();
    app->window()->setMinimumSize(0, 0);
    QListView* view = screen->collectionView();
    const auto top = [&](int row) {
        return view->visualRect(screen->model()->index(row)).top();
    };
    // The view keeps its last pixel column free, so a viewport one wider than the grid lays it out.
    ASSERT_TRUE(resizeViewportTo(1024 + 1));
    ASSERT_TRUE(waitFor([] { return ProjectGridMetrics::columns() == 4; }));
    EXPECT_EQ(ProjectGridMetrics::cellWidth(), 221);
    EXPECT_EQ(ProjectGridMetrics::cellHeight(), 365);
    EXPECT_TRUE(waitFor([&] { return view->visualRect(screen->model()->index(0)).size() == QSize(221, 365); }));
    // Four tiles on the first row, the fifth below: every planned column really fits.
    EXPECT_TRUE(waitFor([&] { return top(3) == top(0) && top(4) > top(0); }));
    // The spacing of 28 stands before the first tile and between neighbours, as the width computation planned.
    const QRect first = view->visualRect(screen->model()->index(0));
    const QRect second = view->visualRect(screen->model()->index(1));
    EXPECT_EQ(first.left(), ProjectGridMetrics::spacing(Helpers::iPadOrMac()));
    EXPECT_EQ(second.left() - first.right() - 1, ProjectGridMetrics::spacing(Helpers::iPadOrMac()));

    // 999 / 4 rounds down to 249, below the narrowest column: three columns of (999 - 4 * 28) / 3.
    ASSERT_TRUE(resizeViewportTo(999 + 1));
    ASSERT_TRUE(waitFor([] { return ProjectGridMetrics::columns() == 3; }));
    EXPECT_EQ(ProjectGridMetrics::cellWidth(), 295);
    EXPECT_EQ(ProjectGridMetrics::cellHeight(), 490);
    EXPECT_TRUE(waitFor([&] { return top(2) == top(0) && top(3) > top(0); }));

    // 1000 / 4 is 250, not below it: four columns of (1000 - 5 * 28) / 4, which fit exactly.
    ASSERT_TRUE(resizeViewportTo(1000 + 1));
    ASSERT_TRUE(waitFor([] { return ProjectGridMetrics::columns() == 4; }));
    EXPECT_EQ(ProjectGridMetrics::cellWidth(), 215);
    EXPECT_TRUE(waitFor([&] { return top(3) == top(0) && top(4) > top(0); }));
}

TEST_F(ProjectListTest, emptyStoreShowsTheEmptyStateWhoseButtonCreatesTheFirstProject)
{
    EXPECT_FALSE(screen->isShowingEmptyState()) << "nothing is shown before the first fetch";
    ASSERT_NO_FATAL_FAILURE(settle());
    ASSERT_TRUE(screen->isShowingEmptyState());
    EmptyStateButton* button = screen->backgroundView()->button();
    EXPECT_EQ(button->titleText(),
              QStringLiteral("Click \uFFFC to add a new project\r\n\r\n(If you already have projects in iCloud, "
                             "they may take a minute or two to appear"));
    QTest::mouseClick(button, Qt::LeftButton);

    Alert* alert = Alert::topmost();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->title(), ProjectViewController::NewProjectTitle);
    EXPECT_EQ(alert->actionTitles(), QStringList({QStringLiteral("OK"), QStringLiteral("Cancel")}));
    auto* ok = alert->findChild<QPushButton*>(QStringLiteral("alertAction0"));
    QLineEdit* field = alert->textFields().first();
    EXPECT_EQ(field->placeholderText(), ProjectViewController::NewProjectPlaceholder);
    EXPECT_FALSE(ok->isEnabled());
    field->setText(QStringLiteral(" "));
    EXPECT_TRUE(ok->isEnabled()) << "a blank is a title";
    field->setText(QString());
    EXPECT_FALSE(ok->isEnabled());
    field->setText(QStringLiteral("First"));
    alert->trigger(0);

    ASSERT_EQ(screen->model()->rowCount(), 1);
    EXPECT_FALSE(screen->isShowingEmptyState());
    auto* project = static_cast<Project*>(screen->model()->projectAt(0));
    EXPECT_EQ(project->projectTitle(), QStringLiteral("First"));
    EXPECT_EQ(project->displayOrder(), 1);
    EXPECT_FALSE(context()->hasChanges());
}

TEST_F(ProjectListTest, newProjectAlertClosesOnEscapeAndOnItsWindowCloseButtonCreatingNothing)
{
    settle();
    for (const bool escape : {true, false}) {
        SCOPED_TRACE(escape ? "Escape" : "close button");
        QTest::mouseClick(screen->backgroundView()->button(), Qt::LeftButton);
        QPointer<Alert> alert = Alert::topmost();
        ASSERT_NE(alert, nullptr);
        ASSERT_EQ(alert->title(), ProjectViewController::NewProjectTitle);
        QLineEdit* field = alert->textFields().first();
        QTest::keyClicks(field, QStringLiteral("Almost"));
        if (escape)
            QTest::keyClick(field, Qt::Key_Escape);
        else
            alert->close();
        EXPECT_EQ(Alert::topmost(), nullptr);
        ASSERT_TRUE(waitFor([&] { return alert.isNull(); }));
    }
    EXPECT_EQ(context()->count(Project::fetchRequest()), 0);
    EXPECT_FALSE(context()->hasChanges());
    EXPECT_TRUE(screen->isShowingEmptyState());
}

TEST_F(ProjectListTest, newProjectGoesLastAndAppearsAtOnce)
{
    addProject(QStringLiteral("a"), 1);
    addProject(QStringLiteral("b"), 2);
    addProject(QStringLiteral("c"), 3);
    saveAndSettle();
    screen->createNewItem(QStringLiteral("d"));
    ASSERT_EQ(screen->model()->rowCount(), 4);
    auto* created = static_cast<Project*>(screen->model()->projectAt(3));
    EXPECT_EQ(created->projectTitle(), QStringLiteral("d"));
    EXPECT_EQ(created->displayOrder(), 4);
    EXPECT_EQ(created->uniqueIdentifier().size(), 36);
}

TEST_F(ProjectListTest, ordersWithGapsAreRenumberedAndSavedButContiguousOnesCauseNoSave)
{
    Project* a = addProject(QStringLiteral("a"), 3);
    Project* b = addProject(QStringLiteral("b"), 7);
    Project* c = addProject(QStringLiteral("c"), 8);
    saveAndSettle();
    EXPECT_EQ(a->displayOrder(), 1);
    EXPECT_EQ(b->displayOrder(), 2);
    EXPECT_EQ(c->displayOrder(), 3);
    EXPECT_FALSE(context()->hasChanges());
    EXPECT_EQ(a->committedValue(Project::DisplayOrderKey).toLongLong(), 1);

    const qint64 before = transactionCount();
    ASSERT_NO_FATAL_FAILURE(settle());
    EXPECT_EQ(transactionCount(), before);
}

TEST_F(ProjectListTest, droppingTheThirdProjectFirstRenumbersAndStampsOnlyMovedOnes)
{
    Project* a = addProject(QStringLiteral("a"), 1);
    Project* b = addProject(QStringLiteral("b"), 2);
    Project* c = addProject(QStringLiteral("c"), 3);
    Project* d = addProject(QStringLiteral("d"), 4);
    saveAndSettle();
    QListView* view = screen->collectionView();
    ProjectListModel* model = screen->model();

    screen->collectionViewItemAtIndexPathWillMoveToIndexPath(view, model->index(2), model->index(0));
    model->moveRow(QModelIndex(), 2, QModelIndex(), 0);
    EXPECT_EQ(a->displayOrder(), 1) << "nothing changes before the drop";
    const qint64 before = transactionCount();
    screen->collectionViewLayoutDidEndDraggingItemAtIndexPath(view, screen->layout(), model->index(0));

    EXPECT_EQ(c->displayOrder(), 1);
    EXPECT_EQ(a->displayOrder(), 2);
    EXPECT_EQ(b->displayOrder(), 3);
    EXPECT_EQ(d->displayOrder(), 4);
    for (Project* moved : {a, b, c})
        EXPECT_GT(moved->lastModified(), OldStamp);
    EXPECT_EQ(d->lastModified(), OldStamp);
    EXPECT_FALSE(context()->hasChanges());
    EXPECT_EQ(transactionCount(), before + 1);
    EXPECT_FALSE(screen->hasMovedCards());
}

TEST_F(ProjectListTest, dragThatEndsWhereItStartedSavesNothing)
{
    addProject(QStringLiteral("a"), 1);
    addProject(QStringLiteral("b"), 2);
    saveAndSettle();
    const qint64 before = transactionCount();
    screen->collectionViewLayoutDidEndDraggingItemAtIndexPath(screen->collectionView(), screen->layout(),
                                                              screen->model()->index(0));
    runEventsFor(50);
    EXPECT_EQ(transactionCount(), before);
}

TEST_F(ProjectListTest, historyOfCardsDoesNotReloadTheListButAProjectChangeDoes)
{
    Project* a = addProject(QStringLiteral("a"), 1);
    saveAndSettle();
    QSignalSpy reloaded(screen, &ProjectViewController::listReloaded);
    auto* card = context()->insertNew<ProjectItem>();
    card->setUniqueIdentifier(QStringLiteral("CARD"));
    card->setProjectId(a->uniqueIdentifier());
    context()->save();
    const qint64 cardToken = context()->lastHistoryToken();
    ASSERT_TRUE(waitFor([&] { return screen->historyToken() == cardToken; })) << "the card's notice reached the list";
    EXPECT_FALSE(screen->isReloadScheduled());
    EXPECT_EQ(reloaded.count(), 0);
    EXPECT_FALSE(screen->relevantUpdateFromCloud()) << "the card's change was already seen";

    context()->deleteObject(a);
    context()->save();
    ASSERT_TRUE(waitFor([&] { return reloaded.count() == 1 && !screen->isReloadScheduled(); }));
    EXPECT_EQ(screen->model()->rowCount(), 0);
}

TEST_F(ProjectListTest, remoteProjectChangeDuringADragWaitsForTheDrop)
{
    addProject(QStringLiteral("a"), 1);
    addProject(QStringLiteral("b"), 2);
    Project* c = addProject(QStringLiteral("c"), 3);
    saveAndSettle();
    QWidget* viewport = screen->collectionView()->viewport();

    QTest::mousePress(viewport, Qt::LeftButton, {}, centerOf(2));
    ASSERT_TRUE(waitFor([&] { return screen->layout()->isDragging(); }));
    QSignalSpy reloaded(screen, &ProjectViewController::listReloaded);
    QTest::mouseMove(viewport, centerOf(0));
    ASSERT_EQ(titles(), QStringList({"c", "a", "b"}));

    c->setProjectTitle(QStringLiteral("renamed elsewhere"));
    context()->save();
    const qint64 renameToken = context()->lastHistoryToken();
    ASSERT_TRUE(waitFor([&] { return screen->historyToken() == renameToken; }));
    EXPECT_EQ(reloaded.count(), 0);
    EXPECT_TRUE(screen->isReloadDeferred());
    EXPECT_EQ(titles().size(), 3) << "the rows under the carried cover stay";

    QTest::mouseRelease(viewport, Qt::LeftButton, {}, centerOf(0));
    // The drop's own save announces itself too; the held reload and that notice make one reload.
    const qint64 dropToken = context()->lastHistoryToken();
    ASSERT_TRUE(waitFor([&] { return reloaded.count() >= 1 && announcedToken >= dropToken; }));
    ASSERT_TRUE(waitFor([&] { return !screen->isReloadScheduled(); }));
    EXPECT_EQ(reloaded.count(), 1);
    EXPECT_FALSE(screen->isReloadDeferred());
    EXPECT_EQ(titles(), QStringList({"renamed elsewhere", "a", "b"}));
    EXPECT_EQ(c->displayOrder(), 1);
}

TEST_F(ProjectListTest, plainClickOpensTheProjectBesideItsSidebarAndKeepsTheList)
{
    addProject(QStringLiteral("Moby"), 1);
    saveAndSettle();
    QTest::mouseClick(screen->collectionView()->viewport(), Qt::LeftButton, {}, centerOf(0));

    auto* split = qobject_cast<ProjectSplitViewController*>(app->window()->centralWidget());
    ASSERT_NE(split, nullptr);
    EXPECT_EQ(app->initialViewController.data(), screen);
    auto* board = qobject_cast<PvCardViewController*>(split->secondaryViewController());
    ASSERT_NE(board, nullptr) << "the launch registers the board for the project to open into";
    EXPECT_EQ(board->currentProjectId(), QStringLiteral("MOBY"));
    EXPECT_EQ(board->currentFolderId(), QStringLiteral("_top"));
    EXPECT_EQ(board->currentTitle(), QStringLiteral("Moby"));
    EXPECT_LE(split->primaryViewController()->maximumWidth(), ProjectSplitViewController::MaximumPrimaryColumnWidth);
    EXPECT_EQ(app->toolbar()->indexOfItemWithIdentifier(ToolbarDelegate::newProject), -1);

    // The project's reveal ends before the list slides back.
    ASSERT_TRUE(waitFor([&] { return !app->window()->findChild<QWidget*>(QStringLiteral("rootTransitionCover")); }));
    ASSERT_TRUE(app->initialViewController);
    app->slideOut(app->initialViewController);
    ASSERT_TRUE(waitFor([&] { return app->toolbar()->indexOfItemWithIdentifier(ToolbarDelegate::newProject) == 0; }));
}

TEST_F(ProjectListTest, longPressLiftsAndTheDropSavesTheNewOrderWithoutOpening)
{
    Project* a = addProject(QStringLiteral("a"), 1);
    addProject(QStringLiteral("b"), 2);
    Project* c = addProject(QStringLiteral("c"), 3);
    saveAndSettle();
    QWidget* viewport = screen->collectionView()->viewport();
    const QPoint target = centerOf(0);

    QTest::mousePress(viewport, Qt::LeftButton, {}, centerOf(2));
    runEventsFor(250);
    EXPECT_FALSE(screen->layout()->isDragging()) << "half a second has not passed";
    ASSERT_TRUE(waitFor([&] { return screen->layout()->isDragging(); }));
    EXPECT_FLOAT_EQ(float(screen->layout()->currentView()->scale()), LXReorderableCollectionViewFlowLayout::LiftScale);
    QTest::mouseMove(viewport, target);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, target);

    ASSERT_TRUE(waitFor([&] { return !screen->layout()->isDragging(); }));
    EXPECT_EQ(app->window()->centralWidget(), screen) << "a drop is no click";
    EXPECT_EQ(c->displayOrder(), 1);
    EXPECT_EQ(a->displayOrder(), 2);
    EXPECT_FALSE(context()->hasChanges());

    // Escape with the button still held brings the cover down where it was carried, and the release that
    // follows is no click on the cover that now lies under it.
    QSignalSpy selected(screen->collectionView(), &QListView::clicked);
    QTest::mousePress(viewport, Qt::LeftButton, {}, centerOf(0));
    ASSERT_TRUE(waitFor([&] { return screen->layout()->isDragging(); }));
    QTest::mouseMove(viewport, centerOf(1));
    QTest::keyClick(screen->collectionView(), Qt::Key_Escape);
    ASSERT_TRUE(waitFor([&] { return !screen->layout()->isDragging(); }));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, centerOf(1));
    runEventsFor(50);
    EXPECT_EQ(selected.count(), 0);
    EXPECT_TRUE(screen->collectionView()->selectionModel()->selectedIndexes().isEmpty()) << "no cover is ringed";
    EXPECT_EQ(app->window()->centralWidget(), screen) << "a lift that Escape ended is no click either";
    EXPECT_EQ(titles(), QStringList({"a", "c", "b"}));
    EXPECT_EQ(storedOrders(), QStringLiteral("a:1 b:3 c:2"));

    QTest::mouseClick(viewport, Qt::LeftButton, {}, centerOf(0));
    EXPECT_EQ(selected.count(), 1);
    EXPECT_TRUE(qobject_cast<ProjectSplitViewController*>(app->window()->centralWidget()))
        << "the next short click opens as ever";
    ASSERT_TRUE(waitFor([&] { return !app->window()->findChild<QWidget*>(QStringLiteral("rootTransitionCover")); }));
}

// The gear's menu comes up on the press and takes the release: nothing the layout saw may lift the cover later.
TEST_F(ProjectListTest, gearPressNeverLiftsTheCoverNorReordersTheProjects)
{
    addProject(QStringLiteral("a"), 1);
    addProject(QStringLiteral("b"), 2);
    addProject(QStringLiteral("c"), 3);
    saveAndSettle();
    ASSERT_EQ(storedOrders(), QStringLiteral("a:1 b:2 c:3"));
    QWidget* viewport = screen->collectionView()->viewport();
    const QRect tile = screen->collectionView()->visualRect(screen->model()->index(0));
    const QPoint gear = ProjectCellDelegate::menuButtonRect(tile).center();

    QTest::mousePress(viewport, Qt::LeftButton, {}, gear);
    ASSERT_TRUE(waitFor([] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()) != nullptr; }));
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QTest::mouseRelease(menu, Qt::LeftButton, {}, menu->mapFromGlobal(viewport->mapToGlobal(gear)));
    runEventsFor(LXReorderableCollectionViewFlowLayout::MinimumPressDurationMs + 100);
    EXPECT_FALSE(screen->layout()->isDragging()) << "the writer is choosing in the gear's menu";
    menu->close();
    // Offscreen, no window takes the focus back from a closed menu as a desktop's window does.
    app->window()->activateWindow();
    ASSERT_TRUE(waitFor([] { return QGuiApplication::applicationState() == Qt::ApplicationActive; }));
    for (int row : {1, 2, 1, 0})
        glideTo(centerOf(row));
    runEventsFor(50);

    EXPECT_FALSE(screen->layout()->isDragging()) << "no cover follows a pointer whose button is up";
    for (int row = 0; row < 3; ++row)
        EXPECT_FALSE(screen->layout()->isHidden(screen->model()->index(row))) << "row " << row << " is shown";
    EXPECT_EQ(titles(), QStringList({"a", "b", "c"}));
    EXPECT_FALSE(context()->hasChanges());
    EXPECT_EQ(storedOrders(), QStringLiteral("a:1 b:2 c:3"));
}

// The indicator is one for the whole window: work the list started before it left must not take down the
// indicator of the screen that came after it.
TEST_F(ProjectListTest, workThatComesDueAfterTheListLeftLeavesTheNextScreensIndicatorUp)
{
    addProject(QStringLiteral("Moby"), 1);
    saveAndSettle();
    // Within its grace time the indicator is taken down the moment it is dismissed: nothing hides a dismissal.
    ProgressHud::setGraceTime(600'000);
    QSignalSpy reloaded(screen, &ProjectViewController::listReloaded);
    postCloudEvent(false);
    screen->reloadAfterCloudChanges();
    // Neither can finish before control returns to the event loop.
    ViewController::transitionAppearance(screen, false, false);
    EXPECT_FALSE(ProgressHud::isActive()) << "leaving takes the list's own indicator down";
    ProgressHud::show();

    ASSERT_TRUE(waitFor([&] { return reloaded.count() == 1; }));
    runEventsFor(50);
    EXPECT_TRUE(ProgressHud::isActive());
    ProgressHud::dismiss();
    ViewController::transitionAppearance(screen, true, false);
}

TEST_F(ProjectListTest, syncShowsTheIndicatorUntilItsLastOperationAndAReloadInBetweenEnds)
{
    saveAndSettle();
    ProgressHud::setGraceTime(600'000);
    NotificationCenter::defaultCenter().post(ProjectViewController::CloudEventNotification, app->persistentContainer(),
                                             {{QStringLiteral("unrelated"), 1}});
    runEventsFor(50);
    EXPECT_FALSE(ProgressHud::isActive()) << "a notice without an event is no sync";

    postCloudEvent(false);
    ASSERT_TRUE(waitFor([] { return ProgressHud::isActive(); })) << "a sync that started shows the indicator";
    QSignalSpy reloaded(screen, &ProjectViewController::listReloaded);
    screen->reloadAfterCloudChanges();
    ASSERT_TRUE(waitFor([&] { return reloaded.count() == 1; }));
    EXPECT_TRUE(ProgressHud::isActive()) << "the reload ended, the sync operation has not";
    postCloudEvent(false);
    postCloudEvent(true);
    EXPECT_TRUE(ProgressHud::isActive()) << "one sync operation is still running";
    postCloudEvent(true);
    EXPECT_FALSE(ProgressHud::isActive()) << "the last one ended";
}

TEST_F(ProjectListTest, listInANavigationStackHidesTheBar)
{
    auto* list = new ProjectViewController(context());
    NavigationController navigation(list);
    navigation.setNavigationBarHidden(false);
    ASSERT_FALSE(navigation.isNavigationBarHidden());
    ViewController::transitionAppearance(&navigation, true, false);
    EXPECT_TRUE(navigation.isNavigationBarHidden());
    ViewController::transitionAppearance(&navigation, false, false);
}

TEST_F(ProjectListTest, listAndTheEmptyBoardAreFoundByName)
{
    // Found by name, as tools that drive the application find them.
    EXPECT_EQ(screen->findChild<QListView*>(QStringLiteral("projectCollectionView")), screen->collectionView());
    EmptyBoardViewController empty;
    EXPECT_EQ(empty.objectName(), QStringLiteral("boardViewController"));
    EXPECT_NE(empty.findChild<QLabel*>(QStringLiteral("boardTitle")), nullptr);
}

TEST(EmptyBoardTest, titleIsALargeBoldHeading)
{
    EmptyBoardViewController empty;
    EXPECT_EQ(empty.titleLabel()->font().pixelSize(), int(Metrics::scaled(28)));
    EXPECT_TRUE(empty.titleLabel()->font().bold());
}

// The first and last rows of image that differ from its top left pixel.
QPair<int, int> inkRows(const QImage& image)
{
    int top = -1;
    int bottom = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != image.pixel(0, 0)) {
                top = top < 0 ? y : top;
                bottom = y;
                break;
            }
    return {top, bottom};
}

TEST(EmptyStateButtonTest, newColoursRedrawTheOneTitleInsteadOfAddingAnother)
{
    EmptyStateButton button;
    button.resize(500, 400);
    const QPair<int, int> before = inkRows(button.grab().toImage());
    ASSERT_GE(before.first, 0);
    QPalette palette = button.palette();
    palette.setColor(QPalette::WindowText, QColor(0x80, 0x20, 0x20));
    button.setPalette(palette);
    const QImage after = button.grab().toImage();
    EXPECT_EQ(inkRows(after), before);
    // In the new colour.
    bool inNewColour = false;
    for (int y = 0; y < after.height() && !inNewColour; ++y)
        for (int x = 0; x < after.width() && !inNewColour; ++x)
            inNewColour = after.pixelColor(x, y) == QColor(0x80, 0x20, 0x20);
    EXPECT_TRUE(inNewColour);
}

TEST(EmptyStateButtonTest, callWrapsWithItsActionInkIsAllTheTextColourAndTheNoteStandsBelow)
{
    const QString action = QStringLiteral(" to add a new card");
    EmptyStateButton call(action, QString());
    EmptyStateButton noted(action, QStringLiteral("Cards sync later"));
    // The action is part of the call: too wide for a narrow button, it wraps.
    EXPECT_GT(call.heightForWidth(120), call.heightForWidth(2000));
    // The note is a paragraph of its own below the call, a blank line between.
    EXPECT_GE(noted.heightForWidth(2000), 2 * call.heightForWidth(2000));

    // Text and symbol alike are drawn in the text colour, whatever colours the theme drew the symbol in.
    QPalette red = noted.palette();
    red.setColor(QPalette::WindowText, QColor(0xc0, 0, 0));
    noted.setPalette(red);
    noted.resize(500, 200);
    const QImage ink = noted.grab().toImage();
    int strong = 0;
    for (int y = 0; y < ink.height(); ++y) {
        for (int x = 0; x < ink.width(); ++x) {
            const QColor pixel = ink.pixelColor(x, y);
            if (std::min({pixel.red(), pixel.green(), pixel.blue()}) >= 160)
                continue;
            ++strong;
            ASSERT_GT(pixel.red() - pixel.green(), 60) << "not the text colour at " << x << "," << y;
        }
    }
    EXPECT_GT(strong, 50);

    // A press washes the button in the text colour, with no outline; taking the button away lets go of it.
    noted.setDown(true);
    const QColor edge = noted.grab().toImage().pixelColor(0, noted.height() / 2);
    EXPECT_GT(std::min({edge.red(), edge.green(), edge.blue()}), 200) << "no dark outline";
    noted.setEnabled(false);
    EXPECT_FALSE(noted.isDown());
}

TEST(EmptyStateButtonTest, newFontRedrawsTheTitle)
{
    EmptyStateButton button;
    button.resize(500, 400);
    const QImage before = button.grab().toImage();
    QFont bold = button.font();
    bold.setBold(true);
    button.setFont(bold);
    EXPECT_NE(button.grab().toImage(), before) << "the title is set again in the bold font";
}

TEST(EmptyStateButtonTest, titleStandsInTheMiddleOfATallerButton)
{
    EmptyStateButton button;
    button.resize(500, 400);
    const QPair<int, int> ink = inkRows(button.grab().toImage());
    ASSERT_GE(ink.first, 0);
    // As much room above the title's ink as below it, but for the ascent above capitals.
    EXPECT_GT(ink.first, 100);
    EXPECT_NEAR(ink.first, button.height() - 1 - ink.second, 12);
}

TEST(EmptyStateViewTest, pictureIsASquareOfTwoThirdsTheShorterSideRaisedFromTheMiddle)
{
    EmptyStateView view;
    view.layoutFor(QSize(600, 900));
    EXPECT_EQ(view.imageView()->geometry(), QRect(100, 250 - EmptyStateView::ImageRaise, 400, 400));
}

// A project tile of 221 x 365 for a project with cover, painted on white.
QImage paintedTile(const QImage& cover)
{
    QStandardItemModel model(1, 1);
    model.setData(model.index(0, 0), QStringLiteral("Harbour"), Qt::DisplayRole);
    model.setData(model.index(0, 0), cover, ProjectListModel::CoverRole);
    ProjectCellDelegate delegate(nullptr);
    QImage canvas(221, 365, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    QStyleOptionViewItem option;
    option.rect = canvas.rect();
    delegate.paint(&painter, option, model.index(0, 0));
    return canvas;
}

TEST(ProjectTileTest, gearDiscDarkensTheCoverWithoutARim)
{
    const QColor green(0x20, 0xa0, 0x40);
    QImage cover(400, 400, QImage::Format_RGB32);
    cover.fill(green);
    const QImage canvas = paintedTile(cover);
    const QRect button = ProjectCellDelegate::menuButtonRect(canvas.rect());
    const QPoint center = button.center();
    EXPECT_NE(canvas.pixelColor(center.x(), button.top() + 2), green);
    // Just outside the disc the cover shows untouched: no outline runs round it.
    for (const QPoint outside : {QPoint(center.x(), button.top() - 1), QPoint(center.x(), button.bottom() + 1),
                                 QPoint(button.left() - 1, center.y()), QPoint(button.right() + 1, center.y())})
        EXPECT_EQ(canvas.pixelColor(outside), green) << outside.x() << "," << outside.y();
}

TEST(ProjectTileTest, gearOnTheDiscIsWhite)
{
    QImage cover(400, 400, QImage::Format_RGB32);
    cover.fill(QColor(0x20, 0xa0, 0x40));
    const QImage canvas = paintedTile(cover);
    const QRect button = ProjectCellDelegate::menuButtonRect(canvas.rect());
    int whitest = 0;
    for (int y = button.top(); y <= button.bottom(); ++y)
        for (int x = button.left(); x <= button.right(); ++x) {
            const QColor pixel = canvas.pixelColor(x, y);
            whitest = std::max(whitest, std::min({pixel.red(), pixel.green(), pixel.blue()}));
        }
    EXPECT_EQ(whitest, 255) << "the glyph is tinted white whatever colour the symbol came in";
}

TEST(ProjectTileTest, smallCoverIsScaledSmoothly)
{
    QImage cover(2, 1, QImage::Format_RGB32);
    cover.setPixel(0, 0, qRgb(0, 0, 0));
    cover.setPixel(1, 0, qRgb(255, 255, 255));
    const QImage canvas = paintedTile(cover);
    // Black meets white across a soft band of greys, not in one step.
    const int row = canvas.height() / 3;
    int greys = 0;
    for (int x = 10; x < canvas.width() - 10; ++x) {
        const int level = canvas.pixelColor(x, row).red();
        greys += level > 40 && level < 215 ? 1 : 0;
    }
    EXPECT_GT(greys, 10);
}

} // namespace
