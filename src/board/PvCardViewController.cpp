#include "PvCardViewController.h"

#include "BoardAchievementNotice.h"
#include "BoardAppearance.h"
#include "BoardEmptyState.h"
#include "BoardImportExport.h"
#include "BoardItemCreation.h"
#include "BoardMenus.h"
#include "BoardNavigator.h"
#include "BoardRecovery.h"
#include "BoardRemoteChanges.h"
#include "BoardReorder.h"
#include "CardBoardLoader.h"
#include "CardCellButtons.h"
#include "CardCellDelegate.h"
#include "CardGridMetrics.h"
#include "CardListModel.h"
#include "CardOpening.h"
#include "LXReorderableCollectionViewFlowLayout.h"
#include "ProjectSplitViewController.h"
#include "SidebarViewController.h"
#include "core/AppDelegate.h"
#include "core/AppKitBridge.h"
#include "core/DbHelpers.h"
#include "core/Indexer.h"
#include "core/ProjectItem.h"
#include "core/StoreConstants.h"
#include "core/ToolbarDelegate.h"
#include "dialogs/DialogMenu.h"
#include "editors/CardNotesViewController.h"
#include "platform/ColorScheme.h"
#include "platform/Delays.h"
#include "platform/Dispatch.h"
#include "platform/NavigationController.h"
#include "platform/ProgressHud.h"
#include "platform/Storyboard.h"
#include "platform/SymbolIcons.h"
#include "platform/TintedIconEngine.h"
#include "platform/TintedToolButton.h"
#include "platform/Toolbar.h"
#include "platform/UserDefaults.h"
#include "platform/store/ManagedObjectContext.h"
#include "stats/AchievementsManager.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QScrollBar>
#include <QSplitter>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString HeaderBackground = QStringLiteral("#ABA92B");

AppDelegate* appDelegate()
{
    return AppDelegate::shared();
}

} // namespace

PvCardViewController::PvCardViewController(ManagedObjectContext* context, QWidget* parent)
    : ViewController(parent), m_context(context), m_itemFilter(CardFilter::AllCards)
{
    if (!m_context && appDelegate())
        m_context = appDelegate()->managedObjectContext();
    buildViews();
    m_remoteChanges = std::make_unique<BoardRemoteChanges>(this);
    m_navigator = std::make_unique<BoardNavigator>(this);
    m_menus = std::make_unique<BoardMenus>(this);
    m_itemCreation = std::make_unique<BoardItemCreation>(this);
    m_reorder = std::make_unique<BoardReorder>(this);
    m_recovery = std::make_unique<BoardRecovery>(this);
    buildImportExport();
    attachReorderableLayout();
    // After the layout, so a press on a cell's button never starts a drag either.
    m_cellButtons = new CardCellButtons(this, m_collectionView, m_delegate);
    connect(m_collectionView, &QListView::clicked, this, [this](const QModelIndex& index) { selectItem(index.row()); });
    connect(ColorScheme::instance(), &ColorScheme::changed, this, [this] { updateAppearance(); });
}

void PvCardViewController::buildImportExport()
{
    BoardImportExport::Hooks hooks;
    hooks.stopObservingStoreChanges = [this] {
        m_remoteChanges->stopObserving();
    };
    hooks.startObservingStoreChanges = [this] {
        m_remoteChanges->startObserving();
    };
    hooks.reloadCards = [this] {
        reloadCardsNow();
    };
    hooks.reloadBoard = [this](bool scrollToEnd) {
        reloadBoard(scrollToEnd);
    };
    hooks.refreshSidebar = [this] {
        refreshSidebar();
    };
    // The place is read when the writer chooses, so a later change of folder cannot redirect the work.
    auto place = [this] {
        return BoardImportExport::Place{m_currentProjectId, m_currentFolderId, m_currentTitle, m_itemFilter};
    };
    m_importExport = new BoardImportExport(this, m_context, place, hooks, this);
}

PvCardViewController::~PvCardViewController()
{
    // The layout watches the grid's viewport; it lets go before the grid goes.
    m_layout->setCollectionView(nullptr);
    m_remoteChanges->stopObserving();
}

void PvCardViewController::attachReorderableLayout()
{
    m_layout = new LXReorderableCollectionViewFlowLayout(this);
    m_layout->setCollectionView(m_collectionView);
    m_layout->setDataSource(m_reorder.get());
    m_layout->setDelegate(m_reorder.get());
    m_delegate->setLayout(m_layout);
}

void PvCardViewController::setCardOpening(std::shared_ptr<CardOpening> opening)
{
    m_cardOpening = std::move(opening);
}

TagMenuController& PvCardViewController::tagMenu()
{
    if (!m_tagMenu)
        m_tagMenu = std::make_unique<TagMenuController>();
    return *m_tagMenu;
}

QStringList PvCardViewController::toolbarIdentifiers(const QString& folderId)
{
    return {ToolbarDelegate::newFolder,
            ToolbarDelegate::newCard,
            ToolbarDelegate::search,
            Toolbar::FlexibleSpaceItemIdentifier,
            ToolbarDelegate::cardViewSidebar,
            folderId == ItemIds::Top ? ToolbarDelegate::cardViewHome : ToolbarDelegate::cardViewBack};
}

void PvCardViewController::buildViews()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_header = new QWidget(this);
    m_header->setAutoFillBackground(true);
    m_header->setFixedHeight(CardBoardLoader::HeaderHeight);
    auto* headerLayout = new QHBoxLayout(m_header);
    headerLayout->setContentsMargins(20, 0, 12, 0);
    m_headerIcon = new QLabel(m_header);
    m_headerLabel = new QLabel(m_header);
    m_headerClear = new TintedToolButton(m_header);
    m_headerClear->setIcon(SymbolIcons::icon(QStringLiteral("xmark")));
    m_headerClear->setAutoRaise(true);
    m_headerClear->setToolTip(tr("Clear Filter"));
    connect(m_headerClear, &QToolButton::clicked, this, [this] { clearFilter(); });
    headerLayout->addWidget(m_headerIcon);
    headerLayout->addWidget(m_headerLabel, 1);
    headerLayout->addWidget(m_headerClear);
    layout->addWidget(m_header);

    m_model = new CardListModel(this);
    m_delegate = new CardCellDelegate(this);
    m_collectionView = new QListView(this);
    m_collectionView->setViewMode(QListView::IconMode);
    m_collectionView->setMovement(QListView::Static);
    m_collectionView->setResizeMode(QListView::Adjust);
    m_collectionView->setFlow(QListView::LeftToRight);
    m_collectionView->setWrapping(true);
    // Every cell has the same size, so the view lays out without asking each cell.
    m_collectionView->setUniformItemSizes(true);
    m_collectionView->setLayoutMode(QListView::Batched);
    m_collectionView->setBatchSize(200);
    // Each grid place is a cell plus one spacing, centred, so half a spacing around the view completes the
    // inset: the columns then fill the width exactly as the size computation planned them.
    m_collectionView->setSpacing(0);
    m_collectionView->setContentsMargins(0, 0, 0, 0);
    m_collectionView->setFrameShape(QFrame::NoFrame);
    m_collectionView->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    // A scroll bar that came and went with the row count would change the width, and so the columns, again.
    m_collectionView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_collectionView->viewport()->installEventFilter(this);
    m_collectionView->setModel(m_model);
    m_collectionView->setItemDelegate(m_delegate);
    auto* gridArea = new QVBoxLayout;
    gridArea->setContentsMargins(CardGridMetrics::DesktopInset / 2, CardGridMetrics::DesktopInset / 2,
                                 CardGridMetrics::DesktopInset / 2, 0);
    gridArea->addWidget(m_collectionView);
    layout->addLayout(gridArea, 1);

    // The all-cards, no-search board offers its first card; a filter or a search that matches nothing only says so.
    m_emptyState = new BoardEmptyState(m_collectionView, m_header);
    connect(m_emptyState, &BoardEmptyState::newCardRequested, this, [this] { newClicked(nullptr); });
    buildToolbarView();
    layout->addWidget(m_toolbarView);
    updateHeader();
}

void PvCardViewController::buildToolbarView()
{
    m_toolbarView = new QWidget(this);
    m_toolbarView->setObjectName(QStringLiteral("toolbarView"));
    auto* bar = new QHBoxLayout(m_toolbarView);
    bar->setContentsMargins(12, 4, 12, 4);
    bar->addStretch(1);
    m_contextButton = new QToolButton(m_toolbarView);
    m_contextButton->setObjectName(QStringLiteral("contextButton"));
    m_contextButton->setIcon(SymbolIcons::icon(QStringLiteral("ellipsis.circle")));
    m_contextButton->setToolTip(tr("Board Menu"));
    m_contextButton->setAutoRaise(true);
    m_contextButton->setPopupMode(QToolButton::InstantPopup);
    bar->addWidget(m_contextButton);
}

const QList<ProjectItem*>& PvCardViewController::filteredCards() const
{
    return m_sameLists ? m_cards : m_filteredCards;
}

void PvCardViewController::setCompactCards(bool compact)
{
    m_compactCards = compact;
    m_delegate->setCompactCards(compact);
    updateCellSize();
}

void PvCardViewController::loadCards(const QString& folderId)
{
    const bool searching = !m_itemQuery.isEmpty();
    CardBoardLoader::Result result = CardBoardLoader::loadCards(
        {m_context, m_currentProjectId, folderId, m_itemFilter, m_itemFilterParm, m_itemQuery}, this);
    m_cards = std::move(result.cards);
    // With all cards and no search both names stand for one list, so edits in place reach both.
    m_sameLists = m_itemFilter == CardFilter::AllCards && !searching;
    m_filteredCards = m_sameLists ? QList<ProjectItem*>() : std::move(result.filteredCards);
    m_dataLoaded = true;
}

void PvCardViewController::redraw()
{
    m_model->setCountSource(m_context, m_currentProjectId, m_itemFilter, m_itemFilterParm, m_itemQuery);
    m_model->setItems(filteredCards());
    updateHeader();
    updateEmptyState();
    emit boardReloaded();
}

void PvCardViewController::reloadBoard(bool scrollToEnd)
{
    ProgressHud::show();
    QPointer<PvCardViewController> self(this);
    // The folder the writer was in when the reload was asked for: after a change of folder meanwhile, the new
    // folder has loaded already and this reload has nothing left to do.
    const QString projectId = m_currentProjectId;
    const QString folderId = m_currentFolderId;
    auto stillThere = [self, projectId, folderId] {
        return self && self->m_currentProjectId == projectId && self->m_currentFolderId == folderId;
    };
    Dispatch::main([self, scrollToEnd, stillThere, folderId] {
        if (!stillThere())
            return ProgressHud::dismiss();
        self->loadCards(folderId);
        Dispatch::main([self, scrollToEnd, stillThere] {
            if (stillThere())
                self->redraw();
            ProgressHud::dismiss();
            if (stillThere() && scrollToEnd && !self->filteredCards().isEmpty())
                self->m_collectionView->scrollToBottom();
        });
    });
}

void PvCardViewController::setItemFilter(qint64 filter, const QString& parm)
{
    m_itemFilter = filter;
    m_itemFilterParm = parm;
    UserDefaults::standard().setValue(PrefItemFilter, filter);
    UserDefaults::standard().setValue(PrefItemFilterParm, parm.isNull() ? QVariant() : QVariant(parm));
    emit filterChanged(filter);
    reloadBoard(false);
    updateAppearance();
}

void PvCardViewController::updateAppearance()
{
    BoardAppearance::apply(this, m_toolbarView, m_currentTitle);
}

void PvCardViewController::clearFilter()
{
    setItemFilter(m_cardProps.propForIntCardType(CardFilter::AllCards).itemType());
    if (SidebarViewController* filters = sidebar())
        filters->select(CardFilter::AllCards);
}

SidebarViewController* PvCardViewController::sidebar() const
{
    for (QWidget* up = parentWidget(); up; up = up->parentWidget()) {
        if (auto* split = qobject_cast<ProjectSplitViewController*>(up))
            return qobject_cast<SidebarViewController*>(split->primaryViewController());
    }
    return nullptr;
}

void PvCardViewController::refreshSidebar()
{
    if (SidebarViewController* filters = sidebar()) {
        filters->reload();
        filters->select(m_itemFilter);
    }
}

void PvCardViewController::showTagFilterChooser()
{
    QPointer<PvCardViewController> self(this);
    // Opened once the menu or sidebar row that asked for it has finished.
    Dispatch::after(Delays::scaled(TagFilterChooserDelayMs), [self] {
        if (!self)
            return;
        // No card-type table: every tag but None is offered, so a choice is always a tag to filter by.
        self->tagMenu().showMenu(
            ProjectItemTypes::Folder, TagFilterChooserTitle, nullptr, self,
            [self](const QString& tagId) {
                if (!self || tagId == TagMenuController::ClearTag)
                    return;
                if (SidebarViewController* filters = self->sidebar())
                    filters->select(CardFilter::Tagged);
                self->setItemFilter(CardFilter::Tagged, tagId);
            },
            [self] {
                // Closed without a choice: the sidebar's highlight returns to the filter in force.
                if (!self)
                    return;
                if (SidebarViewController* filters = self->sidebar())
                    filters->select(self->m_itemFilter);
            });
    });
}

void PvCardViewController::search(const QString& text)
{
    const QString query = text.trimmed().isEmpty() ? QString() : Indexer::predicate(QStringLiteral("terms"), text);
    if (query.isEmpty()) {
        m_itemQuery.clear();
        m_itemRegex.clear();
        m_itemQueryText.clear();
    } else {
        m_itemQueryText = text;
        m_itemQuery = query;
        m_itemRegex = Indexer::regexWith(text);
    }
    reloadBoard(false);
}

bool PvCardViewController::currentFolderExists() const
{
    return CardBoardLoader::currentFolderExists(m_context, m_currentProjectId, m_currentFolderId);
}

void PvCardViewController::updateHeader()
{
    const bool shows = CardBoardLoader::showsHeader(m_itemFilter);
    m_header->setVisible(shows);
    if (!shows)
        return;
    QColor background(HeaderBackground);
    QColor text(Qt::white);
    QIcon icon;
    const QString symbol = CardBoardLoader::headerSymbol(m_itemFilter, m_itemFilterParm);
    if (m_itemFilter < CardFilter::AllCards && symbol.isEmpty()) {
        const CardProp& prop = m_cardProps.propForIntCardType(m_itemFilter);
        background = prop.cardColor();
        text = prop.textColor();
        // The type's tile is its glyph in the type's text colour on the type's colour: on this header, the glyph.
        icon = prop.cardImage();
    } else if (!symbol.isEmpty()) {
        // A symbol takes the header's text colour, as a template image does, whatever colours its theme gave it.
        icon = QIcon(new TintedIconEngine(SymbolIcons::icon(symbol), text));
    }
    QPalette palette = m_header->palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::ButtonText, text);
    m_header->setPalette(palette);
    m_headerIcon->setPixmap(icon.isNull() ? QPixmap() : icon.pixmap(20, 20));
    m_headerLabel->setText(CardBoardLoader::headerText(m_itemFilter, m_itemFilterParm, m_cardProps));
}

QLabel* PvCardViewController::emptyStateLabel() const
{
    return m_emptyState->label();
}

EmptyStateButton* PvCardViewController::emptyStateButton() const
{
    return m_emptyState->button();
}

void PvCardViewController::updateEmptyState()
{
    m_emptyState->place({m_dataLoaded && filteredCards().isEmpty(), m_itemFilter, !m_itemQuery.isEmpty()}, m_cardProps);
}

void PvCardViewController::updateCellSize()
{
    const int width = CardGridMetrics::widthForViewport(m_collectionView->viewport()->width());
    CardGridMetrics::updateCellSize(width, m_compactCards);
    const QSize grid =
        CardGridMetrics::cellSize() + QSize(CardGridMetrics::DesktopSpacing, CardGridMetrics::DesktopSpacing);
    if (m_collectionView->gridSize() != grid)
        m_collectionView->setGridSize(grid);
    else
        m_collectionView->doItemsLayout();
}

void PvCardViewController::resizeEvent(QResizeEvent* event)
{
    ViewController::resizeEvent(event);
    updateEmptyState();
}

bool PvCardViewController::eventFilter(QObject* watched, QEvent* event)
{
    // The columns follow the width the cells really get, which the viewport knows.
    if (watched == m_collectionView->viewport() && event->type() == QEvent::Resize) {
        updateCellSize();
        updateEmptyState();
    }
    return ViewController::eventFilter(watched, event);
}

void PvCardViewController::selectItem(int row)
{
    m_navigator->selectItem(row);
}

void PvCardViewController::menuButtonClicked(int row)
{
    const QList<ProjectItem*>& shown = filteredCards();
    if (row < 0 || row >= shown.size())
        return;
    if (m_cardMenu)
        m_cardMenu->deleteLater();
    m_cardMenu = m_menus->makeCardMenu(shown.at(row), this);
    m_cardMenu->setAttribute(Qt::WA_DeleteOnClose);
    const QRect cell = m_collectionView->visualRect(m_model->index(row));
    m_cardMenu->popup(m_collectionView->viewport()->mapToGlobal(m_delegate->menuButtonRect(cell).bottomLeft()));
}

void PvCardViewController::notesButtonClicked(int row)
{
    const QList<ProjectItem*>& shown = filteredCards();
    if (row < 0 || row >= shown.size())
        return;
    auto* editor =
        qobject_cast<CardNotesViewController*>(Storyboard::instantiate(CardNotesViewController::StoryboardIdentifier));
    if (!editor)
        return;
    ProjectItem* item = shown.at(row);
    editor->setNotes(item->notes());
    QPointer<PvCardViewController> self(this);
    // The editor reports to the card by identifier: the board may have reloaded while the sheet was open.
    editor->setNotesModified([self, itemId = item->uniqueIdentifier()](const QString& notes) {
        if (self)
            self->notesModified(itemId, notes.isEmpty() ? std::nullopt : std::optional<QString>(notes));
    });
    present(new NavigationController(editor), true, {}, PresentationStyle::FormSheet);
}

void PvCardViewController::notesModified(const QString& itemId, const std::optional<QString>& notes)
{
    m_menus->notesModified(itemId, notes);
}

void PvCardViewController::rebuildBoardMenu()
{
    if (m_boardMenu)
        m_boardMenu->deleteLater();
    m_boardMenu = m_menus->makeBoardMenu(this);
    m_contextButton->setMenu(m_boardMenu);
}

void PvCardViewController::showNewCardChooser()
{
    m_itemCreation->showNewCardChooser();
}

void PvCardViewController::createNewItem(int cardTag)
{
    m_itemCreation->createNewItem(cardTag);
}

void PvCardViewController::showLists()
{
    m_model->setItems(filteredCards());
    updateEmptyState();
}

void PvCardViewController::reloadCardsNow()
{
    loadCards(m_currentFolderId);
    redraw();
}

void PvCardViewController::swapHomeBackItem(const QString& identifier)
{
    Toolbar* toolbar = appDelegate() ? appDelegate()->toolbar() : nullptr;
    if (!toolbar || m_installedToolbarItems.isEmpty())
        return;
    // The home or back item is the last the board inserted, so it stands first; it is replaced where it is.
    QString& current = m_installedToolbarItems.last();
    const qsizetype index = toolbar->itemIdentifiers().indexOf(current);
    if (index < 0)
        return;
    toolbar->removeItemAtIndex(int(index));
    toolbar->insertItemWithItemIdentifier(identifier, int(index));
    current = identifier;
}

void PvCardViewController::setViewBottomConst(int constant)
{
    m_viewBottomConst = constant;
    // The constant is the keyboard's overlap as a negative distance; the content ends that far above the bottom.
    QMargins margins = ViewController::layout()->contentsMargins();
    margins.setBottom(std::max(0, -constant));
    ViewController::layout()->setContentsMargins(margins);
}

void PvCardViewController::keyboardWillShow(const QRect& endFrame, double duration)
{
    Q_UNUSED(duration)
    const QPoint origin = window() ? mapFrom(window(), endFrame.topLeft()) : endFrame.topLeft();
    const int overlap = height() - origin.y();
    setViewBottomConst(-overlap);
}

void PvCardViewController::keyboardWillHide(double duration)
{
    Q_UNUSED(duration)
    setViewBottomConst(0);
}

void PvCardViewController::splitViewColumnChanged()
{
    updateCellSize();
    m_model->refresh();
}

void PvCardViewController::backButtonPressed(QObject*)
{
    goBack();
}

void PvCardViewController::newClicked(QObject*)
{
    showNewCardChooser();
}

void PvCardViewController::newFolderClicked(QObject*)
{
    createNewItem(0);
}

void PvCardViewController::quitReceived(QObject*)
{
    if (AppDelegate* app = appDelegate())
        app->confirmQuit();
}

void PvCardViewController::orderFrontStandardAboutPanel(QObject*)
{
    if (appDelegate() && AppKitBridge::appKitController())
        AppKitBridge::showAbout(appDelegate());
}

void PvCardViewController::checkForUpdates(QObject*)
{
    if (appDelegate() && AppKitBridge::appKitController())
        AppKitBridge::checkForUpdates();
}

bool PvCardViewController::canPerformAction(const QByteArray& action) const
{
    static const QList<QByteArray> own = {"backButtonPressed", "newClicked",      "newFolderClicked",
                                          "quitReceived",      "checkForUpdates", "orderFrontStandardAboutPanel"};
    return own.contains(action);
}

void PvCardViewController::viewDidLoad()
{
    ViewController::viewDidLoad();
    if (m_topTitle.isEmpty())
        m_topTitle = m_currentTitle;
    if (m_context && !m_currentProjectId.isEmpty())
        m_achievementsManager = std::make_unique<AchievementsManager>(m_context, m_currentProjectId);
    const QVariant compact = UserDefaults::standard().value(PvCardViewController::PrefCompactCards);
    if (compact.isValid())
        setCompactCards(compact.toBool());
}

void PvCardViewController::viewWillAppear(bool animated)
{
    ViewController::viewWillAppear(animated);
    updateAppearance();
    UserDefaults& defaults = UserDefaults::standard();
    m_itemFilter =
        defaults.value(PrefItemFilter).isValid() ? defaults.integerForKey(PrefItemFilter) : CardFilter::AllCards;
    const QVariant parm = defaults.value(PrefItemFilterParm);
    m_itemFilterParm = parm.isValid() ? parm.toString() : QString();
    AppDelegate* app = appDelegate();
    if (!app)
        return;
    app->cardViewController = this;
    installToolbarItems();
    QPointer<PvCardViewController> self(this);
    app->search = [self](const QString& text) {
        if (self)
            self->search(text);
    };
    // The search typed before an editor opened comes back with the board.
    const QString text = app->currentSearchText;
    const QString query = text.trimmed().isEmpty() ? QString() : Indexer::predicate(QStringLiteral("terms"), text);
    m_itemQuery = query;
    m_itemQueryText = query.isEmpty() ? QString() : text;
    m_itemRegex = query.isEmpty() ? QString() : Indexer::regexWith(text);
}

void PvCardViewController::viewDidAppear(bool animated)
{
    ViewController::viewDidAppear(animated);
    // An editor that covered the board has closed: the board sees the store as it is now.
    if (m_context && m_context->isPinned())
        m_context->setQueryGenerationFromToken(std::nullopt);
    m_remoteChanges->startObserving();
    if (!currentFolderExists() && !climbFromMissingFolder())
        return;
    ProgressHud::show();
    loadCards(m_currentFolderId);
    updateCellSize();
    redraw();
    rebuildBoardMenu();
    m_navigator->updateWindowTitle();
    refreshSidebar();
    ProgressHud::dismiss();
    // Words to recover come first; an achievement waits for an appearance with nothing to recover.
    if (!m_recovery->offerIfSnapshot()) {
        BoardAchievementNotice::show(this, achievementsManager(),
                                     m_currentProjectTitle.isEmpty() ? std::nullopt
                                                                     : std::optional(m_currentProjectTitle));
    }
}

void PvCardViewController::viewWillDisappear(bool animated)
{
    m_remoteChanges->stopObserving();
    removeToolbarItems();
    if (AppDelegate* app = appDelegate()) {
        app->search = nullptr;
        if (app->cardViewController == this)
            app->cardViewController = nullptr;
    }
    ViewController::viewWillDisappear(animated);
}

void PvCardViewController::installToolbarItems()
{
    Toolbar* toolbar = appDelegate() ? appDelegate()->toolbar() : nullptr;
    if (!toolbar || !m_installedToolbarItems.isEmpty())
        return;
    m_installedToolbarItems = toolbarIdentifiers(m_currentFolderId);
    for (const QString& identifier : m_installedToolbarItems)
        toolbar->insertItemWithItemIdentifier(identifier, 0);
}

void PvCardViewController::removeToolbarItems()
{
    Toolbar* toolbar = appDelegate() ? appDelegate()->toolbar() : nullptr;
    if (!toolbar)
        return;
    // By identifier rather than six times the first place: items another screen added stay where they are.
    toolbar->removeItemsWithIdentifiers(m_installedToolbarItems);
    m_installedToolbarItems.clear();
}

void PvCardViewController::showFilterMenu()
{
    QList<DialogMenuItem> rows;
    auto row = [this, &rows](const QString& label, const QIcon& icon, qint64 code) {
        rows.append(
            DialogMenuItem(label, icon, std::nullopt, [this, code](std::optional<QString>) { setItemFilter(code); }));
    };
    const CardProp& all = m_cardProps.propForIntCardType(CardFilter::AllCards);
    row(all.pluralLabel(), SymbolIcons::icon(QStringLiteral("rectangle.stack")), all.itemType());
    row(QStringLiteral("From the last 24 hours"), SymbolIcons::icon(QStringLiteral("clock")), CardFilter::Last24Hours);
    row(QStringLiteral("From the last 7 days"), SymbolIcons::icon(QStringLiteral("clock")), CardFilter::Last7Days);
    row(QStringLiteral("From the last 30 days"), SymbolIcons::icon(QStringLiteral("clock")), CardFilter::Last30Days);
    row(QStringLiteral("Open Issue Cards"), SymbolIcons::icon(QStringLiteral("exclamationmark.triangle")),
        CardFilter::OpenIssues);
    row(QStringLiteral("Cards with Notes"), SymbolIcons::icon(QStringLiteral("text.bubble")), CardFilter::WithNotes);
    for (const CardProp& prop : m_cardProps.allProps()) {
        if (prop.canFilter() && prop.itemType() != CardFilter::AllCards)
            row(prop.pluralLabel(), prop.image(), prop.itemType());
    }
    DialogMenu().show(CardBoardLoader::FilterMenuTitle, rows, this);
}

ProjectItem* PvCardViewController::folderRecord() const
{
    return m_currentFolderId == ItemIds::Top ? nullptr : DbHelpers::getItem(m_context, m_currentFolderId);
}

bool PvCardViewController::climbFromMissingFolder()
{
    // As a reload does, the board climbs one level; only a folder shown that is still not there sends the writer
    // back to the project list.
    const QString missing = m_currentFolderId;
    goBack();
    // Unmoved, the board found no level to climb to and has left already.
    if (m_currentFolderId == missing)
        return false;
    if (currentFolderExists())
        return true;
    leaveBoard();
    return false;
}

void PvCardViewController::leaveBoard()
{
    AppDelegate* app = appDelegate();
    if (app && app->initialViewController)
        app->slideOut(app->initialViewController);
}

void PvCardViewController::goBack()
{
    m_navigator->goBack();
}

void PvCardViewController::toggleSidebarAnimated()
{
    auto* split = qobject_cast<ProjectSplitViewController*>(parentWidget() ? parentWidget()->parentWidget() : nullptr);
    for (QWidget* up = parentWidget(); up && !split; up = up->parentWidget())
        split = qobject_cast<ProjectSplitViewController*>(up);
    if (!split)
        return;
    split->primaryViewController()->setVisible(!split->primaryViewController()->isVisible());
    splitViewColumnChanged();
}
