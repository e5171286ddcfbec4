#include "BoardRecovery.h"

#include "PvCardViewController.h"
#include "core/AutoSaveController.h"
#include "core/DbHelpers.h"
#include "core/ProjectItem.h"
#include "core/StoreConstants.h"
#include "dialogs/RelativeDateFormatter.h"
#include "platform/Alert.h"
#include "platform/store/FetchRequest.h"
#include "platform/store/ManagedObjectContext.h"

namespace {

std::optional<qint64> numberIn(const QVariantMap& snapshot, const QString& key)
{
    bool isNumber = false;
    const qint64 value = snapshot.value(key).toLongLong(&isNumber);
    return isNumber ? std::optional<qint64>(value) : std::nullopt;
}

ProjectItem* itemInProject(ManagedObjectContext* context, const QString& projectId, const QString& itemId)
{
    if (itemId.isEmpty() || !context)
        return nullptr;
    // Both values come from a file on disk: bound, never spliced into the query.
    FetchRequest request = ProjectItem::fetchRequest();
    request.setPredicate(QStringLiteral("uniqueIdentifier == %@ AND projectId == %@"), {itemId, projectId});
    for (ManagedObject* object : context->fetch(request)) {
        auto* item = static_cast<ProjectItem*>(object);
        if (!item->isDeleted())
            return item;
    }
    return nullptr;
}

} // namespace

QString BoardRecovery::message(const QVariantMap& snapshot)
{
    const QString stored = snapshot.value(AutoSaveController::kTitleKey).toString();
    const QString title = stored.isEmpty() ? UntitledTitle : stored;
    const QDateTime saved = snapshot.value(AutoSaveController::kItemSaveDateKey).toDateTime();
    const QString date = saved.isValid() ? RelativeDateFormatter::mediumDateShortTime(saved) : QString();
    return MessageFormat.arg(title, date);
}

bool BoardRecovery::offerIfSnapshot()
{
    // However the alert went, the next appearance may offer again; while it is up, it is the one offer.
    if (m_offer || m_board->currentProjectId().isEmpty())
        return false;
    const std::optional<QVariantMap> snapshot =
        AutoSaveController::hasAutoSaveWithProjectId(m_board->currentProjectId(), false);
    if (!snapshot)
        return false;
    offerAutoSaveRecovery(*snapshot);
    return true;
}

void BoardRecovery::offerAutoSaveRecovery(const QVariantMap& snapshot)
{
    auto* alert = new Alert(AlertTitle, message(snapshot), AlertStyle::Alert);
    alert->setObjectName(QStringLiteral("restoreCardAlert"));
    QPointer<PvCardViewController> board(m_board);
    m_offer = alert;
    alert->addAction(DiscardTitle, AlertActionStyle::Destructive, [board] {
        if (board)
            board->recovery().discardAutoSave();
    });
    alert->addAction(RecoverTitle, AlertActionStyle::Default, [board, snapshot] {
        if (board)
            board->recovery().recoverAutoSave(snapshot);
    });
    alert->present(m_board);
}

CardOpening::RecoveredCard BoardRecovery::resolve(ManagedObjectContext* context, const QString& boardProjectId,
                                                  const QVariantMap& snapshot)
{
    CardOpening::RecoveredCard card;
    const QString projectId = snapshot.value(AutoSaveController::kProjectIdKey).toString();
    card.projectId = projectId.isEmpty() ? boardProjectId : projectId;
    card.itemType = numberIn(snapshot, AutoSaveController::kItemTypeKey).value_or(0);
    card.itemFormat = numberIn(snapshot, AutoSaveController::kItemFormatKey).value_or(ProjectItemFormats::Text);
    card.item =
        itemInProject(context, card.projectId, snapshot.value(AutoSaveController::kProjectItemIdKey).toString());
    if (card.item) {
        card.folderId = card.item->parentItemId();
    } else {
        const QString parent = snapshot.value(AutoSaveController::kParentItemIdKey).toString();
        const ProjectItem* folder = parent == ItemIds::Top ? nullptr : itemInProject(context, card.projectId, parent);
        card.folderId = folder && folder->itemType() == ProjectItemTypes::Folder ? parent : ItemIds::Top;
    }
    card.snapshot = snapshot;
    // The editor takes its folder from the snapshot: it gets the one that exists now.
    card.snapshot.insert(AutoSaveController::kParentItemIdKey, card.folderId);
    return card;
}

void BoardRecovery::recoverAutoSave(const QVariantMap& snapshot)
{
    // The snapshot stays on disk: the editor owns it now and removes it once its words are saved or discarded.
    CardOpening* opening = m_board->cardOpening();
    if (!opening)
        return;
    opening->openRecovered(m_board, resolve(m_board->context(), m_board->currentProjectId(), snapshot));
}

void BoardRecovery::discardAutoSave()
{
    const QString projectId = m_board->currentProjectId();
    if (projectId.isEmpty())
        return;
    AutoSaveController::deleteAutoSaveWithProjectId(projectId, false);
    // A card peeked over the discarded one may have left words of its own: they are offered in turn, by their own
    // title, rather than thrown away unseen with the card they were opened over. This alert has left the screen.
    m_offer = nullptr;
    offerIfSnapshot();
}
