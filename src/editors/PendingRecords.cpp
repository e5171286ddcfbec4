#include "PendingRecords.h"

#include "core/DbHelpers.h"
#include "platform/store/ManagedObject.h"
#include "platform/store/ManagedObjectContext.h"

#include <QSet>

void PendingRecords::track(ManagedObject* record)
{
    if (record && record->isInserted() && !m_inserts.contains(record))
        m_inserts.append(record);
}

bool PendingRecords::contains(const ManagedObject* record) const
{
    return record && m_inserts.contains(const_cast<ManagedObject*>(record));
}

bool PendingRecords::watch(ManagedObjectContext* context, const std::function<bool()>& write)
{
    if (!context)
        return write();
    const QList<ManagedObject*> before = context->updatedObjects();
    const QSet<ManagedObject*> pendingBefore(before.begin(), before.end());
    const bool written = write();
    for (ManagedObject* record : context->updatedObjects()) {
        if (!pendingBefore.contains(record) && !m_changed.contains(record))
            m_changed.append(record);
    }
    return written;
}

void PendingRecords::forget()
{
    m_inserts.clear();
    m_changed.clear();
}

void PendingRecords::discard(ManagedObjectContext* context, const QList<ManagedObject*>& touched, QWidget* presenter)
{
    if (!context)
        return;
    // Another save of the shared context may have stored them since the failed attempt: they go all the same.
    bool stored = false;
    for (ManagedObject* record : std::as_const(m_inserts)) {
        stored = stored || !record->isInserted();
        context->deleteObject(record);
    }
    m_inserts.clear();
    // Whatever a failed save set on stored records goes back to what the store holds, and nothing of it stays
    // pending for the next save to write.
    context->revertObjects(touched + m_changed);
    m_changed.clear();
    if (stored)
        DbHelpers::saveManagedObjectContext(context, presenter);
}
