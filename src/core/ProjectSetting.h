#pragma once

#include "platform/store/FetchRequest.h"
#include "platform/store/ManagedObject.h"

#include <QString>

// One per-project setting, its value kept as text.
class ProjectSetting : public ManagedObject {
public:
    static inline const QString UniqueIdentifierKey = QStringLiteral("uniqueIdentifier");
    static inline const QString ProjectIdKey = QStringLiteral("projectId");
    static inline const QString NameKey = QStringLiteral("name");
    static inline const QString ValueKey = QStringLiteral("value");

    static QString entityName();
    static FetchRequest fetchRequest();
    // Adds the attributes, indexes and record class to the entity.
    static void describe(EntityDescription& entity);

    // The attribute accessors below overload these; keep keyed access reachable.
    using ManagedObject::setValue;
    using ManagedObject::value;

    QString uniqueIdentifier() const;
    QString projectId() const;
    QString name() const;
    QString value() const;

    // A null text, date or data stores nil, so that "no value" stays apart from an empty one.
    void setUniqueIdentifier(const QString& uniqueIdentifier);
    void setProjectId(const QString& projectId);
    void setName(const QString& name);
    void setValue(const QString& value);
};
