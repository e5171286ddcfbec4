#pragma once

#include "TagMenuController.h"
#include "core/CardBoardActions.h"
#include "core/CardProps.h"
#include "platform/ViewController.h"
#include "platform/store/PersistentHistory.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class CardCellDelegate;
class CardListModel;
class ManagedObjectContext;
class ProjectItem;
class QLabel;
class QListView;
class QToolButton;
class SidebarViewController;

// The card board of one folder of one project: the grid of cells, the filter header, the empty state, the
// toolbar items and search hand-off while on screen, and reloads when another process changes items.
class PvCardViewController : public ViewController, public CardBoardActions {
    Q_OBJECT
    Q_PROPERTY(QString currentFolderId READ currentFolderId WRITE setCurrentFolderId)
    Q_PROPERTY(QString currentProjectId READ currentProjectId WRITE setCurrentProjectId)
    Q_PROPERTY(QString currentProjectTitle READ currentProjectTitle WRITE setCurrentProjectTitle)
    Q_PROPERTY(QString currentTitle READ currentTitle WRITE setCurrentTitle)

public:
    static inline const QString PrefItemFilter = QStringLiteral("PrefItemFilter");
    static inline const QString PrefItemFilterParm = QStringLiteral("PrefItemFilterParm");
    static inline const QString ProjectItemEntity = QStringLiteral("ProjectItem");
    // A burst of remote changes settles this long before the board refetches.
    static constexpr int RemoteReloadDelayMs = 400;

    explicit PvCardViewController(ManagedObjectContext* context = nullptr, QWidget* parent = nullptr);
    ~PvCardViewController() override;

    // Makes the storyboard build this board for the opener's board identifier.
    static void registerInStoryboard();
    // The six toolbar identifiers in insertion order (each inserted at index 0).
    static QStringList toolbarIdentifiers(const QString& folderId);
    // Whether any transaction inserted, updated or deleted an item.
    static bool hasProjectItemChanges(const QList<HistoryTransaction>& transactions);

    QString currentFolderId() const { return m_currentFolderId; }
    void setCurrentFolderId(const QString& id) { m_currentFolderId = id; }
    QString currentProjectId() const { return m_currentProjectId; }
    void setCurrentProjectId(const QString& id) { m_currentProjectId = id; }
    QString currentProjectTitle() const { return m_currentProjectTitle; }
    void setCurrentProjectTitle(const QString& title) { m_currentProjectTitle = title; }
    QString currentTitle() const { return m_currentTitle; }
    void setCurrentTitle(const QString& title) { m_currentTitle = title; }

    qint64 itemFilter() const { return m_itemFilter; }
    QString itemFilterParm() const { return m_itemFilterParm; }
    QString itemQuery() const { return m_itemQuery; }
    QString itemQueryText() const { return m_itemQueryText; }
    QString itemRegex() const { return m_itemRegex; }
    const QList<ProjectItem*>& cards() const { return m_cards; }
    const QList<ProjectItem*>& filteredCards() const;
    bool compactCards() const { return m_compactCards; }
    void setCompactCards(bool compact);

    // Loads the folder synchronously into both lists.
    void loadCards(const QString& folderId);
    // Progress indicator, load, redraw; scrollToEnd shows the last item afterwards.
    void reloadBoard(bool scrollToEnd = false);
    void setItemFilter(qint64 filter, const QString& parm = {});
    void clearFilter();
    // An empty or blank text ends the search.
    void search(const QString& text);
    bool currentFolderExists() const;
    // The remote-change handler's decision after reading the history since the last look.
    bool hasRelevantHistoryChanges();
    // A drag in progress holds back remote reloads until it ends, so the lists never change under it.
    void setDragging(bool dragging);
    bool reloadPending() const { return m_reloadPending; }
    // The newest history token the board has read.
    qint64 historyToken() const { return m_historyToken; }
    void showFilterMenu();
    // Offers the tags and, on a choice other than None, filters by that tag.
    void showTagFilterChooser();
    // Recounts the sidebar beside the board and selects its row for the board's filter.
    void refreshSidebar();
    void leaveBoard();

    void goBack() override;
    void toggleSidebarAnimated() override;
    void showNewCardChooser() override {}
    void createNewItem(int) override {}

    QListView* collectionView() const { return m_collectionView; }
    CardListModel* model() const { return m_model; }
    QLabel* headerLabel() const { return m_headerLabel; }
    QLabel* emptyStateLabel() const { return m_emptyLabel; }
    QWidget* headerView() const { return m_header; }

signals:
    void boardReloaded();
    void filterChanged(qint64 filter);

protected:
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildViews();
    void redraw();
    void updateHeader();
    void updateEmptyState();
    void updateCellSize();
    void installToolbarItems();
    void removeToolbarItems();
    void startObservingStoreChanges();
    void stopObservingStoreChanges();
    void remoteChangeReload();
    ProjectItem* folderRecord() const;
    SidebarViewController* sidebar() const;

    ManagedObjectContext* m_context;
    CardProps m_cardProps;
    QString m_currentFolderId;
    QString m_currentProjectId;
    QString m_currentProjectTitle;
    QString m_currentTitle;
    qint64 m_itemFilter;
    QString m_itemFilterParm;
    QString m_itemQuery;
    QString m_itemRegex;
    QString m_itemQueryText;
    QList<ProjectItem*> m_cards;
    QList<ProjectItem*> m_filteredCards;
    bool m_sameLists = true;
    bool m_dataLoaded = false;
    bool m_compactCards = false;
    bool m_dragging = false;
    bool m_reloadPending = false;
    bool m_reloadScheduled = false;
    QStringList m_installedToolbarItems;
    std::optional<int> m_storeObserver;
    qint64 m_historyToken = 0;

    QListView* m_collectionView = nullptr;
    CardListModel* m_model = nullptr;
    CardCellDelegate* m_delegate = nullptr;
    QWidget* m_header = nullptr;
    QLabel* m_headerIcon = nullptr;
    QLabel* m_headerLabel = nullptr;
    QToolButton* m_headerClear = nullptr;
    QLabel* m_emptyLabel = nullptr;
    std::unique_ptr<TagMenuController> m_tagMenu;
};
