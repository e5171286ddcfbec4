#include "CloudUpdateWatcher.h"

#include "core/ProjectItem.h"
#include "platform/Dispatch.h"
#include "platform/NotificationCenter.h"
#include "platform/store/ManagedObjectContext.h"
#include "platform/store/PersistentContainer.h"

#include <QPointer>

CloudUpdateWatcher::~CloudUpdateWatcher()
{
    stop();
}

void CloudUpdateWatcher::start(PersistentContainer* container)
{
    if (m_observer)
        return;
    if (m_token < 0)
        markSeen();
    QPointer<CloudUpdateWatcher> self(this);
    m_observer = NotificationCenter::defaultCenter().addObserver(
        QString::fromLatin1(PersistentContainer::RemoteChangeNotification), container,
        [self](const Notification&) {
            // The notice may come from any thread; the history is read on the GUI thread.
            Dispatch::main([self] {
                if (self)
                    self->report(self->check());
            });
        },
        this);
}

void CloudUpdateWatcher::stop()
{
    if (m_observer)
        NotificationCenter::defaultCenter().removeObserver(m_observer);
    m_observer = 0;
}

void CloudUpdateWatcher::report(Change change)
{
    if (change == Change::None)
        return;
    if (change == Change::Updated && m_held) {
        m_updateHeld = true;
        return;
    }
    if (changed)
        changed(change);
}

void CloudUpdateWatcher::setHeld(bool held)
{
    m_held = held;
    if (held || !m_updateHeld)
        return;
    m_updateHeld = false;
    report(Change::Updated);
}

void CloudUpdateWatcher::markSeen()
{
    if (!m_context)
        return;
    // The newest token in the file, whoever wrote it.
    m_token = std::max(m_token, m_context->currentQueryGenerationToken().historyToken);
}

void CloudUpdateWatcher::reloadLatest(ManagedObjectContext* context, const std::function<void()>& reload)
{
    const bool pinned = context->isPinned();
    context->setQueryGenerationFromToken(std::nullopt);
    reload();
    if (pinned)
        context->setQueryGenerationFromToken(context->currentQueryGenerationToken());
}

CloudUpdateWatcher::Change CloudUpdateWatcher::check()
{
    if (!m_context)
        return Change::None;
    const PersistentHistory::Result history = m_context->fetchHistoryAfterToken(std::max<qint64>(m_token, 0));
    if (history.error)
        return Change::None;
    Change found = Change::None;
    const QString ours = m_context->transactionAuthor();
    const QString itemEntity = ProjectItem::entityName();
    for (const HistoryTransaction& transaction : history.transactions) {
        m_token = std::max(m_token, transaction.token);
        if (transaction.author == ours || m_itemId.isEmpty())
            continue;
        for (const HistoryChange& change : transaction.changes) {
            if (change.entityName != itemEntity || change.uniqueIdentifier != m_itemId)
                continue;
            if (change.changeType == HistoryChangeType::Delete)
                found = Change::Deleted;
            else if (change.changeType == HistoryChangeType::Update && found == Change::None)
                found = Change::Updated;
        }
    }
    return found;
}
