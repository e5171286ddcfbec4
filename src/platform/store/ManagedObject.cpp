#include "ManagedObject.h"

#include "ManagedObjectContext.h"

#include <QLoggingCategory>

QVariant ManagedObject::value(const QString& key) const
{
    const int index = m_entity ? m_entity->indexOf(key) : -1;
    return index < 0 ? QVariant() : m_values[size_t(index)];
}

void ManagedObject::setValue(const QString& key, const QVariant& value)
{
    const int index = m_entity ? m_entity->indexOf(key) : -1;
    if (index < 0) {
        qWarning("Unknown attribute %s of %s ignored", qPrintable(key), m_entity ? qPrintable(entityName()) : "?");
        return;
    }
    if (isDeleted())
        return;
    const size_t slot = size_t(index);
    m_values[slot] = m_entity->attributes()[index].coerce(value);
    m_dirty[slot] = true;
    if (m_context)
        m_context->noteChanged(this);
}

QVariant ManagedObject::committedValue(const QString& key) const
{
    const int index = m_entity ? m_entity->indexOf(key) : -1;
    return index < 0 || isInserted() ? QVariant() : m_committed[size_t(index)];
}

QSet<QString> ManagedObject::changedKeys() const
{
    QSet<QString> keys;
    for (size_t i = 0; i < m_dirty.size(); ++i) {
        if (m_dirty[i])
            keys.insert(m_entity->attributes()[int(i)].name());
    }
    return keys;
}

void ManagedObject::attach(ManagedObjectContext* context, const EntityDescription* entity, State state)
{
    m_context = context;
    m_entity = entity;
    m_state = state;
    const size_t count = size_t(entity->attributes().size());
    m_values.assign(count, QVariant());
    m_committed.assign(count, QVariant());
    m_dirty.assign(count, false);
}

bool ManagedObject::hasDirtyKeys() const
{
    for (bool dirty : m_dirty) {
        if (dirty)
            return true;
    }
    return false;
}

void ManagedObject::clearDirty()
{
    std::fill(m_dirty.begin(), m_dirty.end(), false);
    m_committed = m_values;
}

void ManagedObject::revertValues()
{
    m_values = m_committed;
    std::fill(m_dirty.begin(), m_dirty.end(), false);
}

void ManagedObject::setCommittedValues(const std::vector<QVariant>& values, bool keepDirty)
{
    m_committed = values;
    for (size_t i = 0; i < values.size() && i < m_values.size(); ++i) {
        // Property-wins: an attribute changed here and not yet saved keeps its in-memory value.
        if (!(keepDirty && m_dirty[i]))
            m_values[i] = values[i];
    }
}
