#pragma once

#include "EntityDescription.h"

#include <QList>
#include <QString>
#include <memory>

// The set of entities a store holds, with a version that grows whenever the set changes.
class ManagedObjectModel {
public:
    explicit ManagedObjectModel(int version = 1);

    int version() const { return m_version; }
    EntityDescription& addEntity(const QString& name);
    // nullptr for an unknown entity name.
    const EntityDescription* entity(const QString& name) const;
    QList<const EntityDescription*> entities() const;

private:
    int m_version;
    QList<std::shared_ptr<EntityDescription>> m_entities;
};
