#include "PeekTableViewController.h"

#include "CardSummaryLines.h"
#include "PeekCellDelegate.h"
#include "PeekListModel.h"
#include "core/CardProps.h"
#include "core/DbHelpers.h"
#include "core/Indexer.h"
#include "core/Metrics.h"
#include "core/Project.h"
#include "core/ProjectItem.h"
#include "core/StoreConstants.h"
#include "editors/NoResignTextField.h"
#include "editors/PeekCellView.h"
#include "platform/ColorScheme.h"
#include "platform/NavigationController.h"
#include "platform/SideMenuNavigationController.h"
#include "platform/Storyboard.h"
#include "platform/SymbolIcons.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QListView>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

PeekTableViewController::OpenCardHook& hookStorage()
{
    static PeekTableViewController::OpenCardHook hook;
    return hook;
}

QFont systemFont(double points)
{
    QFont font = QApplication::font();
    font.setPointSizeF(points);
    return font;
}

} // namespace

PeekTableViewController::PeekTableViewController(QWidget* parent)
    : ViewController(parent), m_projectButton(new QToolButton(this)), m_projectMenu(new QMenu(m_projectButton)),
      m_filterTextField(new NoResignTextField(this)), m_tableView(new QListView(this)),
      m_model(new PeekListModel(this)),
      m_delegate(new PeekCellDelegate(
          m_model, [this](PeekCellView* cell, ProjectItem* card) { configureCell(cell, card); }, this))
{
    setObjectName(QStringLiteral("PeekTableViewController"));
    m_projectButton->setObjectName(QStringLiteral("projectButton"));
    m_projectButton->setText(CurrentProjectLabel);
    m_projectButton->setMenu(m_projectMenu);
    // The menu is the button's one action.
    m_projectButton->setPopupMode(QToolButton::InstantPopup);
    m_projectButton->setToolButtonStyle(Qt::ToolButtonTextOnly);
    // The menu's arrow stands after the title in room of its own; in the corner it would cover the last letter.
    m_projectButton->setStyleSheet(QStringLiteral(
        "QToolButton { padding-right: 20px; }"
        " QToolButton::menu-indicator { subcontrol-origin: padding; subcontrol-position: right center; right: 5px; }"));
    m_filterTextField->setObjectName(QStringLiteral("filterTextField"));
    m_filterTextField->setFixedHeight(FilterFieldHeight);
    m_filterTextField->setClearButtonEnabled(true);
    m_filterTextField->addAction(SymbolIcons::icon(QStringLiteral("magnifyingglass")), QLineEdit::LeadingPosition);
    connect(m_filterTextField, &QLineEdit::textEdited, this, &PeekTableViewController::filterEditingChanged);

    m_tableView->setObjectName(QStringLiteral("tableView"));
    m_tableView->setModel(m_model);
    m_tableView->setItemDelegate(m_delegate);
    m_tableView->setFrameShape(QFrame::NoFrame);
    m_tableView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tableView->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_tableView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_tableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(m_tableView, &QListView::clicked, this, &PeekTableViewController::didSelectRow);
    m_tableView->installEventFilter(this);

    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(8, 8, 8, 8);
    bar->setSpacing(8);
    bar->addWidget(m_projectButton);
    bar->addWidget(m_filterTextField, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(bar);
    layout->addWidget(m_tableView, 1);
}

PeekTableViewController::~PeekTableViewController() = default;

void PeekTableViewController::registerInStoryboard()
{
    Storyboard::registerFactory(StoryboardIdentifier, [] { return new PeekTableViewController; });
}

void PeekTableViewController::setOpenCardHook(OpenCardHook hook)
{
    hookStorage() = std::move(hook);
}

const PeekTableViewController::OpenCardHook& PeekTableViewController::openCardHook()
{
    return hookStorage();
}

double PeekTableViewController::menuWidthFor(double parentWidth)
{
    return std::min(parentWidth * MenuWidthShare, MaxMenuWidth);
}

SideMenuNavigationController* PeekTableViewController::openInSideView(PeekTableViewController* peekList,
                                                                      ViewController* controller,
                                                                      const QRectF& parentBounds)
{
    Q_UNUSED(controller)
    SideMenuSettings settings;
    // The panel lies over the editor and slides in over it; the editor stays where it is.
    settings.presentationStyle.menuOnTop = true;
    settings.presentationStyle.menuTranslateFactor = -1;
    settings.presentationStyle.presentingTranslateFactor = 0;
    settings.presentationStyle.onTopShadowOpacity = ShadowOpacity;
    settings.menuWidth = menuWidthFor(parentBounds.width());
    settings.blurEffectStyle = ColorScheme::isDark() ? BlurEffectStyle::Dark : BlurEffectStyle::Light;
    settings.statusBarEndAlpha = 0;
    auto* menu = new SideMenuNavigationController(peekList, settings);
    // The tint behind the panel follows the scheme the writer switches to while the editor is open.
    QObject::connect(ColorScheme::instance(), &ColorScheme::changed, menu,
                     [menu](bool dark) { setBlurEffect(menu, dark ? BlurEffectStyle::Dark : BlurEffectStyle::Light); });
    return menu;
}

void PeekTableViewController::setBlurEffect(SideMenuNavigationController* menu, BlurEffectStyle style)
{
    if (!menu)
        return;
    SideMenuSettings settings = menu->settings();
    settings.blurEffectStyle = style;
    menu->setSettings(settings);
}

void PeekTableViewController::setManagedObjectContext(ManagedObjectContext* context)
{
    m_context = context;
    m_model->setContext(context);
}

void PeekTableViewController::setCurrentObject(ProjectItem* currentObject)
{
    m_currentObject = currentObject;
    m_model->setExcludedItemId(currentObject ? currentObject->value(ProjectItem::UniqueIdentifierKey).toString()
                                             : QString());
}

bool PeekTableViewController::filtering() const
{
    return m_model->isFiltering();
}

const QHash<QString, QList<ProjectItem*>>& PeekTableViewController::items() const
{
    return m_model->items();
}

void PeekTableViewController::viewDidLoad()
{
    ViewController::viewDidLoad();
    m_currentProjectId = m_projectId;
    m_model->showProject(m_currentProjectId, loadFolders());
    m_projects = DbHelpers::getProjects(m_context);
    m_projectButton->setText(CurrentProjectLabel);
    buildProjectMenu();
}

void PeekTableViewController::viewWillAppear(bool animated)
{
    ViewController::viewWillAppear(animated);
    if (NavigationController* navigation = navigationController())
        navigation->setNavigationBarHidden(true);
    if (m_prePeek)
        m_prePeek();
}

void PeekTableViewController::viewDidDisappear(bool animated)
{
    ViewController::viewDidDisappear(animated);
    if (m_postPeek)
        m_postPeek();
}

QList<FolderStackItem> PeekTableViewController::loadFolders() const
{
    QList<FolderStackItem> folders =
        DbHelpers::getPossibleTargetFolders(m_context, m_currentProjectId, m_currentObject, ItemIds::Top);
    FolderStackItem top(ItemIds::Top, QString(), TopLevelLabel, nullptr);
    top.setFolderPath(TopLevelLabel);
    folders.prepend(top);
    return folders;
}

void PeekTableViewController::buildProjectMenu()
{
    m_projectMenu->clear();
    QAction* current = nullptr;
    for (Project* project : std::as_const(m_projects)) {
        const bool isCurrent = project->uniqueIdentifier() == m_projectId;
        auto* action = new QAction(isCurrent ? CurrentProjectLabel : project->projectTitle(), m_projectMenu);
        connect(action, &QAction::triggered, this, [this, project] { switchProject(project); });
        if (isCurrent && !current)
            current = action;
        else
            m_projectMenu->addAction(action);
    }
    if (current)
        m_projectMenu->insertAction(m_projectMenu->actions().value(0), current);
}

void PeekTableViewController::switchProject(Project* project)
{
    // A project deleted since the menu was built has nothing left to list.
    if (!project || project->isDeleted())
        return;
    const QString projectId = project->uniqueIdentifier();
    m_projectButton->setText(projectId == m_projectId ? CurrentProjectLabel : project->projectTitle());
    m_currentProjectId = projectId;
    const bool wasFiltering = filtering();
    m_model->showProject(m_currentProjectId, loadFolders());
    // A typed filter stays typed: its results are those of the project now shown, never the last one's.
    if (wasFiltering || !m_filterTextField->text().trimmed().isEmpty())
        runFilter();
}

void PeekTableViewController::reloadFolder(const QString& folderId)
{
    if (!folderId.isEmpty())
        m_model->dropFolder(folderId);
    if (filtering())
        runFilter();
    else
        m_model->reload();
}

void PeekTableViewController::filterEditingChanged()
{
    runFilter();
}

void PeekTableViewController::runFilter()
{
    // The words reach the store as escaped literals inside a predicate that must parse whole on its own; an
    // empty query lists every folder again.
    const QString query = Indexer::predicateFor(TermsField, m_filterTextField->text());
    refreshKeepingFocus([this, &query] { m_model->showFiltered(query); });
}

void PeekTableViewController::refreshKeepingFocus(const std::function<void()>& refresh)
{
    const bool focused = m_filterTextField->hasFocus();
    m_filterTextField->setCanResign(false);
    refresh();
    m_filterTextField->setCanResign(true);
    if (focused)
        m_filterTextField->becomeFirstResponder();
}

void PeekTableViewController::didSelectRow(const QModelIndex& index)
{
    const int section = m_model->sectionOfRow(index.row());
    ProjectItem* card = m_model->itemAt(index);
    m_tableView->clearSelection();
    if (!card || section < 0)
        return;
    const QString cardId = card->uniqueIdentifier();
    // A card deleted since the list was read (here or by another process) is no longer there to open.
    if (card->isDeleted() || !DbHelpers::getItem(m_context, cardId)) {
        reloadFolder(card->parentItemId());
        return;
    }
    if (!m_model->excludedItemId().isEmpty() && cardId == m_model->excludedItemId())
        return;
    const OpenCardHook& hook = openCardHook();
    if (!hook)
        return;
    PeekCardRequest request;
    request.presenter = this;
    request.context = m_context;
    request.card = card;
    request.cards = m_model->sectionItems(section);
    request.cardProps = m_cardProps;
    request.filtering = filtering();
    request.regexQuery = filtering() ? Indexer::regexWith(m_filterTextField->text()) : QString();
    request.cardModified = [panel = QPointer<PeekTableViewController>(this)](const QString& folderId) {
        if (panel)
            panel->reloadFolder(folderId);
    };
    hook(request);
}

bool PeekTableViewController::eventFilter(QObject* watched, QEvent* event)
{
    // Return opens the current row, as a click does.
    if (watched == m_tableView && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && m_tableView->currentIndex().isValid()) {
            didSelectRow(m_tableView->currentIndex());
            return true;
        }
    }
    return ViewController::eventFilter(watched, event);
}

void PeekTableViewController::configureCell(PeekCellView* cell, ProjectItem* card) const
{
    cell->cardTitleView()->setFont(systemFont(Metrics::scaled(TitleFontSize)));
    QLabel* summary = cell->cardSummaryView();
    summary->setFont(systemFont(Metrics::scaled(SummaryFontSize)));
    // The lines are broken here, as on the board's cells: whole lines only, the last one ending in "…".
    summary->setWordWrap(false);
    if (!card)
        return;
    cell->cardTitleView()->setText(card->title());
    if (cell->layout())
        cell->layout()->activate();
    const QRect box = summary->contentsRect();
    summary->setText(CardSummaryLines::visibleLines(card->summary(), summary->font(), box.width(), box.height())
                         .join(QLatin1Char('\n')));
    const QIcon image = m_cardProps ? m_cardProps->propForIntCardType(card->itemType()).cardImage() : QIcon();
    cell->cardTypeView()->setPixmap(image.isNull() ? QPixmap()
                                                   : image.pixmap(PeekCellView::ImageSize, PeekCellView::ImageSize));
}
