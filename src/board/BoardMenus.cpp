#include "BoardMenus.h"

#include "BoardImportExport.h"
#include "CardListModel.h"
#include "DestructiveMenu.h"
#include "PvCardViewController.h"
#include "core/DbHelpers.h"
#include "core/Project.h"
#include "core/ProjectItem.h"
#include "core/StoreConstants.h"
#include "dialogs/CardChangeType.h"
#include "dialogs/CardDelete.h"
#include "dialogs/CardInfo.h"
#include "dialogs/CardMove.h"
#include "dialogs/MacCardRename.h"
#include "dialogs/TagMenuController.h"
#include "export/CompiledViewController.h"
#include "platform/NavigationController.h"
#include "platform/Storyboard.h"
#include "platform/SymbolIcons.h"
#include "platform/UserDefaults.h"
#include "stats/SettingsViewController.h"
#include "stats/StatisticsViewController.h"

#include <QMenu>
#include <QPainter>

BoardMenus::BoardMenus(PvCardViewController* board) : m_board(board)
{
}

void BoardMenus::markDestructive(QAction* action)
{
    QPixmap pixmap = action->icon().pixmap(32, 32);
    QPainter painter(&pixmap);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(pixmap.rect(), DestructiveColor);
    painter.end();
    action->setIcon(QIcon(pixmap));
    action->setProperty(DestructiveProperty, true);
}

QMenu* BoardMenus::makeBoardMenu(QWidget* parent) const
{
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("boardMenu"));
    QPointer<PvCardViewController> board(m_board);
    const bool compact = m_board->compactCards();
    menu->addAction(
        SymbolIcons::icon(compact ? QStringLiteral("plus.magnifyingglass") : QStringLiteral("minus.magnifyingglass")),
        compact ? LargeCardsTitle : CompactCardsTitle, menu, [board, compact] {
            if (board)
                board->menus().setCompactCards(!compact);
        });
    if (DbHelpers::hasManuscriptCards(m_board->context(), m_board->currentProjectId(), m_board->currentFolderId())) {
        menu->addAction(SymbolIcons::icon(QStringLiteral("rectangle.stack")), CompileTitle, menu, [board] {
            if (board)
                board->menus().showCompiledView();
        });
    }
    menu->addAction(SymbolIcons::icon(QStringLiteral("square.and.arrow.down")), ImportTitle, menu, [board] {
        if (board)
            board->importExport()->showImportChooser();
    });
    menu->addAction(SymbolIcons::icon(QStringLiteral("square.and.arrow.up")), ExportTitle, menu, [board] {
        if (board)
            board->importExport()->showExportChooser();
    });
    menu->addAction(SymbolIcons::icon(QStringLiteral("info.circle")), FolderInfoTitle, menu, [board] {
        if (board)
            board->menus().showFolderInfo();
    });
    menu->addAction(SymbolIcons::icon(QStringLiteral("speedometer")), StatisticsTitle, menu, [board] {
        if (board)
            board->menus().showStatistics();
    });
    menu->addAction(SymbolIcons::icon(QStringLiteral("gear")), SettingsTitle, menu, [board] {
        if (board)
            board->menus().showSettings();
    });
    return menu;
}

QMenu* BoardMenus::makeCardMenu(ProjectItem* item, QWidget* parent) const
{
    auto* menu = new DestructiveMenu(parent);
    menu->setObjectName(QStringLiteral("cardMenu"));
    if (!item)
        return menu;
    QPointer<PvCardViewController> board(m_board);
    // The handlers keep the identifier, never the row or the record: both may be stale when they run.
    const QString itemId = item->uniqueIdentifier();
    auto add = [&](const QIcon& icon, const QString& title, void (BoardMenus::*operation)(const QString&) const) {
        return menu->addAction(icon, title, menu, [board, itemId, operation] {
            if (board)
                (board->menus().*operation)(itemId);
        });
    };
    if (!CardListModel::isFolder(item))
        add(SymbolIcons::icon(QStringLiteral("rectangle.split.3x3.fill")), CardTypeTitle, &BoardMenus::changeCardType);
    add(SymbolIcons::icon(QStringLiteral("text.cursor")), TitleTitle, &BoardMenus::renameItem);
    add(SymbolIcons::icon(QStringLiteral("tag")), TagsTitle, &BoardMenus::chooseTag);
    add(SymbolIcons::icon(QStringLiteral("folder")), MoveTitle, &BoardMenus::moveItem);
    add(SymbolIcons::icon(QStringLiteral("info.circle")), InfoTitle, &BoardMenus::showInfo);
    markDestructive(add(SymbolIcons::icon(QStringLiteral("trash")), DeleteTitle, &BoardMenus::deleteItem));
    return menu;
}

void BoardMenus::setCompactCards(bool compact) const
{
    UserDefaults::standard().setValue(PvCardViewController::PrefCompactCards, compact);
    m_board->setCompactCards(compact);
    m_board->model()->refresh();
    m_board->rebuildBoardMenu();
}

void BoardMenus::showFolderInfo() const
{
    ManagedObjectContext* context = m_board->context();
    std::optional<QDateTime> date;
    if (m_board->currentFolderId() == ItemIds::Top) {
        if (Project* project = DbHelpers::getProject(context, m_board->currentProjectId());
            project && project->lastModified().isValid())
            date = project->lastModified();
    } else if (ProjectItem* folder = DbHelpers::getItem(context, m_board->currentFolderId());
               folder && folder->lastModified().isValid()) {
        date = folder->lastModified();
    }
    CardInfo::create(m_board, context)
        ->showInfo(m_board->currentProjectId(), m_board->currentFolderId(), ProjectItemTypes::Folder,
                   m_board->currentTitle(), 0, 0, date);
}

void BoardMenus::showCompiledView() const
{
    auto* compiled = qobject_cast<CompiledViewController*>(Storyboard::instantiate(CompiledViewController::Identifier));
    if (!compiled)
        return;
    compiled->managedObjectContext = m_board->context();
    compiled->projectId = m_board->currentProjectId();
    compiled->folderId = m_board->currentFolderId();
    compiled->folderTitle = m_board->currentTitle();
    m_board->present(new NavigationController(compiled), true, {}, PresentationStyle::FullScreen);
}

void BoardMenus::showStatistics() const
{
    std::optional<QDateTime> lastModified;
    if (Project* project = DbHelpers::getProject(m_board->context(), m_board->currentProjectId());
        project && project->lastModified().isValid())
        lastModified = project->lastModified();
    StatisticsViewController::present(m_board, m_board->context(), m_board->currentProjectId(), lastModified);
}

void BoardMenus::showSettings() const
{
    SettingsViewController::present(m_board, m_board->context(), m_board->currentProjectId());
}

ProjectItem* BoardMenus::shownItem(const QString& itemId) const
{
    for (ProjectItem* item : m_board->filteredCards()) {
        if (item->uniqueIdentifier() == itemId && !item->isDeleted())
            return item;
    }
    // Deleted elsewhere, moved away or reloaded out of the folder: nothing to act on, and the board catches up.
    m_board->reloadBoard(false);
    return nullptr;
}

void BoardMenus::stampAndSave(ProjectItem* item) const
{
    DbHelpers::updateModDatePath(m_board->context(), item);
    DbHelpers::saveManagedObjectContext(m_board->context(), m_board);
}

void BoardMenus::changeCardType(const QString& itemId) const
{
    ProjectItem* item = shownItem(itemId);
    if (!item)
        return;
    QPointer<PvCardViewController> board(m_board);
    CardChangeType::create(m_board, m_board->context())
        ->changeCardType(item, m_board->cardProps(), m_board->contextFrame(), [board](const QString& changedId) {
            if (board)
                board->menus().cardTypeChanged(changedId);
        });
}

void BoardMenus::renameItem(const QString& itemId) const
{
    ProjectItem* item = shownItem(itemId);
    if (!item)
        return;
    QPointer<PvCardViewController> board(m_board);
    MacCardRename::create(m_board, m_board->context())
        ->renameCard(item, false, [board](const QString&, const QString& renamedId) {
            if (board)
                board->menus().itemChanged(renamedId);
        });
}

void BoardMenus::chooseTag(const QString& itemId) const
{
    ProjectItem* item = shownItem(itemId);
    if (!item)
        return;
    QPointer<PvCardViewController> board(m_board);
    m_board->tagMenu().showMenu(item->itemType(), SetTagTitle, &m_board->cardProps(), m_board,
                                [board, itemId](const QString& tagId) {
                                    if (board)
                                        board->menus().tagChosen(itemId, tagId);
                                });
}

void BoardMenus::moveItem(const QString& itemId) const
{
    ProjectItem* item = shownItem(itemId);
    if (!item)
        return;
    QPointer<PvCardViewController> board(m_board);
    CardMove::create(m_board, m_board->context(), m_board->currentProjectId(), &m_board->mutableCards(),
                     &m_board->mutableFilteredCards())
        ->moveCard(item, m_board->contextFrame(), [board](const QString& movedId) {
            if (board)
                board->menus().itemRemoved(movedId);
        });
}

void BoardMenus::showInfo(const QString& itemId) const
{
    if (ProjectItem* item = shownItem(itemId))
        CardInfo::create(m_board, m_board->context())->showInfo(item);
}

void BoardMenus::deleteItem(const QString& itemId) const
{
    ProjectItem* item = shownItem(itemId);
    if (!item)
        return;
    QPointer<PvCardViewController> board(m_board);
    CardDelete::create(m_board, m_board->context(), m_board->currentProjectId(), &m_board->mutableCards(),
                       &m_board->mutableFilteredCards())
        ->deleteCard(item, [board](const QString& deletedId) {
            if (board)
                board->menus().itemRemoved(deletedId);
        });
}

void BoardMenus::cardTypeChanged(const QString& itemId) const
{
    ProjectItem* item = shownItem(itemId);
    if (!item)
        return;
    if (m_board->itemFilter() == CardFilter::AllCards) {
        m_board->model()->refreshItem(item);
    } else {
        // The new type may no longer pass the filter. The card is still a child of the folder, so the full
        // list keeps it: only what is shown loses it.
        m_board->mutableFilteredCards().removeAll(item);
        m_board->showLists();
    }
    m_board->refreshSidebar();
}

void BoardMenus::itemChanged(const QString& itemId) const
{
    if (ProjectItem* item = shownItem(itemId))
        m_board->model()->refreshItem(item);
}

void BoardMenus::tagChosen(const QString& itemId, const QString& tagId) const
{
    ProjectItem* item = shownItem(itemId);
    if (!item)
        return;
    TagMenuController::applyTag(item, tagId);
    stampAndSave(item);
    m_board->model()->refreshItem(item);
    m_board->refreshSidebar();
}

void BoardMenus::itemRemoved(const QString&) const
{
    // The operation took the item out of both lists by identifier; the grid follows the lists.
    m_board->showLists();
    m_board->refreshSidebar();
}

void BoardMenus::notesModified(const QString& itemId, const std::optional<QString>& notes) const
{
    ProjectItem* item = DbHelpers::getItem(m_board->context(), itemId);
    if (!item || item->isDeleted()) {
        m_board->reloadBoard(false);
        return;
    }
    item->setNotes(notes.value_or(QString()));
    stampAndSave(item);
    m_board->refreshSidebar();
}
