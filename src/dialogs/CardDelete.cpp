#include "CardDelete.h"

#include "core/DbHelpers.h"
#include "core/ProjectItem.h"
#include "core/StoreConstants.h"
#include "platform/ViewController.h"
#include "platform/store/ManagedObjectContext.h"

std::shared_ptr<CardDelete> CardDelete::create(ViewController* controller, ManagedObjectContext* context,
                                               const QString& projectId, QList<ProjectItem*>* cards,
                                               QList<ProjectItem*>* filteredCards)
{
    return std::shared_ptr<CardDelete>(new CardDelete(controller, context, projectId, cards, filteredCards));
}

CardDelete::CardDelete(ViewController* controller, ManagedObjectContext* context, const QString& projectId,
                       QList<ProjectItem*>* cards, QList<ProjectItem*>* filteredCards)
    : m_parentController(controller), m_managedObjectContext(context), m_currentProjectId(projectId),
      m_boardItems(cards, filteredCards)
{
}

void CardDelete::deleteCard(ProjectItem* item, Completion completion)
{
    if (!item)
        return;
    setupObservers();
    const bool folder = item->itemType() == ProjectItemTypes::Folder;
    auto* alert = new Alert(folder ? FolderAlertTitle : CardAlertTitle, folder ? FolderAlertMessage : CardAlertMessage,
                            AlertStyle::Alert);
    auto self = sharedSelf<CardDelete>();
    alert->addAction(DeleteTitle, AlertActionStyle::Destructive, [self, item, completion] {
        self->tearDownObservers();
        const QString itemId = item->uniqueIdentifier();
        self->handleDelete(item);
        if (completion)
            completion(itemId);
    });
    alert->addAction(CancelTitle, AlertActionStyle::Cancel, [self] { self->tearDownObservers(); });
    setDialogView(alert);
    alert->present(m_parentController);
}

void CardDelete::handleDelete(ProjectItem* item)
{
    ManagedObjectContext* context = m_managedObjectContext;
    if (!context || !item || item->isDeleted())
        return;
    const QString itemId = item->uniqueIdentifier();
    const QString projectId = item->projectId().isEmpty() ? m_currentProjectId : item->projectId();
    const QString folderId = item->parentItemId().isEmpty() ? ItemIds::Top : item->parentItemId();
    // Stamped while the item still exists, so its folder chain and the project show the change.
    DbHelpers::updateModDatePath(context, item);
    DbHelpers::updateProjectModDate(context, projectId);
    if (item->itemType() == ProjectItemTypes::Folder)
        DbHelpers::deleteFolder(context, projectId, itemId);
    else
        DbHelpers::deleteItem(context, itemId);
    m_boardItems.remove(itemId);
    DbHelpers::renumberFolderItems(context, projectId, folderId, itemId);
    // One save for the deletion and the renumbering: a failure leaves both pending together.
    DbHelpers::saveManagedObjectContext(context, m_parentController);
}
