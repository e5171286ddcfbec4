#pragma once

#include "ReorderableDataSource.h"
#include "ReorderableDelegate.h"
#include "platform/ViewController.h"

#include <QDateTime>
#include <QList>
#include <QPointer>
#include <QString>

class EmptyStateView;
class FetchedResultsController;
class LXReorderableCollectionViewFlowLayout;
class ManagedObject;
class ManagedObjectContext;
class ProjectCellDelegate;
class ProjectListModel;
class ProjectActions;
class QListView;
class QMenu;
class QToolButton;
struct Notification;

// The application's first screen: a grid of project covers in the writer's own order. A click opens the
// project beside its sidebar; a press held for half a second picks a cover up to drag it to another place,
// and the new order is saved at the drop. The list follows changes that other processes make to projects,
// but never swaps its rows while a cover is being carried: such a reload waits for the drop.
class ProjectViewController : public ViewController, public ReorderableDataSource, public ReorderableDelegate {
    Q_OBJECT

public:
    static inline const QString WindowTitle = QStringLiteral("Projects");
    static inline const QString FetchErrorLogLine = QStringLiteral("Unable to perform fetch.");
    static inline const QString CloudEventNotification =
        QStringLiteral("NSPersistentCloudKitContainerEventChangedNotification");
    static inline const QString CloudEventKey = QStringLiteral("event");
    static inline const QString CloudEventEndDateKey = QStringLiteral("endDate");
    static inline const QString NewProjectTitle = QStringLiteral("New Project");
    static inline const QString NewProjectMessage = QStringLiteral("Enter the title for the project");
    static inline const QString NewProjectPlaceholder = QStringLiteral("Project Title");
    static inline const QString OkTitle = QStringLiteral("OK");
    static inline const QString CancelTitle = QStringLiteral("Cancel");
    static inline const QString DarkBarHex = QStringLiteral("#25252A");
    static inline const QString LightBarHex = QStringLiteral("#FFFFFF");
    static constexpr int ReloadDelayMs = 400;
    static constexpr int CloudProgressDelayMs = 1000;

    // context: the store the list reads and saves; the application's context when none is given.
    explicit ProjectViewController(ManagedObjectContext* context = nullptr, QWidget* parent = nullptr);
    ~ProjectViewController() override;

    QListView* collectionView() const { return m_collectionView; }
    ProjectListModel* model() const { return m_model; }
    LXReorderableCollectionViewFlowLayout* layout() const { return m_layout; }
    // nullptr until the first reload after the screen appeared.
    FetchedResultsController* fetchedResultsController() const { return m_fetchedResultsController; }
    EmptyStateView* backgroundView() const { return m_backgroundView; }
    bool isShowingEmptyState() const;
    // The newest history token the list has read.
    qint64 historyToken() const { return m_historyToken; }
    qint64 outstandingCloudKitOperations() const { return m_outstandingCloudKitOperations; }
    // The working order during a drag, from its first move to its drop; empty otherwise.
    const QList<ManagedObject*>& movedCards() const { return m_movedCards; }
    bool hasMovedCards() const { return m_hasMovedCards; }
    // A reload that arrived during a drag and waits for the drop.
    bool isReloadDeferred() const { return m_reloadDeferred; }
    // A reload waits for its delay; further notices until it runs are covered by it.
    bool isReloadScheduled() const { return m_reloadScheduled; }

    // Toolbar item "New Project" and the empty state's button, reached along the responder chain.
    Q_INVOKABLE void newClicked(QObject* sender);
    void handleNewButton();
    // A new project titled as typed, last in the list, saved at once.
    void createNewItem(const QString& title);

    // The operations of the tile menus and the restore menu.
    ProjectActions* actions() const { return m_actions; }
    QToolButton* contextButton() const { return m_contextButton; }
    // The bar above the grid that carries the restore menu; tinted for the appearance.
    QWidget* toolbarView() const { return m_toolbarView; }
    // Opens the menu of the tile's project at the position; nullptr for an index without a project.
    QMenu* showProjectMenu(const QModelIndex& index, const QPoint& globalPosition);

    // Whether the history since the last look touches a project record.
    bool relevantUpdateFromCloud();
    void reloadAfterCloudChanges();
    void setupFetchController();
    void validateSortOrder();
    void setupCellSize(const QSize& size);
    // Opens the project of a tile.
    void collectionViewDidSelectItemAtIndexPath(const QModelIndex& indexPath);

    // The reorderable layout's data source and delegate.
    void collectionViewItemAtIndexPathWillMoveToIndexPath(QListView* collectionView, const QModelIndex& from,
                                                          const QModelIndex& to) override;
    void collectionViewLayoutDidEndDraggingItemAtIndexPath(QListView* collectionView,
                                                           LXReorderableCollectionViewFlowLayout* layout,
                                                           const QModelIndex& indexPath) override;

signals:
    // After the list was fetched again and the grid shows it.
    void listReloaded();

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ManagedObjectContext* context() const;
    void setupCollectionView();
    QWidget* buildContextBar();
    bool handleMenuButtonPress(QEvent* event);
    void setupCellMargins();
    void setupNavBar();
    void setupObservers();
    void tearDownObservers();
    void handleCloudEvent(const Notification& notification);
    void delayedStartProgress();
    void finishReload();
    void showFetchedList();
    void updateBackground();
    void setupBackground();
    void clearBackground();
    void insertToolbarItem();
    void removeToolbarItem();
    bool isDragInProgress() const;

    QPointer<ManagedObjectContext> m_context;
    QListView* m_collectionView;
    ProjectListModel* m_model;
    LXReorderableCollectionViewFlowLayout* m_layout;
    ProjectCellDelegate* m_cellDelegate;
    EmptyStateView* m_backgroundView = nullptr;
    FetchedResultsController* m_fetchedResultsController = nullptr;
    int m_storeDidMergeObserver = 0;
    int m_containerEventObserver = 0;
    bool m_isDarkMode = false;
    qint64 m_historyToken = 0;
    QList<ManagedObject*> m_movedCards;
    bool m_hasMovedCards = false;
    bool m_reloadDeferred = false;
    bool m_reloadScheduled = false;
    qint64 m_outstandingCloudKitOperations = 0;
    ProjectActions* m_actions = nullptr;
    QToolButton* m_contextButton = nullptr;
    QWidget* m_toolbarView = nullptr;
};
