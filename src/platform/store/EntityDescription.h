#pragma once

#include "AttributeDescription.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class ManagedObject;

// A record type of the store: its name, attributes, indexes and the class that represents its records.
class EntityDescription {
public:
    using Factory = std::function<std::unique_ptr<ManagedObject>()>;

    explicit EntityDescription(QString name);

    const QString& name() const { return m_name; }

    EntityDescription& addAttribute(const QString& name, AttributeType type);
    EntityDescription& addIndex(const QStringList& columns);
    EntityDescription& setFactory(Factory factory);

    const QList<AttributeDescription>& attributes() const { return m_attributes; }
    const QList<QStringList>& indexes() const { return m_indexes; }
    // Position of the attribute in attributes(), or -1.
    int indexOf(const QString& key) const;
    const AttributeDescription* attribute(const QString& key) const;
    bool hasUniqueIdentifier() const { return indexOf(QStringLiteral("uniqueIdentifier")) >= 0; }

    std::unique_ptr<ManagedObject> makeObject() const;

private:
    QString m_name;
    QList<AttributeDescription> m_attributes;
    QHash<QString, int> m_attributeIndex;
    QList<QStringList> m_indexes;
    Factory m_factory;
};
