#include "ManagedObjectModel.h"

ManagedObjectModel::ManagedObjectModel(int version) : m_version(version) {}

EntityDescription& ManagedObjectModel::addEntity(const QString& name)
{
    m_entities.append(std::make_shared<EntityDescription>(name));
    return *m_entities.last();
}

const EntityDescription* ManagedObjectModel::entity(const QString& name) const
{
    for (const auto& entity : m_entities) {
        if (entity->name() == name)
            return entity.get();
    }
    return nullptr;
}

QList<const EntityDescription*> ManagedObjectModel::entities() const
{
    QList<const EntityDescription*> result;
    for (const auto& entity : m_entities)
        result.append(entity.get());
    return result;
}
