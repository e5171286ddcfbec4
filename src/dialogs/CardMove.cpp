#include "CardMove.h"

#include "core/CardProps.h"
#include "core/DbHelpers.h"
#include "core/Helpers.h"
#include "core/ProjectItem.h"
#include "core/StoreConstants.h"
#include "dialogs/DialogMenu.h"
#include "dialogs/DialogMenuItem.h"
#include "dialogs/SEKDialogMenu.h"
#include "platform/ViewController.h"
#include "platform/store/ManagedObjectContext.h"

namespace {

QString folderOf(const ProjectItem* item)
{
    const QString parentId = item->parentItemId();
    return parentId.isEmpty() ? ItemIds::Top : parentId;
}

} // namespace

std::shared_ptr<CardMove> CardMove::create(ViewController* controller, ManagedObjectContext* context,
                                           const QString& projectId, QList<ProjectItem*>* cards,
                                           QList<ProjectItem*>* filteredCards)
{
    return std::shared_ptr<CardMove>(new CardMove(controller, context, projectId, cards, filteredCards));
}

CardMove::CardMove(ViewController* controller, ManagedObjectContext* context, const QString& projectId,
                   QList<ProjectItem*>* cards, QList<ProjectItem*>* filteredCards)
    : m_parentController(controller), m_managedObjectContext(context), m_currentProjectId(projectId),
      m_boardItems(cards, filteredCards)
{
}

void CardMove::moveCard(ProjectItem* item, const QRect& frame, Completion completion)
{
    Q_UNUSED(frame)
    if (!item)
        return;
    const QString currentFolder = folderOf(item);
    const QList<FolderStackItem> targets =
        DbHelpers::getPossibleTargetFolders(m_managedObjectContext, m_currentProjectId, item, currentFolder);
    const bool atTop = currentFolder == ItemIds::Top;
    if (targets.isEmpty() && atTop) {
        showNoFolders();
        return;
    }

    auto self = sharedSelf<CardMove>();
    QList<DialogMenuItem> rows;
    if (!atTop) {
        rows.append(DialogMenuItem(TopLevelLabel, QIcon(), std::nullopt, [self, item, completion](auto) {
            self->chooseTarget(item, ItemIds::Top, completion);
        }));
    }
    m_folderNamesToIds = targets;
    const QIcon folderIcon = CardProps().propForIntCardType(ProjectItemTypes::Folder).image();
    // Each row names its folder by identifier: two folders may well share a path text.
    for (const FolderStackItem& target : targets) {
        rows.append(DialogMenuItem(target.folderPath(), folderIcon, target.folderId(),
                                   [self, item, completion](std::optional<QString> tag) {
                                       self->chooseTarget(item, tag.value_or(QString()), completion);
                                   }));
    }
    if (Helpers::iPadOrMac())
        DialogMenu().show(MenuTitle, rows, m_parentController);
    else
        SEKDialogMenu().show(MenuTitle, rows);
}

void CardMove::showNoFolders()
{
    auto* alert = new Alert(NoFoldersTitle, NoFoldersMessage, AlertStyle::Alert);
    alert->addAction(OkTitle, AlertActionStyle::Cancel);
    setDialogView(alert);
    alert->present(m_parentController);
}

void CardMove::chooseTarget(ProjectItem* item, const QString& folderId, const Completion& completion)
{
    const bool listed = folderId == ItemIds::Top ||
                        std::any_of(m_folderNamesToIds.begin(), m_folderNamesToIds.end(),
                                    [&folderId](const FolderStackItem& entry) { return entry.folderId() == folderId; });
    // A choice that no longer names a target moves nothing; the board still hears of it and shows what is so.
    if (listed)
        handleMove(item, folderId);
    if (completion)
        completion(item->uniqueIdentifier());
}

bool CardMove::isValidTarget(ProjectItem* item, const QString& folderId) const
{
    if (folderId.isEmpty() || folderId == folderOf(item) || folderId == item->uniqueIdentifier())
        return false;
    if (folderId == ItemIds::Top)
        return true;
    ProjectItem* target = DbHelpers::getItem(m_managedObjectContext, folderId);
    return target && !target->isDeleted() && target->itemType() == ProjectItemTypes::Folder &&
           target->projectId() == m_currentProjectId &&
           !DbHelpers::isDescendentFolder(m_managedObjectContext, item, target);
}

bool CardMove::handleMove(ProjectItem* item, const QString& folderId)
{
    ManagedObjectContext* context = m_managedObjectContext;
    if (!context || !item || !isValidTarget(item, folderId))
        return false;
    const QString itemId = item->uniqueIdentifier();
    const QString sourceFolder = folderOf(item);

    // The item goes after the target's last child as the store holds them, whatever a screen shows of them;
    // numbering the target first closes any gap, so that count + 1 is last and repeats no number.
    DbHelpers::renumberFolderItems(context, m_currentProjectId, folderId, itemId);
    const quint64 count = DbHelpers::getFolderItemsCount(context, m_currentProjectId, folderId);
    item->setParentItemId(folderId);
    item->setDisplayOrder(qint64(count) + 1);
    DbHelpers::updateModDatePath(context, item);
    DbHelpers::updateProjectModDate(context, item->projectId());
    DbHelpers::renumberFolderItems(context, m_currentProjectId, sourceFolder, itemId);
    m_boardItems.remove(itemId);
    // One save for the move and both renumberings: a failure leaves them all pending together, still shown.
    DbHelpers::saveManagedObjectContext(context, m_parentController);
    return true;
}
