#include "BoardRemoteChanges.h"

#include "PvCardViewController.h"
#include "core/AppDelegate.h"
#include "platform/Dispatch.h"
#include "platform/NotificationCenter.h"
#include "platform/store/ManagedObjectContext.h"
#include "platform/store/PersistentContainer.h"

#include <QPointer>

BoardRemoteChanges::BoardRemoteChanges(PvCardViewController* board) : m_board(board)
{
    if (ManagedObjectContext* context = board->context())
        m_historyToken = context->lastHistoryToken();
}

BoardRemoteChanges::~BoardRemoteChanges()
{
    stopObserving();
}

void BoardRemoteChanges::startObserving()
{
    if (m_storeObserver)
        return;
    AppDelegate* app = AppDelegate::shared();
    const void* container = app ? app->persistentContainer() : nullptr;
    QPointer<PvCardViewController> board(m_board);
    m_storeObserver = NotificationCenter::defaultCenter().addObserver(
        QString::fromLatin1(PersistentContainer::RemoteChangeNotification), container,
        [board](const Notification&) {
            if (board && board->remoteChanges().hasRelevantHistoryChanges())
                board->remoteChanges().reloadAfterRemoteChange();
        },
        m_board);
}

void BoardRemoteChanges::stopObserving()
{
    if (m_storeObserver)
        NotificationCenter::defaultCenter().removeObserver(*m_storeObserver);
    m_storeObserver.reset();
}

bool BoardRemoteChanges::hasRelevantHistoryChanges()
{
    ManagedObjectContext* context = m_board->context();
    if (!context)
        return false;
    // After the last token seen, not a time: saves within one millisecond are neither missed nor seen twice.
    const PersistentHistory::Result result = context->fetchHistoryAfterToken(m_historyToken);
    if (result.error)
        return false;
    for (const HistoryTransaction& transaction : result.transactions)
        m_historyToken = std::max(m_historyToken, transaction.token);
    return hasProjectItemChanges(result.transactions);
}

bool BoardRemoteChanges::hasProjectItemChanges(const QList<HistoryTransaction>& transactions)
{
    for (const HistoryTransaction& transaction : transactions) {
        for (const HistoryChange& change : transaction.changes) {
            if (change.entityName == PvCardViewController::ProjectItemEntity)
                return true;
        }
    }
    return false;
}

void BoardRemoteChanges::reloadAfterRemoteChange()
{
    if (m_dragging) {
        m_reloadPending = true;
        return;
    }
    // Notices arriving while a reload waits are covered by it: the board reloads once.
    if (m_reloadScheduled)
        return;
    m_reloadScheduled = true;
    QPointer<PvCardViewController> board(m_board);
    Dispatch::after(PvCardViewController::RemoteReloadDelayMs, [board] {
        if (!board)
            return;
        BoardRemoteChanges& self = board->remoteChanges();
        self.m_reloadScheduled = false;
        if (self.m_dragging) {
            self.m_reloadPending = true;
            return;
        }
        // An item deleted elsewhere may have been the folder shown.
        if (board->currentFolderExists())
            board->reloadBoard(false);
        else
            board->goBack();
        // The counts beside the board follow the same change.
        board->refreshSidebar();
    });
}

void BoardRemoteChanges::setDragging(bool dragging)
{
    m_dragging = dragging;
    if (!dragging && m_reloadPending) {
        m_reloadPending = false;
        reloadAfterRemoteChange();
    }
}
