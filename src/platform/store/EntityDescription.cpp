#include "EntityDescription.h"

#include "ManagedObject.h"

EntityDescription::EntityDescription(QString name) : m_name(std::move(name)) {}

EntityDescription& EntityDescription::addAttribute(const QString& name, AttributeType type)
{
    if (!m_attributeIndex.contains(name)) {
        m_attributeIndex.insert(name, int(m_attributes.size()));
        m_attributes.append(AttributeDescription(name, type));
    }
    return *this;
}

EntityDescription& EntityDescription::addIndex(const QStringList& columns)
{
    m_indexes.append(columns);
    return *this;
}

EntityDescription& EntityDescription::setFactory(Factory factory)
{
    m_factory = std::move(factory);
    return *this;
}

int EntityDescription::indexOf(const QString& key) const
{
    return m_attributeIndex.value(key, -1);
}

const AttributeDescription* EntityDescription::attribute(const QString& key) const
{
    const int index = indexOf(key);
    return index < 0 ? nullptr : &m_attributes[index];
}

std::unique_ptr<ManagedObject> EntityDescription::makeObject() const
{
    return m_factory ? m_factory() : std::make_unique<ManagedObject>();
}
