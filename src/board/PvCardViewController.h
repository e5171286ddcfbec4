#pragma once

#include "BoardRemoteChanges.h"
#include "core/CardBoardActions.h"
#include "core/CardProps.h"
#include "dialogs/TagMenuController.h"
#include "platform/ViewController.h"
#include "platform/store/PersistentHistory.h"

#include <QDateTime>
#include <QList>
#include <QMenu>
#include <QPointer>
#include <QRect>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class AchievementsManager;
class BoardEmptyState;
class BoardImportExport;
class BoardItemCreation;
class BoardRecovery;
class BoardMenus;
class BoardNavigator;
class BoardReorder;
class CardCellButtons;
class CardCellDelegate;
class CardListModel;
class CardOpening;
class EmptyStateButton;
class LXReorderableCollectionViewFlowLayout;
class ManagedObjectContext;
class ProjectItem;
class QLabel;
class QListView;

class QToolButton;
class SidebarViewController;

// The card board of one folder of one project: the grid of cells, the filter header, the empty state, the
// toolbar items and search hand-off while on screen, and reloads when another process changes items. Folder
// navigation, the menus, new items and drag reordering are collaborators the board owns; opening an editor
// is handed to the CardOpening the program wires in.
class PvCardViewController : public ViewController, public CardBoardActions {
    Q_OBJECT
    Q_PROPERTY(QString currentFolderId READ currentFolderId WRITE setCurrentFolderId)
    Q_PROPERTY(QString currentProjectId READ currentProjectId WRITE setCurrentProjectId)
    Q_PROPERTY(QString currentProjectTitle READ currentProjectTitle WRITE setCurrentProjectTitle)
    Q_PROPERTY(QString currentTitle READ currentTitle WRITE setCurrentTitle)
    Q_PROPERTY(QString parentFolderId READ parentFolderId WRITE setParentFolderId)

public:
    static inline const QString PrefItemFilter = QStringLiteral("PrefItemFilter");
    static inline const QString PrefItemFilterParm = QStringLiteral("PrefItemFilterParm");
    static inline const QString PrefCompactCards = QStringLiteral("PrefCompactCards");
    static inline const QString ProjectItemEntity = QStringLiteral("ProjectItem");
    // A burst of remote changes settles this long before the board refetches.
    static constexpr int RemoteReloadDelayMs = 400;
    static constexpr int TagFilterChooserDelayMs = 400;
    // Height of the empty board's line, centred in the board.
    static inline const QString TagFilterChooserTitle = QStringLiteral("Cards with Tag");

    explicit PvCardViewController(ManagedObjectContext* context = nullptr, QWidget* parent = nullptr);
    ~PvCardViewController() override;

    // The six toolbar identifiers in insertion order (each inserted at index 0).
    static QStringList toolbarIdentifiers(const QString& folderId);
    // Whether any transaction inserted, updated or deleted an item.
    static bool hasProjectItemChanges(const QList<HistoryTransaction>& transactions)
    {
        return BoardRemoteChanges::hasProjectItemChanges(transactions);
    }

    QString currentFolderId() const { return m_currentFolderId; }
    void setCurrentFolderId(const QString& id) { m_currentFolderId = id; }
    QString currentProjectId() const { return m_currentProjectId; }
    void setCurrentProjectId(const QString& id) { m_currentProjectId = id; }
    QString currentProjectTitle() const { return m_currentProjectTitle; }
    void setCurrentProjectTitle(const QString& title) { m_currentProjectTitle = title; }
    QString currentTitle() const { return m_currentTitle; }
    void setCurrentTitle(const QString& title) { m_currentTitle = title; }
    // The parent of the folder shown; empty at the root.
    QString parentFolderId() const { return m_parentFolderId; }
    void setParentFolderId(const QString& id) { m_parentFolderId = id; }
    // The title shown at the root: the project's, as the board opened.
    QString topTitle() const { return m_topTitle; }
    ManagedObjectContext* context() const { return m_context; }
    const CardProps& cardProps() const { return m_cardProps; }
    // Where the item dialogs anchor; the desktop needs none.
    QRect contextFrame() const { return {}; }
    bool isSearching() const { return !m_itemQuery.isEmpty(); }

    // The open project's achievements, made when the view loads; handed to the full editor.
    AchievementsManager* achievementsManager() const { return m_achievementsManager.get(); }
    // Where editors are opened; the board opens none without it.
    void setCardOpening(std::shared_ptr<CardOpening> opening);
    CardOpening* cardOpening() const { return m_cardOpening.get(); }

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
    bool hasRelevantHistoryChanges() { return m_remoteChanges->hasRelevantHistoryChanges(); }
    // A drag in progress holds back remote reloads until it ends, so the lists never change under it.
    void setDragging(bool dragging) { m_remoteChanges->setDragging(dragging); }
    bool reloadPending() const { return m_remoteChanges->reloadPending(); }
    // The newest history token the board has read.
    qint64 historyToken() const { return m_remoteChanges->historyToken(); }
    void showFilterMenu();
    // Offers the tags and, on a choice other than None, filters by that tag.
    void showTagFilterChooser();
    // Recounts the sidebar beside the board and selects its row for the board's filter.
    void refreshSidebar();
    void leaveBoard();

    void goBack() override;
    void toggleSidebarAnimated() override;
    void showNewCardChooser() override;
    void createNewItem(int cardTag) override;

    // The writer selected the item at row: a card opens, a folder is entered.
    void selectItem(int row);
    // The cell's buttons at row, as a click on them.
    void menuButtonClicked(int row);
    void notesButtonClicked(int row);
    // The notes editor's report: the new notes, or none to clear them.
    void notesModified(const QString& itemId, const std::optional<QString>& notes);
    // A fresh board menu on the menu button, for what the folder shown offers now.
    void rebuildBoardMenu();
    // The card menu shown last, while it exists.
    QMenu* cardMenu() const { return m_cardMenu; }

    // The keyboard's frame in window coordinates lifts the board's bottom above it.
    void keyboardWillShow(const QRect& endFrame, double duration);
    void keyboardWillHide(double duration);
    // The split view hid or showed a column: the cells are laid out for the new width.
    void splitViewColumnChanged();
    int viewBottomConst() const { return m_viewBottomConst; }

    // Responder actions: the board menu bar commands it answers itself.
    Q_INVOKABLE void backButtonPressed(QObject* sender);
    Q_INVOKABLE void newClicked(QObject* sender);
    Q_INVOKABLE void newFolderClicked(QObject* sender);
    Q_INVOKABLE void quitReceived(QObject* sender);
    Q_INVOKABLE void orderFrontStandardAboutPanel(QObject* sender);
    Q_INVOKABLE void checkForUpdates(QObject* sender);
    // Only the board's own actions: a command the board cannot carry out stays with the next responder.
    Q_INVOKABLE bool canPerformAction(const QByteArray& action) const;

    BoardNavigator& navigator() const { return *m_navigator; }
    BoardMenus& menus() const { return *m_menus; }
    // The board menu's "Import" and "Export".
    BoardImportExport* importExport() const { return m_importExport; }
    BoardItemCreation& itemCreation() const { return *m_itemCreation; }
    BoardReorder& reorder() const { return *m_reorder; }
    BoardRemoteChanges& remoteChanges() const { return *m_remoteChanges; }
    BoardRecovery& recovery() const { return *m_recovery; }
    LXReorderableCollectionViewFlowLayout* reorderableLayout() const { return m_layout; }
    TagMenuController& tagMenu();

    QListView* collectionView() const { return m_collectionView; }
    CardListModel* model() const { return m_model; }
    QLabel* headerLabel() const { return m_headerLabel; }
    // What an empty board shows: the filtered type's picture and one line under it.
    BoardEmptyState* emptyState() const { return m_emptyState; }
    QLabel* emptyStateLabel() const;
    // "Click (+) to add a new card" on an empty board under all cards with no search.
    EmptyStateButton* emptyStateButton() const;
    QWidget* headerView() const { return m_header; }
    QWidget* toolbarView() const { return m_toolbarView; }
    QToolButton* contextButton() const { return m_contextButton; }

signals:
    void boardReloaded();
    void filterChanged(qint64 filter);

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class BoardNavigator;
    friend class BoardMenus;
    friend class BoardItemCreation;
    friend class BoardReorder;

    // The two lists as the helpers edit them in place; with nothing filtering they are one list.
    QList<ProjectItem*>& mutableCards() { return m_cards; }
    QList<ProjectItem*>& mutableFilteredCards() { return m_sameLists ? m_cards : m_filteredCards; }
    bool sameLists() const { return m_sameLists; }
    // The grid shows the lists as they stand.
    void showLists();
    // Loads the folder shown and redraws at once.
    void reloadCardsNow();
    // Climbs one level from a folder shown that no longer exists; false when the board left for the project list.
    bool climbFromMissingFolder();
    // Replaces the toolbar's home or back item by identifier, in its place.
    void swapHomeBackItem(const QString& identifier);
    void setViewBottomConst(int constant);
    void buildViews();
    void buildImportExport();
    // Bars and background for the appearance in force.
    void updateAppearance();
    void buildToolbarView();
    void attachReorderableLayout();
    void redraw();
    void updateHeader();
    void updateEmptyState();
    void updateCellSize();
    void installToolbarItems();
    void removeToolbarItems();
    ProjectItem* folderRecord() const;
    SidebarViewController* sidebar() const;

    ManagedObjectContext* m_context;
    CardProps m_cardProps;
    QString m_currentFolderId;
    QString m_currentProjectId;
    QString m_currentProjectTitle;
    QString m_currentTitle;
    QString m_parentFolderId;
    QString m_topTitle;
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
    QStringList m_installedToolbarItems;

    QListView* m_collectionView = nullptr;
    CardListModel* m_model = nullptr;
    CardCellDelegate* m_delegate = nullptr;
    QWidget* m_header = nullptr;
    QLabel* m_headerIcon = nullptr;
    QLabel* m_headerLabel = nullptr;
    QToolButton* m_headerClear = nullptr;
    BoardEmptyState* m_emptyState = nullptr;
    std::unique_ptr<TagMenuController> m_tagMenu;
    QWidget* m_toolbarView = nullptr;
    QToolButton* m_contextButton = nullptr;
    QPointer<QMenu> m_boardMenu;
    QPointer<QMenu> m_cardMenu;
    int m_viewBottomConst = 0;
    CardCellButtons* m_cellButtons = nullptr;
    LXReorderableCollectionViewFlowLayout* m_layout = nullptr;
    std::shared_ptr<CardOpening> m_cardOpening;
    std::unique_ptr<BoardNavigator> m_navigator;
    std::unique_ptr<BoardMenus> m_menus;
    std::unique_ptr<BoardItemCreation> m_itemCreation;
    std::unique_ptr<BoardReorder> m_reorder;
    std::unique_ptr<BoardRemoteChanges> m_remoteChanges;
    std::unique_ptr<BoardRecovery> m_recovery;
    std::unique_ptr<AchievementsManager> m_achievementsManager;
    BoardImportExport* m_importExport = nullptr;
};
