#include "ProjectViewController.h"

#include "EmptyStateButton.h"
#include "EmptyStateView.h"
#include "LXReorderableCollectionViewFlowLayout.h"
#include "ProjectActions.h"
#include "ProjectCellDelegate.h"
#include "ProjectGridMetrics.h"
#include "ProjectListModel.h"
#include "ProjectOpener.h"
#include "core/AppDelegate.h"
#include "core/DbHelpers.h"
#include "core/Helpers.h"
#include "core/HexColor.h"
#include "core/Project.h"
#include "core/ToolbarDelegate.h"
#include "platform/Alert.h"
#include "platform/ColorScheme.h"
#include "platform/Delays.h"
#include "platform/Dispatch.h"
#include "platform/NavigationController.h"
#include "platform/NotificationCenter.h"
#include "platform/ProgressHud.h"
#include "platform/SymbolIcons.h"
#include "platform/Toolbar.h"
#include "platform/Uuid.h"
#include "platform/store/FetchedResultsController.h"
#include "platform/store/ManagedObjectContext.h"
#include "platform/store/PersistentContainer.h"

#include <QEvent>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QResizeEvent>
#include <QToolButton>
#include <QVBoxLayout>

ProjectViewController::ProjectViewController(ManagedObjectContext* context, QWidget* parent)
    : ViewController(parent), m_context(context), m_collectionView(new QListView(this)),
      m_model(new ProjectListModel(this)), m_layout(new LXReorderableCollectionViewFlowLayout(this)),
      m_cellDelegate(new ProjectCellDelegate(m_layout, this))
{
    setObjectName(QStringLiteral("projectViewController"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildContextBar());
    layout->addWidget(m_collectionView);
    setupCollectionView();
    connect(ColorScheme::instance(), &ColorScheme::changed, this, [this](bool dark) {
        if (dark == m_isDarkMode)
            return;
        m_isDarkMode = dark;
        Helpers::setupBackgroundGradient(this, m_collectionView);
        setupNavBar();
        m_collectionView->viewport()->update();
    });
}

ProjectViewController::~ProjectViewController()
{
    // The layout watches the view's viewport; it lets go before the view goes.
    m_layout->setCollectionView(nullptr);
    tearDownObservers();
}

ManagedObjectContext* ProjectViewController::context() const
{
    if (m_context)
        return m_context;
    AppDelegate* app = AppDelegate::shared();
    return app ? app->managedObjectContext() : nullptr;
}

void ProjectViewController::setupCollectionView()
{
    QListView* view = m_collectionView;
    view->setObjectName(QStringLiteral("projectCollectionView"));
    view->setViewMode(QListView::IconMode);
    view->setFlow(QListView::LeftToRight);
    view->setWrapping(true);
    view->setResizeMode(QListView::Adjust);
    view->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // With a scroll bar only as needed, Qt lays the tiles out as if the bar always showed, so a grid planned for
    // the viewport's width lost its last column whenever the bar was hidden; a bar that stays puts the two at one.
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    view->setFrameShape(QFrame::NoFrame);
    view->setMouseTracking(true);
    view->setSelectionRectVisible(false);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setItemDelegate(m_cellDelegate);
    view->setModel(m_model);
    m_layout->setCollectionView(view);
    m_layout->setDataSource(this);
    m_layout->setDelegate(this);
    // After the layout, so this filter sees each press first: the press on a gear is the gear's, and the layout
    // never starts a long press from it.
    view->viewport()->installEventFilter(this);
    connect(view, &QListView::clicked, this, &ProjectViewController::collectionViewDidSelectItemAtIndexPath);
}

void ProjectViewController::viewDidLoad()
{
    m_collectionView->setSelectionMode(QAbstractItemView::SingleSelection);
    setupCellMargins();
    Helpers::setProgressNoBackground();
    m_isDarkMode = ColorScheme::isDark();
    Helpers::setupBackgroundGradient(this, m_collectionView);
    if (ManagedObjectContext* store = context())
        m_historyToken = store->lastHistoryToken();
}

void ProjectViewController::viewWillAppear(bool animated)
{
    m_outstandingCloudKitOperations = 0;
    if (NavigationController* navigation = navigationController())
        navigation->setNavigationBarHidden(true);
    setupCellSize(m_collectionView->viewport()->size());
    setupObservers();
    m_isDarkMode = ColorScheme::isDark();
    setupNavBar();
    QPointer<ProjectViewController> self(this);
    Dispatch::main([self] {
        if (self)
            self->insertToolbarItem();
    });
    ViewController::viewWillAppear(animated);
}

void ProjectViewController::viewDidAppear(bool animated)
{
    reloadAfterCloudChanges();
    ViewController::viewDidAppear(animated);
}

void ProjectViewController::viewWillDisappear(bool animated)
{
    tearDownObservers();
    removeToolbarItem();
    ViewController::viewWillDisappear(animated);
}

void ProjectViewController::viewDidDisappear(bool animated)
{
    ProgressHud::dismiss();
    m_outstandingCloudKitOperations = 0;
    ViewController::viewDidDisappear(animated);
}

QWidget* ProjectViewController::buildContextBar()
{
    m_toolbarView = new QWidget(this);
    m_toolbarView->setObjectName(QStringLiteral("toolbarView"));
    // The bar is painted in its own tint (setupNavBar), not the gradient beneath it.
    m_toolbarView->setAutoFillBackground(true);
    m_actions = new ProjectActions(this, [this] { return context(); });
    m_contextButton = new QToolButton(m_toolbarView);
    m_contextButton->setObjectName(QStringLiteral("projectContextButton"));
    m_contextButton->setIcon(SymbolIcons::icon(QStringLiteral("ellipsis.circle")));
    m_contextButton->setIconSize(QSize(22, 22));
    m_contextButton->setAutoRaise(true);
    m_contextButton->setPopupMode(QToolButton::InstantPopup);
    m_contextButton->setMenu(m_actions->getContextMenu());
    auto* bar = new QHBoxLayout(m_toolbarView);
    bar->setContentsMargins(8, 4, 8, 0);
    bar->addStretch();
    bar->addWidget(m_contextButton);
    return m_toolbarView;
}

QMenu* ProjectViewController::showProjectMenu(const QModelIndex& index, const QPoint& globalPosition)
{
    auto* project = index.isValid() ? static_cast<Project*>(m_model->projectAt(index.row())) : nullptr;
    if (!project)
        return nullptr;
    QMenu* menu = m_actions->getPulldownMenu(project);
    menu->popup(globalPosition);
    return menu;
}

bool ProjectViewController::handleMenuButtonPress(QEvent* event)
{
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton)
        return false;
    const QPoint position = mouse->position().toPoint();
    const QModelIndex index = m_collectionView->indexAt(position);
    if (!index.isValid() ||
        !ProjectCellDelegate::menuButtonRect(m_collectionView->visualRect(index)).contains(position))
        return false;
    // The press and its release belong to the gear: the tile must not open its project.
    if (event->type() == QEvent::MouseButtonPress)
        showProjectMenu(index, m_collectionView->viewport()->mapToGlobal(position));
    return true;
}

bool ProjectViewController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_collectionView->viewport() &&
        (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease) &&
        !isDragInProgress() && handleMenuButtonPress(event))
        return true;
    if (watched == m_collectionView->viewport() && event->type() == QEvent::Resize) {
        const QSize size = static_cast<QResizeEvent*>(event)->size();
        setupCellSize(size);
        if (m_backgroundView)
            m_backgroundView->setGeometry(QRect(QPoint(0, 0), size));
    }
    return ViewController::eventFilter(watched, event);
}

// --- Grid

void ProjectViewController::setupCellMargins()
{
    // The view puts its spacing both between tiles and around the grid, as the margins ask.
    m_collectionView->setSpacing(ProjectGridMetrics::spacing(Helpers::iPadOrMac()));
}

void ProjectViewController::setupCellSize(const QSize& size)
{
    const QSize before = ProjectGridMetrics::cellSize();
    ProjectGridMetrics::setupCellSize(ProjectGridMetrics::widthForViewport(size.width()));
    if (ProjectGridMetrics::cellSize() != before)
        emit m_cellDelegate->sizeHintChanged(QModelIndex());
}

void ProjectViewController::showFetchedList()
{
    m_model->setProjects(m_fetchedResultsController ? m_fetchedResultsController->fetchedObjects()
                                                    : QList<ManagedObject*>{});
    updateBackground();
}

void ProjectViewController::updateBackground()
{
    clearBackground();
    if (m_fetchedResultsController && DbHelpers::fetchedItemCount(m_fetchedResultsController) == 0)
        setupBackground();
}

void ProjectViewController::setupBackground()
{
    QWidget* viewport = m_collectionView->viewport();
    if (!m_backgroundView) {
        m_backgroundView = new EmptyStateView(viewport);
        connect(m_backgroundView, &EmptyStateView::newProjectRequested, this, [this] { newClicked(m_backgroundView); });
    }
    m_backgroundView->setGeometry(viewport->rect());
    m_backgroundView->layoutFor(viewport->size());
    m_backgroundView->lower();
    m_backgroundView->show();
}

void ProjectViewController::clearBackground()
{
    if (m_backgroundView)
        m_backgroundView->hide();
}

bool ProjectViewController::isShowingEmptyState() const
{
    return m_backgroundView && m_backgroundView->isVisibleTo(m_collectionView->viewport());
}

// --- Fetching

void ProjectViewController::setupFetchController()
{
    FetchRequest request = Project::fetchRequest();
    request.setSortDescriptors({{Project::DisplayOrderKey, true}});
    if (m_fetchedResultsController) {
        m_fetchedResultsController->disconnect(this);
        m_fetchedResultsController->deleteLater();
        m_fetchedResultsController = nullptr;
    }
    ManagedObjectContext* store = context();
    if (!store)
        return;
    m_fetchedResultsController = new FetchedResultsController(request, store, this);
    connect(m_fetchedResultsController, &FetchedResultsController::didChangeContent, this, [this] {
        // The rows under a carried cover must stay as they are; the drop shows the store again.
        if (isDragInProgress()) {
            m_reloadDeferred = true;
            return;
        }
        showFetchedList();
    });
    if (auto error = m_fetchedResultsController->performFetch()) {
        qWarning("%s", qPrintable(FetchErrorLogLine));
        qWarning("%s, %s", qPrintable(error->message), qPrintable(error->description()));
    }
    validateSortOrder();
}

void ProjectViewController::validateSortOrder()
{
    if (!m_fetchedResultsController || m_fetchedResultsController->count() == 0)
        return;
    bool changed = false;
    const QList<ManagedObject*> projects = m_fetchedResultsController->fetchedObjects();
    for (int i = 0; i < projects.size(); ++i) {
        ManagedObject* project = projects[i];
        if (project->value(Project::DisplayOrderKey).toLongLong() != i + 1) {
            project->setValue(Project::DisplayOrderKey, i + 1);
            changed = true;
        }
    }
    if (changed)
        DbHelpers::saveManagedObjectContext(context(), this);
}

// --- Remote changes

void ProjectViewController::setupObservers()
{
    AppDelegate* app = AppDelegate::shared();
    const void* container = app ? static_cast<const void*>(app->persistentContainer()) : nullptr;
    NotificationCenter& center = NotificationCenter::defaultCenter();
    if (m_storeDidMergeObserver == 0) {
        m_storeDidMergeObserver = center.addObserver(
            QString::fromLatin1(PersistentContainer::RemoteChangeNotification), container,
            [this](const Notification&) {
                if (!relevantUpdateFromCloud())
                    return;
                if (isDragInProgress())
                    m_reloadDeferred = true;
                else
                    reloadAfterCloudChanges();
            },
            this);
    }
    if (m_containerEventObserver == 0) {
        m_containerEventObserver = center.addObserver(
            CloudEventNotification, container, [this](const Notification& note) { handleCloudEvent(note); }, this);
    }
}

void ProjectViewController::tearDownObservers()
{
    NotificationCenter& center = NotificationCenter::defaultCenter();
    if (m_storeDidMergeObserver)
        center.removeObserver(m_storeDidMergeObserver);
    if (m_containerEventObserver)
        center.removeObserver(m_containerEventObserver);
    m_storeDidMergeObserver = 0;
    m_containerEventObserver = 0;
}

bool ProjectViewController::relevantUpdateFromCloud()
{
    ManagedObjectContext* store = context();
    if (!store)
        return false;
    // Read after the last token seen, not a time: two saves in one millisecond are neither missed nor seen twice.
    const PersistentHistory::Result history = store->fetchHistoryAfterToken(m_historyToken);
    if (history.error)
        return false;
    for (const HistoryTransaction& transaction : history.transactions)
        m_historyToken = std::max(m_historyToken, transaction.token);
    const QString projectEntity = Project::entityName();
    for (const HistoryTransaction& transaction : history.transactions) {
        for (const HistoryChange& change : transaction.changes) {
            if (change.entityName == projectEntity)
                return true;
        }
    }
    return false;
}

void ProjectViewController::reloadAfterCloudChanges()
{
    // One refetch covers every change that arrived before it runs: a drop that both saves the new order and
    // releases a held reload must show the list once, not twice.
    if (m_reloadScheduled)
        return;
    m_reloadScheduled = true;
    ++m_outstandingCloudKitOperations;
    ProgressHud::show();
    QPointer<ProjectViewController> self(this);
    Dispatch::globalAfter(Delays::scaled(ReloadDelayMs), [self] {
        Dispatch::main([self] {
            if (self)
                self->finishReload();
        });
    });
}

void ProjectViewController::finishReload()
{
    m_reloadScheduled = false;
    if (isDragInProgress()) {
        m_reloadDeferred = true;
    } else {
        setupFetchController();
        showFetchedList();
    }
    // The indicator is shared by every screen: a reload that comes due after the list has left (which already
    // took its own indicator down) must not take down the one the next screen is showing.
    if (--m_outstandingCloudKitOperations < 1 && isOnScreen())
        ProgressHud::dismiss();
    if (!m_reloadDeferred)
        emit listReloaded();
}

void ProjectViewController::handleCloudEvent(const Notification& notification)
{
    const QVariant event = notification.userInfo.value(CloudEventKey);
    if (!event.isValid())
        return;
    if (event.toMap().value(CloudEventEndDateKey).toDateTime().isValid()) {
        if (--m_outstandingCloudKitOperations < 1) {
            m_outstandingCloudKitOperations = 0;
            ProgressHud::dismiss();
        }
        return;
    }
    ++m_outstandingCloudKitOperations;
    delayedStartProgress();
}

void ProjectViewController::delayedStartProgress()
{
    QPointer<ProjectViewController> self(this);
    Dispatch::globalAfter(Delays::scaled(CloudProgressDelayMs), [self] {
        Dispatch::main([self] {
            if (!self || !self->isOnScreen())
                return;
            if (self->m_outstandingCloudKitOperations >= 1)
                ProgressHud::show();
            else
                ProgressHud::dismiss();
        });
    });
}

// --- Appearance and toolbar

void ProjectViewController::setupNavBar()
{
    QPalette palette = m_toolbarView->palette();
    palette.setColor(QPalette::Window, HexColor::colorWithHexString(m_isDarkMode ? DarkBarHex : LightBarHex));
    m_toolbarView->setPalette(palette);
    if (AppDelegate* app = AppDelegate::shared(); app && app->mainScene())
        app->mainScene()->setWindowTitle(WindowTitle);
}

void ProjectViewController::insertToolbarItem()
{
    AppDelegate* app = AppDelegate::shared();
    Toolbar* toolbar = app ? app->toolbar() : nullptr;
    // The screen may have left before this queued step ran; its item must not outlive it.
    if (!toolbar || !isOnScreen() || toolbar->indexOfItemWithIdentifier(ToolbarDelegate::newProject) >= 0)
        return;
    toolbar->insertItemWithItemIdentifier(ToolbarDelegate::newProject, 0);
}

void ProjectViewController::removeToolbarItem()
{
    AppDelegate* app = AppDelegate::shared();
    Toolbar* toolbar = app ? app->toolbar() : nullptr;
    // By identifier: a board that came on screen first may already hold index 0.
    if (toolbar)
        toolbar->removeItemAtIndex(toolbar->indexOfItemWithIdentifier(ToolbarDelegate::newProject));
}

// --- Opening and creating

void ProjectViewController::collectionViewDidSelectItemAtIndexPath(const QModelIndex& indexPath)
{
    if (isDragInProgress())
        return;
    ProjectOpener::openProject(this, context(), m_model->projectAt(indexPath.row()));
}

void ProjectViewController::newClicked(QObject*)
{
    handleNewButton();
}

void ProjectViewController::handleNewButton()
{
    auto* alert = new Alert(NewProjectTitle, NewProjectMessage, AlertStyle::Alert);
    QPointer<Alert> guard(alert);
    QPointer<ProjectViewController> self(this);
    alert->addAction(OkTitle, AlertActionStyle::Default, [guard, self] {
        if (!guard || !self || guard->textFields().isEmpty())
            return;
        self->createNewItem(guard->textFields().first()->text());
    });
    // Escape and the window's close button answer as "Cancel" does: nothing is created.
    alert->addAction(CancelTitle, AlertActionStyle::Cancel);
    alert->addTextField([](QLineEdit* field) { field->setPlaceholderText(NewProjectPlaceholder); });
    QPushButton* ok = alert->findChild<QPushButton*>(QStringLiteral("alertAction0"));
    QLineEdit* field = alert->textFields().first();
    if (ok) {
        // Blanks count as a title; only an empty field keeps OK off.
        ok->setEnabled(false);
        connect(field, &QLineEdit::textChanged, ok, [ok](const QString& text) { ok->setEnabled(!text.isEmpty()); });
    }
    alert->present(this);
}

void ProjectViewController::createNewItem(const QString& title)
{
    ManagedObjectContext* store = context();
    if (!store)
        return;
    // Before the first fetch the list holds nothing yet; the store's own count keeps the number unique.
    const qint64 count = m_fetchedResultsController ? DbHelpers::fetchedItemCount(m_fetchedResultsController)
                                                    : store->count(Project::fetchRequest());
    auto* project = store->insertNew<Project>();
    project->setUniqueIdentifier(Uuid::uuidString());
    project->setProjectTitle(title);
    project->setLastModified(QDateTime::currentDateTime());
    project->setDisplayOrder(count + 1);
    DbHelpers::saveManagedObjectContext(store, this);
    if (!m_fetchedResultsController)
        return;
    const int row = int(m_model->projects().indexOf(project));
    if (row >= 0)
        m_collectionView->scrollTo(m_model->index(row), QAbstractItemView::PositionAtTop);
}

// --- Reordering

bool ProjectViewController::isDragInProgress() const
{
    return m_layout->isDragging() || m_hasMovedCards;
}

void ProjectViewController::collectionViewItemAtIndexPathWillMoveToIndexPath(QListView*, const QModelIndex& from,
                                                                             const QModelIndex& to)
{
    if (!m_hasMovedCards) {
        // The order the writer sees, which the grid's rows follow.
        m_movedCards = m_model->projects();
        m_hasMovedCards = true;
    }
    if (from.row() < 0 || from.row() >= m_movedCards.size() || to.row() < 0 || to.row() >= m_movedCards.size())
        return;
    m_movedCards.move(from.row(), to.row());
}

void ProjectViewController::collectionViewLayoutDidEndDraggingItemAtIndexPath(QListView*,
                                                                              LXReorderableCollectionViewFlowLayout*,
                                                                              const QModelIndex&)
{
    if (m_hasMovedCards) {
        // Only the projects whose place changed get the new number and a stamp.
        DbHelpers::reorderCards(m_movedCards, m_movedCards, -1, -1);
        m_model->setProjects(m_movedCards);
        m_movedCards.clear();
        m_hasMovedCards = false;
        DbHelpers::saveManagedObjectContext(context(), this);
    }
    if (m_reloadDeferred) {
        m_reloadDeferred = false;
        reloadAfterCloudChanges();
    }
}
