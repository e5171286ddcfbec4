#include "PendingRecords.h"

#include "core/DbHelpers.h"
#include "platform/store/ManagedObject.h"
#include "platform/store/ManagedObjectContext.h"

void PendingRecords::track(ManagedObject* record)
{
    if (record && record->isInserted() && !m_inserts.contains(record))
        m_inserts.append(record);
}

bool PendingRecords::contains(const ManagedObject* record) const
{
    return record && m_inserts.contains(const_cast<ManagedObject*>(record));
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
    const QList<ManagedObject*> inserts = m_inserts;
    m_inserts.clear();
    // Whatever a failed save set on stored records goes back to what the store holds.
    for (ManagedObject* record : touched) {
        if (!record || inserts.contains(record) || record->isDeleted())
            continue;
        for (const QString& key : record->changedKeys())
            record->setValue(key, record->committedValue(key));
    }
    if (stored)
        DbHelpers::saveManagedObjectContext(context, presenter);
}
