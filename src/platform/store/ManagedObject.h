#pragma once

#include "EntityDescription.h"

#include <QSet>
#include <QString>
#include <QVariant>
#include <vector>

class ManagedObjectContext;

// One record of the store, living in a context. Attributes are read and written by key; writes mark the
// object changed in its context until the next save or rollback. Subclasses add typed accessors only.
class ManagedObject {
public:
    ManagedObject() = default;
    virtual ~ManagedObject() = default;
    ManagedObject(const ManagedObject&) = delete;
    ManagedObject& operator=(const ManagedObject&) = delete;

    const EntityDescription& entity() const { return *m_entity; }
    const QString& entityName() const { return m_entity->name(); }
    ManagedObjectContext* managedObjectContext() const { return m_context; }

    // The value for an attribute key; a null QVariant for nil or an unknown key.
    QVariant value(const QString& key) const;
    // Sets an attribute, converted to its declared kind. An unknown key is logged and ignored.
    void setValue(const QString& key, const QVariant& value);

    // The value as last saved (or fetched), before unsaved changes.
    QVariant committedValue(const QString& key) const;
    QSet<QString> changedKeys() const;

    bool isInserted() const { return m_state == State::Inserted; }
    bool isDeleted() const { return m_state == State::Deleted || m_state == State::Gone; }
    bool isUpdated() const { return m_state == State::Saved && !m_dirty.empty() && hasDirtyKeys(); }
    bool hasChanges() const { return isInserted() || m_state == State::Deleted || isUpdated(); }
    // 0 until the object has been saved.
    qint64 primaryKey() const { return m_primaryKey; }

private:
    friend class ManagedObjectContext;
    enum class State { Inserted, Saved, Deleted, Gone };

    void attach(ManagedObjectContext* context, const EntityDescription* entity, State state);
    bool hasDirtyKeys() const;
    void clearDirty();
    // Back to the stored values, with nothing changed.
    void revertValues();
    void setCommittedValues(const std::vector<QVariant>& values, bool keepDirty);

    ManagedObjectContext* m_context = nullptr;
    const EntityDescription* m_entity = nullptr;
    State m_state = State::Inserted;
    qint64 m_primaryKey = 0;
    std::vector<QVariant> m_values;
    std::vector<QVariant> m_committed;
    std::vector<bool> m_dirty;
};
